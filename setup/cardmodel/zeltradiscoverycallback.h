#pragma once

#include "zeltraapi.h"

class ZeltraCardDiscovery;

// Receives the library's arrival and removal calls, on the library's thread,
// and only forwards them as signals of the discovery object, whose slots do
// the work on the GUI thread. Owned by the discovery object; the library's
// AddRef/Release never free it.
class ZeltraDiscoveryCallback final : public IZeltraDeviceNotificationCallback
{
public:
    explicit ZeltraDiscoveryCallback(ZeltraCardDiscovery& discovery);

    int32_t QueryInterface(IID iid, void** out) override;
    uint32_t AddRef() override;
    uint32_t Release() override;
    // Takes a reference on the device, handed on with the signal.
    int32_t ZeltraDeviceArrived(IZeltra* device) override;
    int32_t ZeltraDeviceRemoved(IZeltra* device) override;

private:
    ZeltraCardDiscovery& m_discovery;
};
