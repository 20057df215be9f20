#include "loopbackunit.h"

#include <algorithm>
#include <chrono>
#include <cstring>

using xmegasim::TransferResult;
using xmegasim::TransferStatus;

LoopbackUnit::LoopbackUnit(uint16_t vendorId, uint16_t productId)
    : m_vendorId(vendorId)
    , m_productId(productId)
    , m_notifier([this] { runNotifier(); })
{
}

LoopbackUnit::~LoopbackUnit()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_present = false;
        m_stop = true;
        m_changed.notify_all();
    }
    m_notifier.join();
}

void LoopbackUnit::runNotifier()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_stop || !m_events.empty(); });
        if (m_stop)
            return;
        const bool present = m_events.front();
        m_events.pop_front();
        std::function<void(bool)> listener = m_listener;
        lock.unlock();
        if (listener)
            listener(present);
        lock.lock();
    }
}

std::vector<uint8_t> LoopbackUnit::deviceDescriptor() const
{
    return {18, 1, 0x00, 0x02, 0, 0, 0, 64, uint8_t(m_vendorId), uint8_t(m_vendorId >> 8), uint8_t(m_productId),
            uint8_t(m_productId >> 8), 0x34, 0x12, 1, 2, 0, 1};
}

std::vector<uint8_t> LoopbackUnit::configurationDescriptor() const
{
    std::vector<uint8_t> d = {9, 2, 0, 0, 2, 1, 0, 0x80, 50};
    // interface 0, alternate 0: bulk out, bulk in, interrupt in, iso out
    d.insert(d.end(), {9, 4, 0, 0, 4, 0xFF, 0x42, 0x01, 0});
    d.insert(d.end(), {7, 5, kBulkOut, 2, 0, 2, 0});
    d.insert(d.end(), {7, 5, kBulkIn, 2, 0, 2, 0});
    d.insert(d.end(), {7, 5, kInterruptIn, 3, 8, 0, 4});
    d.insert(d.end(), {7, 5, kIsoOut, 1, 0, 1, 1});
    // interface 0, alternate 1: the bulk pair only
    d.insert(d.end(), {9, 4, 0, 1, 2, 0xFF, 0x42, 0x02, 0});
    d.insert(d.end(), {7, 5, kBulkOut, 2, 0, 2, 0});
    d.insert(d.end(), {7, 5, kBulkIn, 2, 0, 2, 0});
    // interface 1: no endpoints, another class
    d.insert(d.end(), {9, 4, 1, 0, 0, 0x0A, 0x00, 0x00, 0});
    d[2] = uint8_t(d.size());
    d[3] = uint8_t(d.size() >> 8);
    return d;
}

TransferResult LoopbackUnit::control(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index,
                                     uint8_t* data, uint16_t length, uint32_t)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_present)
        return {TransferStatus::NoDevice, 0};
    if ((requestType & 0x60) == 0) {
        if (requestType == 0x02 && request == 1 && value == 0) // CLEAR_FEATURE(ENDPOINT_HALT)
            m_halted.erase(uint8_t(index));
        return {TransferStatus::Ok, 0};
    }
    const bool in = requestType & 0x80;
    switch (request) {
    case kStore:
        if (in)
            return {TransferStatus::Stall, 0};
        m_stored.assign(data, data + length);
        return {TransferStatus::Ok, length};
    case kFetch:
    case kSlowFetch: {
        if (!in)
            return {TransferStatus::Stall, 0};
        if (request == kSlowFetch) {
            const uint32_t connection = m_connection;
            m_changed.wait_for(lock, std::chrono::milliseconds(300),
                               [&] { return !m_present || m_connection != connection; });
            if (!m_present || m_connection != connection)
                return {TransferStatus::NoDevice, 0};
        }
        const uint32_t n = std::min<uint32_t>(length, uint32_t(m_stored.size()));
        std::memcpy(data, m_stored.data(), n);
        return {TransferStatus::Ok, n};
    }
    case kHang:
        return {TransferStatus::Timeout, 0};
    case kLeave:
        m_present = false;
        m_changed.notify_all();
        lock.unlock();
        notify(false);
        return {TransferStatus::NoDevice, 0};
    default:
        return {TransferStatus::Stall, 0};
    }
}

TransferResult LoopbackUnit::bulk(uint8_t endpoint, uint8_t* data, uint32_t length, uint32_t)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_present)
        return {TransferStatus::NoDevice, 0};
    if (m_halted.count(endpoint))
        return {TransferStatus::Stall, 0};
    switch (endpoint) {
    case kBulkOut:
        m_loop.insert(m_loop.end(), data, data + length);
        return {TransferStatus::Ok, length};
    case kBulkIn: {
        if (m_loop.empty())
            return {TransferStatus::Timeout, 0};
        const uint32_t n = std::min<uint32_t>(length, uint32_t(m_loop.size()));
        std::copy(m_loop.begin(), m_loop.begin() + n, data);
        m_loop.erase(m_loop.begin(), m_loop.begin() + n);
        return {TransferStatus::Ok, n};
    }
    case kInterruptIn: {
        const uint32_t n = std::min<uint32_t>(length, 4);
        ++m_interruptCount;
        std::memcpy(data, &m_interruptCount, n);
        return {TransferStatus::Ok, n};
    }
    default:
        return {TransferStatus::Stall, 0};
    }
}

bool LoopbackUnit::present() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_present;
}

uint32_t LoopbackUnit::connection() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connection;
}

void LoopbackUnit::setPresenceListener(std::function<void(bool)> listener)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listener = std::move(listener);
}

void LoopbackUnit::notify(bool present)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.push_back(present);
    m_changed.notify_all();
}

void LoopbackUnit::unplug()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_present)
            return;
        m_present = false;
        m_changed.notify_all();
    }
    notify(false);
}

void LoopbackUnit::plugIn()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_present)
            return;
        m_present = true;
        ++m_connection;
        m_loop.clear();
        m_halted.clear();
    }
    notify(true);
}

void LoopbackUnit::haltEndpoint(uint8_t endpoint)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_halted.insert(endpoint);
}

bool LoopbackUnit::halted(uint8_t endpoint) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_halted.count(endpoint) != 0;
}
