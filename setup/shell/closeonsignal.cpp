#include "closeonsignal.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int s_pipe[2] = {-1, -1};

void writeSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    // A full pipe already holds a wake-up: nothing is lost.
    [[maybe_unused]] const ssize_t n = write(s_pipe[1], &byte, 1);
    errno = saved;
}

void setHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace

CloseOnSignal::CloseOnSignal(QWidget* window, QObject* parent) : QObject(parent), m_window(window)
{
    if (s_pipe[0] >= 0 || pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // one per process; without a pipe the signals keep their default
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CloseOnSignal::onSignal);
    setHandler(&writeSignal);
}

CloseOnSignal::~CloseOnSignal()
{
    if (!m_notifier)
        return;
    setHandler(SIG_DFL);
    ::close(s_pipe[0]);
    ::close(s_pipe[1]);
    s_pipe[0] = s_pipe[1] = -1;
}

void CloseOnSignal::onSignal()
{
    unsigned char buffer[64];
    while (read(s_pipe[0], buffer, sizeof buffer) > 0) {
    }
    // A modal dialog runs a loop of its own: close it first (innermost
    // first), so that the window's close ends the program.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (!modal->close())
            break;
    }
    if (m_window)
        m_window->close();
}
