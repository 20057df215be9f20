#pragma once

#include "iusbinterface.h"
#include "libusbholders.h"

#include <atomic>

namespace MVN {
namespace USB {

class CUSBDevice;

// IUSBInterface over one alternate setting of the device's chosen
// configuration. Transfers use the device's current handle, so closing the
// device makes them fail instead of touching a stale handle.
class CUSBInterface final : public IUSBInterface
{
public:
    // Takes a reference on the device. Throws MVNUsb_Exception when the
    // configuration descriptor cannot be read or the indexes are invalid.
    CUSBInterface(CUSBDevice* device, int interfaceIndex, int alternateIndex);
    ~CUSBInterface() override;
    CUSBInterface(const CUSBInterface&) = delete;
    CUSBInterface& operator=(const CUSBInterface&) = delete;

    uint32_t AddRef() override;
    uint32_t Release() override;
    MVNUsbReturn GetInterfaceClass(uint8_t* interfaceClass) override;
    MVNUsbReturn GetInterfaceNumber(uint8_t* number) override;
    MVNUsbReturn GetInterfaceProtocol(uint8_t* protocol) override;
    MVNUsbReturn GetInterfaceSubClass(uint8_t* subClass) override;
    MVNUsbReturn GetNumEndpoints(uint8_t* count) override;
    MVNUsbReturn GetPipeProperties(uint8_t pipe, uint8_t* direction, uint8_t* transferType, uint16_t* maxPacketSize,
                                   uint8_t* interval) override;
    MVNUsbReturn ClearPipeStallBothEnds(uint8_t pipe) override;
    MVNUsbReturn ReadPipe(uint8_t pipe, void* buffer, uint32_t* length, uint32_t noDataTimeout,
                          uint32_t completionTimeout) override;
    MVNUsbReturn WritePipe(uint8_t pipe, const void* buffer, uint32_t length, uint32_t noDataTimeout,
                           uint32_t completionTimeout) override;
    MVNUsbReturn ReadPipeAsync(uint8_t pipe, void* buffer, uint32_t length, MVNUsb_AsyncCallback callback,
                               void* context) override;
    MVNUsbReturn WritePipeAsync(uint8_t pipe, const void* buffer, uint32_t length, MVNUsb_AsyncCallback callback,
                                void* context) override;
    MVNUsbReturn USBInterfaceOpen() override;
    MVNUsbReturn USBInterfaceClose() override;

private:
    // Endpoint descriptor of a pipe number, null when out of range.
    const libusb_endpoint_descriptor* endpoint(uint8_t pipe) const;
    MVNUsbReturn transfer(uint8_t pipe, unsigned char* buffer, uint32_t length, uint32_t* done, uint32_t timeout);
    MVNUsbReturn submit(uint8_t pipe, unsigned char* buffer, uint32_t length, MVNUsb_AsyncCallback callback,
                        void* context);

    std::atomic<uint32_t> m_refCount{1};
    CUSBDevice* m_device = nullptr;
    ConfigDescriptorPtr m_config;
    const libusb_interface_descriptor* m_interface = nullptr;
    std::atomic<bool> m_claimed{false};
};

} // namespace USB
} // namespace MVN
