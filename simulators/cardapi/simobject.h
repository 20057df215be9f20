#pragma once

#include "zeltraapi.h"

#include <atomic>

namespace cardsim {

// Identifier of each interface the simulator implements, for QueryInterface.
template <typename Interface> struct InterfaceId;
#define CARDSIM_INTERFACE_ID(I) \
    template <> struct InterfaceId<I> { static constexpr IID value = IID_##I; }
CARDSIM_INTERFACE_ID(IZeltra);
CARDSIM_INTERFACE_ID(IZeltraAttributes);
CARDSIM_INTERFACE_ID(IZeltraConfiguration);
CARDSIM_INTERFACE_ID(IZeltraStatus);
CARDSIM_INTERFACE_ID(IZeltraNotification);
CARDSIM_INTERFACE_ID(IZeltraInput);
CARDSIM_INTERFACE_ID(IZeltraOutput);
CARDSIM_INTERFACE_ID(IZeltraDisplayMode);
CARDSIM_INTERFACE_ID(IZeltraDisplayModeIterator);
CARDSIM_INTERFACE_ID(IZeltraIterator);
CARDSIM_INTERFACE_ID(IZeltraDiscovery);
CARDSIM_INTERFACE_ID(IZeltraAPIInformation);
CARDSIM_INTERFACE_ID(IZeltraVideoConversion);
CARDSIM_INTERFACE_ID(IZeltraScreenPreviewHelper);
#undef CARDSIM_INTERFACE_ID

// Reference-counted implementation of one interface. The count starts at 1
// (the creator's reference) and the object deletes itself when it reaches 0.
// Each object implements exactly one interface; a card's other interfaces are
// separate objects reached through the device's QueryInterface.
template <typename Interface>
class SimObject : public Interface
{
public:
    SimObject(const SimObject &) = delete;
    SimObject &operator=(const SimObject &) = delete;

    int32_t QueryInterface(IID iid, void **out) override
    {
        if (out == nullptr)
            return kZeltraNullPointer;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == InterfaceId<Interface>::value) {
            AddRef();
            *out = static_cast<Interface *>(this);
            return kZeltraOk;
        }
        return queryOther(iid, out);
    }

    uint32_t AddRef() override { return m_references.fetch_add(1, std::memory_order_relaxed) + 1; }

    uint32_t Release() override
    {
        // A host that releases once too often must not make us free twice.
        uint32_t current = m_references.load(std::memory_order_relaxed);
        do {
            if (current == 0)
                return 0;
        } while (!m_references.compare_exchange_weak(current, current - 1, std::memory_order_acq_rel));
        if (current == 1) {
            lastReleased();
            delete this;
            return 0;
        }
        return current - 1;
    }

protected:
    SimObject() = default;
    virtual ~SimObject() = default;

    // Further interfaces reachable from this one; none by default.
    virtual int32_t queryOther(IID, void **) { return kZeltraNoInterface; }
    // Runs once, just before the object is deleted.
    virtual void lastReleased() {}

private:
    std::atomic<uint32_t> m_references{1};
};

} // namespace cardsim
