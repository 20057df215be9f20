#pragma once

#include "mvnusbtypes.h"

namespace MVN {
namespace USB {

class IUSBInterfaceIterator;

// One USB device. Reference counted with an atomic count: whoever creates or
// receives a device through a callback and wants to keep it calls AddRef, and
// Release when done; the last Release deletes it. Operations return
// MVNUsbReturn codes; a null output pointer gives kMVNUsbInvalidArgument.
// Control requests may be sent from any thread.
class IUSBDevice
{
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

    // One synchronous control transfer on the open device, with the request's
    // completion time-out; sets request->lengthDone on success.
    virtual MVNUsbReturn DeviceRequest(MVNUsb_DevRequest* request) = 0;
    // kMVNUsbGeneralFailure while no configuration was chosen.
    virtual MVNUsbReturn GetConfigurationIndex(uint8_t* index) = 0;

    virtual MVNUsbReturn GetDeviceClass(uint8_t* deviceClass) = 0;
    virtual MVNUsbReturn GetDeviceProduct(uint16_t* productId) = 0;
    virtual MVNUsbReturn GetDeviceProtocol(uint8_t* protocol) = 0;
    virtual MVNUsbReturn GetDeviceReleaseNumber(uint16_t* bcdDevice) = 0;
    // 0 low, 1 full, 2 high speed or faster.
    virtual MVNUsbReturn GetDeviceSpeed(uint8_t* speed) = 0;
    virtual MVNUsbReturn GetDeviceSubClass(uint8_t* subClass) = 0;
    virtual MVNUsbReturn GetDeviceVendor(uint16_t* vendorId) = 0;
    // Not supported on this platform: always kMVNUsbGeneralFailure.
    virtual MVNUsbReturn GetLocationID(uint32_t* locationId) = 0;
    virtual MVNUsbReturn GetNumberOfConfigurations(uint8_t* count) = 0;

    // Needs an open device (else returns success and does nothing).
    virtual MVNUsbReturn SetConfigurationByIndex(uint8_t index) = 0;

    virtual MVNUsbReturn USBDeviceOpen() = 0;
    virtual MVNUsbReturn USBDeviceClose() = 0;
    virtual MVNUsbReturn USBDeviceReset() = 0;

    // An iterator over the chosen configuration; the request must outlive it.
    virtual MVNUsbReturn CreateInterfaceIterator(MVNUsb_FindInterfaceRequest* request,
                                                 IUSBInterfaceIterator** iterator) = 0;

    virtual ~IUSBDevice() = default;
};

} // namespace USB
} // namespace MVN
