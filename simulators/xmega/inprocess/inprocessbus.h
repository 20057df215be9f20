#pragma once

#include "iusbdevice.h"
#include "usbunit.h"

#include <functional>
#include <memory>

namespace xmegasim {

// The hot-plug side of the in-process transport: turns a unit's presence
// changes into device arrivals and removals, the way the USB layer's
// notifier does for real devices. Each arrival is a new InProcessUsbDevice.
// Callbacks run on the unit's timer thread (the first arrival, when the
// unit is already present, on the constructing thread); the device is valid
// during the call and must be AddRef'd to be kept.
class InProcessBus
{
public:
    using Callback = std::function<void(MVN::USB::IUSBDevice* device)>;

    InProcessBus(std::shared_ptr<UsbUnit> unit, Callback added, Callback removed);
    // Waits for a callback in progress, then stops reporting.
    ~InProcessBus();
    InProcessBus(const InProcessBus&) = delete;
    InProcessBus& operator=(const InProcessBus&) = delete;

    // The device of the current enumeration with a new reference, or null
    // while the unit is away.
    MVN::USB::IUSBDevice* current() const;
    unsigned arrivals() const;

private:
    struct State;
    std::shared_ptr<UsbUnit> m_unit;
    std::shared_ptr<State> m_state;
};

} // namespace xmegasim
