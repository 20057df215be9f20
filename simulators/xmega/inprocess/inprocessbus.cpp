#include "inprocessbus.h"

#include "inprocessusbdevice.h"
#include "usbref.h"

#include <mutex>

using namespace MVN::USB;

namespace xmegasim {

// Shared with the unit's listener so that a report racing with the bus's
// destruction finds a dead state instead of a dead object.
struct InProcessBus::State
{
    std::recursive_mutex mutex;
    bool alive = true;
    std::weak_ptr<UsbUnit> unit; // the bus owns the unit, not the listener
    Callback added;
    Callback removed;
    UsbRef<IUSBDevice> device;
    unsigned arrivals = 0;

    void onPresence(bool present)
    {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        if (!alive)
            return;
        if (present) {
            std::shared_ptr<UsbUnit> u = unit.lock();
            if (!u)
                return;
            if (device)
                leave();
            device = UsbRef<IUSBDevice>::adopt(new InProcessUsbDevice(std::move(u)));
            ++arrivals;
            if (added)
                added(device.get());
        } else if (device) {
            leave();
        }
    }

    void leave()
    {
        UsbRef<IUSBDevice> gone = std::move(device);
        if (removed)
            removed(gone.get());
    }
};

InProcessBus::InProcessBus(std::shared_ptr<UsbUnit> unit, Callback added, Callback removed)
    : m_unit(std::move(unit))
    , m_state(std::make_shared<State>())
{
    m_state->unit = m_unit;
    m_state->added = std::move(added);
    m_state->removed = std::move(removed);
    std::weak_ptr<State> weak = m_state;
    m_unit->setPresenceListener([weak](bool present) {
        if (std::shared_ptr<State> state = weak.lock())
            state->onPresence(present);
    });
    if (m_unit->present())
        m_state->onPresence(true);
}

InProcessBus::~InProcessBus()
{
    m_unit->setPresenceListener(nullptr);
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    m_state->alive = false;
    m_state->device.reset();
}

IUSBDevice* InProcessBus::current() const
{
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    if (!m_state->device)
        return nullptr;
    m_state->device->AddRef();
    return m_state->device.get();
}

unsigned InProcessBus::arrivals() const
{
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    return m_state->arrivals;
}

} // namespace xmegasim
