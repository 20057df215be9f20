#include "zeltradiscoverycallback.h"

#include "zeltracarddiscovery.h"

ZeltraDiscoveryCallback::ZeltraDiscoveryCallback(ZeltraCardDiscovery& discovery)
    : m_discovery(discovery)
{
}

int32_t ZeltraDiscoveryCallback::QueryInterface(IID, void** out)
{
    if (out)
        *out = nullptr;
    return kZeltraNoInterface;
}

uint32_t ZeltraDiscoveryCallback::AddRef()
{
    return 1;
}

uint32_t ZeltraDiscoveryCallback::Release()
{
    return 1;
}

int32_t ZeltraDiscoveryCallback::ZeltraDeviceArrived(IZeltra* device)
{
    if (device) {
        device->AddRef();
        m_discovery.noteQueuedArrival(device);
    }
    emit m_discovery.zeltraDeviceArrived(device);
    return kZeltraOk;
}

int32_t ZeltraDiscoveryCallback::ZeltraDeviceRemoved(IZeltra* device)
{
    emit m_discovery.zeltraDeviceRemoved(device);
    return kZeltraOk;
}
