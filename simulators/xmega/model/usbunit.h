#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace xmegasim {

// Outcome of one transfer on the emulated bus, as a real unit can give it.
enum class TransferStatus { Ok, Stall, Timeout, NoDevice };

struct TransferResult
{
    TransferStatus status = TransferStatus::Ok;
    uint32_t length = 0; // bytes moved in either direction
};

// One emulated unit as the bus sees it. The transports (the in-process
// IUSBDevice double and the usbdevfs ioctl handler under umockdev) only talk
// to this interface. Implementations are thread-safe: transports call from
// whatever thread the code under test uses.
class UsbUnit
{
public:
    virtual ~UsbUnit() = default;

    // 18-byte device descriptor of the mode the unit is in now.
    virtual std::vector<uint8_t> deviceDescriptor() const = 0;
    // The whole active configuration descriptor (wTotalLength bytes).
    virtual std::vector<uint8_t> configurationDescriptor() const = 0;

    // A control transfer; for IN requests the unit fills data (up to length),
    // for OUT requests it reads length bytes from data.
    virtual TransferResult control(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index,
                                   uint8_t* data, uint16_t length, uint32_t timeoutMs) = 0;
    // A bulk transfer on an endpoint address (bit 7 set: IN).
    virtual TransferResult bulk(uint8_t endpoint, uint8_t* data, uint32_t length, uint32_t timeoutMs) = 0;

    // Whether the unit is on the bus now. A reboot makes it leave and, unless
    // a fault says otherwise, arrive again after a short delay.
    virtual bool present() const = 0;
    // Called from the unit's own timer thread when it leaves (false) or
    // arrives (true). One listener; a new one replaces the old.
    virtual void setPresenceListener(std::function<void(bool present)> listener) = 0;

    // Counts the unit's arrivals on the bus. A transport remembers the value
    // when it opens the unit and treats a later value as "that device is
    // gone", the way a real bus gives a re-enumerated unit a new address.
    virtual uint32_t connection() const { return 0; }
};

} // namespace xmegasim
