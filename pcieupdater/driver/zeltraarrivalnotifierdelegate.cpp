#include "zeltraarrivalnotifierdelegate.h"

#include "zeltradriver.h"

#include <cstdio>

void ZeltraArrivalNotifierDelegate::ProcessNotification(ZeltraInstanceRec* instance, bool arrived)
{
    if (arrived && m_callback) {
        m_callback(instance, m_userData); // the callback now owns the instance
        return;
    }
    CloseDriverConnectionCore(instance);
}

void ZeltraArrivalNotifierDelegate::NotifierStopped(const char* reason)
{
    if (m_stopped)
        m_stopped(reason, m_userData);
    else
        IZeltraDeviceDiscoveryNotifierDelegate::NotifierStopped(reason);
}

void IZeltraDeviceDiscoveryNotifierDelegate::NotifierStopped(const char* reason)
{
    std::fprintf(stderr, "zeltra notifier: arrivals are no longer reported: %s\n", reason);
}
