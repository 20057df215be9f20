#pragma once

#include <QObject>

#include <csignal>

class FirmwareUpdateController;
class QSocketNotifier;

// Installs one handler for SIGINT and SIGTERM. The handler only records the
// signal and writes a byte to a pipe; the relay reads it on the GUI thread
// and asks the registered controller to interrupt (which, while an update
// is offered or running, waits until the user has answered its messages).
void installSignalHandlers();
void interruptHandler(int signal);

class SignalRelay : public QObject
{
    Q_OBJECT

public:
    // The process-wide relay, created on the GUI thread by installSignalHandlers.
    static SignalRelay* instance();

    // A signal that arrived before registration interrupts at once.
    void registerController(FirmwareUpdateController* controller);
    // The last signal seen (0 when none).
    int lastSignal() const { return m_lastSignal; }

private slots:
    void onSignalPipeReadable();

private:
    SignalRelay();
    void drain();
    // Asks the controller to end and says on standard error when an
    // offered or running update makes the end wait.
    void interruptController();

    QSocketNotifier* m_notifier = nullptr;
    FirmwareUpdateController* m_controller = nullptr;
    int m_lastSignal = 0;
};
