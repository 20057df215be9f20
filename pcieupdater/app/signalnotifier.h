#pragma once

#include <QObject>

class SignalManager;

// Emits raised() on the GUI thread whenever the process receives its signal.
class SignalNotifier : public QObject
{
    Q_OBJECT
public:
    SignalNotifier(int signal, QObject* parent);
    ~SignalNotifier() override;

    int signalNumber() const { return m_signal; }

    static SignalManager* s_manager;

signals:
    void raised();

private:
    int m_signal = 0;
};
