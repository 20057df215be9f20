#pragma once

#include "mvnusbtypes.h"

namespace MVN {
namespace USB {

// One alternate setting of one interface of a device's chosen configuration.
// Reference counted: the creator holds the first reference; the last Release
// deletes it. Pipes are numbered from 1 in endpoint-descriptor order; a pipe
// number outside 1..GetNumEndpoints gives kMVNUsbPipeOutOfRange. Transfers on
// one interface may run from several threads.
class IUSBInterface
{
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

    virtual MVNUsbReturn GetInterfaceClass(uint8_t* interfaceClass) = 0;
    virtual MVNUsbReturn GetInterfaceNumber(uint8_t* number) = 0;
    virtual MVNUsbReturn GetInterfaceProtocol(uint8_t* protocol) = 0;
    virtual MVNUsbReturn GetInterfaceSubClass(uint8_t* subClass) = 0;
    virtual MVNUsbReturn GetNumEndpoints(uint8_t* count) = 0;

    // direction: 1 = in; transferType: the endpoint attribute bits 0-1
    // (2 bulk, 3 interrupt).
    virtual MVNUsbReturn GetPipeProperties(uint8_t pipe, uint8_t* direction, uint8_t* transferType,
                                           uint16_t* maxPacketSize, uint8_t* interval) = 0;
    virtual MVNUsbReturn ClearPipeStallBothEnds(uint8_t pipe) = 0;

    // One synchronous bulk or interrupt transfer; completionTimeout in ms
    // (0 waits for ever). ReadPipe returns the received count in *length.
    // WritePipe with length 0 and a null buffer sends a zero-length packet.
    virtual MVNUsbReturn ReadPipe(uint8_t pipe, void* buffer, uint32_t* length, uint32_t noDataTimeout,
                                  uint32_t completionTimeout) = 0;
    virtual MVNUsbReturn WritePipe(uint8_t pipe, const void* buffer, uint32_t length, uint32_t noDataTimeout,
                                   uint32_t completionTimeout) = 0;

    // One transfer without time-out; the callback runs from libusb event
    // handling (the poll thread). The buffer must stay valid until then.
    virtual MVNUsbReturn ReadPipeAsync(uint8_t pipe, void* buffer, uint32_t length, MVNUsb_AsyncCallback callback,
                                       void* context) = 0;
    virtual MVNUsbReturn WritePipeAsync(uint8_t pipe, const void* buffer, uint32_t length,
                                        MVNUsb_AsyncCallback callback, void* context) = 0;

    // Claim and release the interface number.
    virtual MVNUsbReturn USBInterfaceOpen() = 0;
    virtual MVNUsbReturn USBInterfaceClose() = 0;

    virtual ~IUSBInterface() = default;
};

} // namespace USB
} // namespace MVN
