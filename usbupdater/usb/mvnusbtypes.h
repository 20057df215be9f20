#pragma once

#include "mvnusbreturn.h"

#include <cstdint>
#include <exception>

namespace MVN {
namespace USB {

class IUSBDevice;

// One control request. requestType carries direction, type and recipient as
// in a USB setup packet; lengthDone is set on success to the byte count the
// transfer moved. noDataTimeout is carried for callers but not used.
struct MVNUsb_DevRequest
{
    uint8_t requestType = 0;
    uint8_t request = 0;
    uint16_t value = 0;
    uint16_t index = 0;
    uint16_t length = 0;
    void* data = nullptr;
    uint32_t lengthDone = 0;
    uint32_t noDataTimeout = 0;     // ms
    uint32_t completionTimeout = 0; // ms, the transfer's time-out
};

// Matches any value in a field of MVNUsb_FindInterfaceRequest.
constexpr uint16_t kMVNUsbDontCare = 0xFFFF;

// Which interfaces (alternate settings) an iterator returns.
struct MVNUsb_FindInterfaceRequest
{
    uint16_t interfaceClass = kMVNUsbDontCare;
    uint16_t interfaceSubClass = kMVNUsbDontCare;
    uint16_t interfaceProtocol = kMVNUsbDontCare;
    uint16_t alternateSetting = kMVNUsbDontCare;
};

// Vendor and product id lists of a hot-plug notification; an empty list
// (count 0) does not filter. The lists are copied on installation.
struct MVNUsb_DeviceMatch
{
    const uint32_t* vendorIds = nullptr;
    uint32_t vendorCount = 0;
    const uint32_t* productIds = nullptr;
    uint32_t productCount = 0;
};

// The layer's only exception: an interface object could not read its
// configuration descriptor while being built.
class MVNUsb_Exception : public std::exception
{
public:
    const char* what() const noexcept override { return "Internal MVNUsb Exception"; }
};

// Completion of ReadPipeAsync/WritePipeAsync, run from libusb event handling.
using MVNUsb_AsyncCallback = void (*)(MVNUsbReturn result, uint32_t transferred, void* context);

// Hot-plug callbacks. The device stays valid during the call; keep it with
// AddRef. The removed callback gets the same object the added one got.
using MVNUsb_DeviceAddedCallback = void (*)(IUSBDevice* device, void* context);
using MVNUsb_DeviceRemovedCallback = void (*)(IUSBDevice* device, void* context);

// A descriptor to poll (added) or to stop polling (removed, events 0).
using MVNUsb_PollFdCallback = void (*)(bool added, int fd, short events, void* context);

} // namespace USB
} // namespace MVN
