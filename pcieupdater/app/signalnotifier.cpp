#include "signalnotifier.h"

#include "signalmanager.h"

SignalManager* SignalNotifier::s_manager = nullptr;

SignalNotifier::SignalNotifier(int signal, QObject* parent) : QObject(parent), m_signal(signal)
{
    if (!s_manager)
        s_manager = SignalManager::instance();
    s_manager->add(this, signal);
}

SignalNotifier::~SignalNotifier()
{
    // A destroyed notifier must not be signalled later.
    if (s_manager)
        s_manager->remove(this);
}
