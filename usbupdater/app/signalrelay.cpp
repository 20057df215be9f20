#include "signalrelay.h"

#include "firmwareupdatecontroller.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

int s_pipe[2] = {-1, -1};
volatile std::sig_atomic_t s_pending = 0;

} // namespace

void interruptHandler(int signal)
{
    const int saved = errno;
    s_pending = signal;
    if (s_pipe[1] >= 0) {
        const unsigned char byte = static_cast<unsigned char>(signal);
        // A full pipe already holds a wake-up: nothing is lost.
        [[maybe_unused]] const ssize_t n = write(s_pipe[1], &byte, 1);
    }
    errno = saved;
}

void installSignalHandlers()
{
    SignalRelay::instance();
    struct sigaction action = {};
    action.sa_handler = &interruptHandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

SignalRelay* SignalRelay::instance()
{
    static SignalRelay* relay = new SignalRelay(); // lives for the process, like the handler
    return relay;
}

SignalRelay::SignalRelay()
{
    if (pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        s_pipe[0] = s_pipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalRelay::onSignalPipeReadable);
}

void SignalRelay::drain()
{
    unsigned char buffer[64];
    while (s_pipe[0] >= 0 && read(s_pipe[0], buffer, sizeof buffer) > 0) {
    }
    if (s_pending)
        m_lastSignal = s_pending;
    s_pending = 0;
}

void SignalRelay::registerController(FirmwareUpdateController* controller)
{
    m_controller = controller;
    if (s_pending && m_controller) {
        drain();
        interruptController();
    }
}

void SignalRelay::onSignalPipeReadable()
{
    drain();
    if (m_controller)
        interruptController();
}

void SignalRelay::interruptController()
{
    // A signal that does not end the program at once must not look lost:
    // the terminal it came from is told when the end will come.
    const char* when = nullptr;
    switch (m_controller->interrupt()) {
    case FirmwareUpdateController::Interrupt::Ended:
        return;
    case FirmwareUpdateController::Interrupt::AfterQuestion:
        when = "once the question on the screen is answered (if the update is accepted, once it is over)";
        break;
    case FirmwareUpdateController::Interrupt::AfterUpdate:
        when = "once the running update is over and its outcome is answered";
        break;
    case FirmwareUpdateController::Interrupt::AfterMessage:
        when = "once the message on the screen is answered";
        break;
    }
    qInfo("OndaviaUpdater: ending %s", when);
}
