#pragma once

#include "usbunit.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

// A small unit for exercising the USB layer: vendor requests that echo,
// stall, hang, answer late or make the unit leave; a bulk pair that loops
// data back; an interrupt and an isochronous endpoint; a second alternate
// setting with two endpoints and a second interface.
class LoopbackUnit final : public xmegasim::UsbUnit
{
public:
    enum Request : uint8_t {
        kStore = 0x01,     // OUT: keep the data
        kFetch = 0x02,     // IN: return the kept data
        kStall = 0x03,     // stalls
        kHang = 0x04,      // never answers
        kLeave = 0x05,     // the unit drops off the bus
        kSlowFetch = 0x06, // IN: answers after 300 ms
    };
    static constexpr uint8_t kBulkOut = 0x01;
    static constexpr uint8_t kBulkIn = 0x81;
    static constexpr uint8_t kInterruptIn = 0x83;
    static constexpr uint8_t kIsoOut = 0x04;

    LoopbackUnit(uint16_t vendorId, uint16_t productId);
    ~LoopbackUnit() override;

    std::vector<uint8_t> deviceDescriptor() const override;
    std::vector<uint8_t> configurationDescriptor() const override;
    xmegasim::TransferResult control(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index,
                                     uint8_t* data, uint16_t length, uint32_t timeoutMs) override;
    xmegasim::TransferResult bulk(uint8_t endpoint, uint8_t* data, uint32_t length, uint32_t timeoutMs) override;
    bool present() const override;
    void setPresenceListener(std::function<void(bool present)> listener) override;
    uint32_t connection() const override;

    // Leave or arrive now; the listener is told from the unit's own thread.
    void unplug();
    void plugIn();
    // Make an endpoint stall until the host clears the halt.
    void haltEndpoint(uint8_t endpoint);
    bool halted(uint8_t endpoint) const;

private:
    void notify(bool present);
    void runNotifier();

    const uint16_t m_vendorId;
    const uint16_t m_productId;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_present = true;
    uint32_t m_connection = 1;
    std::vector<uint8_t> m_stored;
    std::deque<uint8_t> m_loop;
    std::set<uint8_t> m_halted;
    uint32_t m_interruptCount = 0;
    std::function<void(bool)> m_listener;
    std::deque<bool> m_events; // presence changes for the listener, in order
    bool m_stop = false;
    std::thread m_notifier;
};
