#pragma once

#include "xmegausbdevice.h"

#include <string>

// The device object of the maker's XMEGA model: the protocol plus the links
// to the application's picture of the unit.
class OndaviaXmegaUSBDevice : public XmegaUSBDevice
{
public:
    // A set-up device object with one reference for the caller, or null.
    static OndaviaXmegaUSBDevice* createInstance(MVN::USB::IUSBDevice* device);

    // The model's display name ("Unknown model" without a product id).
    std::string modelName();
    // Reboots through the Device that the device manager holds for this
    // unit's UUID and waits for the unit to return; false without a UUID or
    // without such a Device.
    bool rebootBlocking(bool toBootloader);

protected:
    explicit OndaviaXmegaUSBDevice(MVN::USB::IUSBDevice* device) : XmegaUSBDevice(device) {}
    ~OndaviaXmegaUSBDevice() override = default;

private:
    std::string m_modelName;
};
