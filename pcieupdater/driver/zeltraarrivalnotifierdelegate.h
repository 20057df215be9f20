#pragma once

#include "izeltradevicediscoverynotifierdelegate.h"

typedef void (*ZeltraArrivalCallback)(ZeltraInstanceRec* instance, void* userData);
// Told why the notifier thread ended for good; no arrival follows.
typedef void (*ZeltraStoppedCallback)(const char* reason, void* userData);

// Forwards arrivals to a plain C callback, which takes over the instance.
// Removals are not forwarded; their instance is closed here. The end of the
// thread goes to the stopped callback when there is one.
class ZeltraArrivalNotifierDelegate : public IZeltraDeviceDiscoveryNotifierDelegate {
public:
    ZeltraArrivalNotifierDelegate(ZeltraArrivalCallback callback, void* userData,
                                  ZeltraStoppedCallback stopped = nullptr)
        : m_callback(callback), m_stopped(stopped), m_userData(userData) {}
    void ProcessNotification(ZeltraInstanceRec* instance, bool arrived) override;
    void NotifierStopped(const char* reason) override;

private:
    ZeltraArrivalCallback m_callback = nullptr;
    ZeltraStoppedCallback m_stopped = nullptr;
    void* m_userData = nullptr;
};
