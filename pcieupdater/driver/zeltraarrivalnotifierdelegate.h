#pragma once

#include "izeltradevicediscoverynotifierdelegate.h"

typedef void (*ZeltraArrivalCallback)(ZeltraInstanceRec* instance, void* userData);

// Forwards arrivals to a plain C callback, which takes over the instance.
// Removals are not forwarded; their instance is closed here.
class ZeltraArrivalNotifierDelegate : public IZeltraDeviceDiscoveryNotifierDelegate {
public:
    ZeltraArrivalNotifierDelegate(ZeltraArrivalCallback callback, void* userData)
        : m_callback(callback), m_userData(userData) {}
    void ProcessNotification(ZeltraInstanceRec* instance, bool arrived) override;

private:
    ZeltraArrivalCallback m_callback = nullptr;
    void* m_userData = nullptr;
};
