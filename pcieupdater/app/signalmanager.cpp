#include "signalmanager.h"

#include "signalnotifier.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

int SignalManager::s_pipes[2] = {-1, -1};

SignalManager* SignalManager::instance()
{
    static SignalManager* manager = new SignalManager; // lives until the process ends
    return manager;
}

SignalManager::SignalManager()
{
    if (::pipe2(s_pipes, O_CLOEXEC) != 0) {
        s_pipes[0] = s_pipes[1] = -1;
        return;
    }
    // A handler must never block, even if nobody drains the pipe.
    ::fcntl(s_pipes[1], F_SETFL, ::fcntl(s_pipes[1], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(s_pipes[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this](QSocketDescriptor fd) { handler(int(fd)); });
}

void SignalManager::add(SignalNotifier* notifier, int signal)
{
    m_notifiers.append(notifier);
    struct sigaction action = {};
    action.sa_handler = &SignalManager::Handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    ::sigaction(signal, &action, nullptr);
}

void SignalManager::remove(SignalNotifier* notifier)
{
    m_notifiers.removeAll(notifier);
}

void SignalManager::Handle(int signal)
{
    // Signal context: only async-signal-safe calls here.
    const int saved = errno;
    const int32_t number = signal;
    if (s_pipes[1] >= 0) {
        ssize_t ignored = ::write(s_pipes[1], &number, sizeof number);
        (void)ignored;
    }
    errno = saved;
}

void SignalManager::handler(int fd)
{
    m_notifier->setEnabled(false);
    int32_t number = 0;
    const ssize_t got = ::read(fd, &number, sizeof number);
    if (got == sizeof number) {
        const QList<SignalNotifier*> notifiers = m_notifiers; // a slot may remove one
        for (SignalNotifier* n : notifiers)
            if (n->signalNumber() == number && m_notifiers.contains(n))
                emit n->raised();
    }
    m_notifier->setEnabled(true);
}
