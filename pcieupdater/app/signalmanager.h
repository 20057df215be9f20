#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;
class SignalNotifier;

// Turns Unix signals into Qt signals through a self-pipe: the handler only
// writes the signal number, and the GUI thread reads it when the socket
// notifier fires. One per process, created by the first SignalNotifier.
class SignalManager : public QObject
{
    Q_OBJECT
public:
    static SignalManager* instance();

    void add(SignalNotifier* notifier, int signal);
    void remove(SignalNotifier* notifier);

    // Installed with sigaction for each watched signal.
    static void Handle(int signal);

    static int s_pipes[2];

public slots:
    void handler(int fd);

private:
    SignalManager();

    QSocketNotifier* m_notifier = nullptr;
    QList<SignalNotifier*> m_notifiers;
};
