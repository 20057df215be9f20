#pragma once

#include "iusbinterface.h"
#include "usbref.h"

#include <atomic>
#include <cstddef>
#include <vector>

namespace xmegasim {

class InProcessUsbDevice;

// One alternate setting of the in-process device; pipes map to the unit's
// bulk endpoints. Asynchronous transfers complete before they return, on the
// calling thread.
class InProcessUsbInterface final : public MVN::USB::IUSBInterface
{
public:
    // descriptorOffset: where the interface descriptor lies in the device's
    // configuration descriptor. Takes a reference on the device.
    InProcessUsbInterface(InProcessUsbDevice* device, size_t descriptorOffset);

    uint32_t AddRef() override;
    uint32_t Release() override;
    MVN::USB::MVNUsbReturn GetInterfaceClass(uint8_t* interfaceClass) override;
    MVN::USB::MVNUsbReturn GetInterfaceNumber(uint8_t* number) override;
    MVN::USB::MVNUsbReturn GetInterfaceProtocol(uint8_t* protocol) override;
    MVN::USB::MVNUsbReturn GetInterfaceSubClass(uint8_t* subClass) override;
    MVN::USB::MVNUsbReturn GetNumEndpoints(uint8_t* count) override;
    MVN::USB::MVNUsbReturn GetPipeProperties(uint8_t pipe, uint8_t* direction, uint8_t* transferType,
                                             uint16_t* maxPacketSize, uint8_t* interval) override;
    MVN::USB::MVNUsbReturn ClearPipeStallBothEnds(uint8_t pipe) override;
    MVN::USB::MVNUsbReturn ReadPipe(uint8_t pipe, void* buffer, uint32_t* length, uint32_t noDataTimeout,
                                    uint32_t completionTimeout) override;
    MVN::USB::MVNUsbReturn WritePipe(uint8_t pipe, const void* buffer, uint32_t length, uint32_t noDataTimeout,
                                     uint32_t completionTimeout) override;
    MVN::USB::MVNUsbReturn ReadPipeAsync(uint8_t pipe, void* buffer, uint32_t length,
                                         MVN::USB::MVNUsb_AsyncCallback callback, void* context) override;
    MVN::USB::MVNUsbReturn WritePipeAsync(uint8_t pipe, const void* buffer, uint32_t length,
                                          MVN::USB::MVNUsb_AsyncCallback callback, void* context) override;
    MVN::USB::MVNUsbReturn USBInterfaceOpen() override;
    MVN::USB::MVNUsbReturn USBInterfaceClose() override;

private:
    ~InProcessUsbInterface() override = default;

    struct Endpoint
    {
        uint8_t address = 0;
        uint8_t attributes = 0;
        uint16_t maxPacket = 0;
        uint8_t interval = 0;
    };
    // The endpoint of a pipe number, or null when out of range.
    const Endpoint* pipeEndpoint(uint8_t pipe) const;
    MVN::USB::MVNUsbReturn transfer(uint8_t pipe, bool in, uint8_t* buffer, uint32_t* length, uint32_t timeout);

    std::atomic<uint32_t> m_refs{1};
    MVN::USB::UsbRef<InProcessUsbDevice> m_device;
    uint8_t m_number = 0;
    uint8_t m_class = 0;
    uint8_t m_subClass = 0;
    uint8_t m_protocol = 0;
    std::vector<Endpoint> m_endpoints;
    std::atomic<bool> m_claimed{false};
};

} // namespace xmegasim
