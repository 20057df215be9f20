#include "xmegaunit.h"

#include "appimage.h"
#include "wire.h"

#include <algorithm>
#include <cstring>

namespace xmegasim {

namespace {

constexpr uint32_t kRegisterPageSize = 65536;
constexpr uint16_t kMaxRegisterPages = 16;

} // namespace

using namespace wire;

XmegaUnit::XmegaUnit(UnitConfig config)
    : m_config(std::move(config))
    , m_eeprom(m_config)
{
    m_flash.assign(m_config.flashSize, 0xFF);
    m_bootloader = true; // until a valid application is loaded
    m_timer = std::thread([this] { timerLoop(); });
}

XmegaUnit::~XmegaUnit()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_timerWake.notify_all();
    m_timer.join();
}

// ---- descriptors ---------------------------------------------------------

std::vector<uint8_t> XmegaUnit::deviceDescriptor() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return deviceDescriptorLocked();
}

std::vector<uint8_t> XmegaUnit::configurationDescriptor() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return configurationDescriptorLocked();
}

std::vector<uint8_t> XmegaUnit::deviceDescriptorLocked() const
{
    std::vector<uint8_t> d = {18, 1, 0x00, 0x02, 0, 0, 0, 64};
    put16(d, m_config.vendorId);
    put16(d, m_bootloader ? m_config.bootloaderProductId : m_config.productId);
    put16(d, m_bootloader ? m_config.bcdBootloader : m_config.bcdApplication);
    d.push_back(1); // manufacturer string
    d.push_back(2); // product string
    d.push_back(0);
    d.push_back(1); // one configuration
    return d;
}

std::vector<uint8_t> XmegaUnit::configurationDescriptorLocked() const
{
    // The bootloader has no bulk pipes; the application has the ones the
    // configuration asks for.
    std::vector<std::pair<uint8_t, uint16_t>> endpoints;
    if (!m_bootloader) {
        if (m_config.bulkIn)
            endpoints.push_back({kBulkInEndpoint, m_config.bulkPacketSize});
        if (m_config.bulkOut)
            endpoints.push_back({kBulkOutEndpoint, m_config.bulkPacketSize});
    }
    const uint16_t total = uint16_t(9 + 9 + 7 * endpoints.size());
    std::vector<uint8_t> d = {9, 2};
    put16(d, total);
    d.insert(d.end(), {1, 1, 0, 0x80, 50});
    d.insert(d.end(), {9, 4, m_config.interfaceNumber, 0, uint8_t(endpoints.size()), 0xFF, 0xFF, 0xFF, 0});
    for (const auto& ep : endpoints) {
        d.insert(d.end(), {7, 5, ep.first, 0x02});
        put16(d, ep.second);
        d.push_back(0);
    }
    return d;
}

// ---- presence ------------------------------------------------------------

bool XmegaUnit::present() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_present;
}

uint32_t XmegaUnit::connection() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connection;
}

void XmegaUnit::setPresenceListener(std::function<void(bool)> listener)
{
    std::lock_guard<std::mutex> lock(m_listenerMutex);
    m_listener = std::move(listener);
}

bool XmegaUnit::waitForPresence(bool present, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_presenceChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                      [&] { return m_present == present && m_responsive == present; });
}

void XmegaUnit::unplug()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear(); // a pending reboot arrival dies with the cable
    if (!m_present)
        return;
    leaveLocked();
    schedule(Clock::now(), Event{Event::Notify, false, false});
}

void XmegaUnit::plugIn()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    schedule(Clock::now(), Event{Event::Arrive, false, false});
}

std::chrono::microseconds XmegaUnit::busyTime() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ownBusyTime + m_eeprom.busyTime();
}

unsigned XmegaUnit::rebootCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_reboots;
}

void XmegaUnit::schedule(Clock::time_point when, Event event)
{
    m_events.emplace(when, event);
    m_timerWake.notify_all();
}

void XmegaUnit::leaveLocked()
{
    m_present = false;
    m_responsive = false;
    // RAM state of the firmware is gone; the cells keep what reached them.
    m_eeprom.powerLoss(Clock::now());
    m_registerPage = 0;
    m_presenceChanged.notify_all();
}

void XmegaUnit::arriveLocked(bool bootloader)
{
    // Without a valid application the bootloader stays in charge.
    m_bootloader = bootloader || !appValidLocked(nullptr);
    m_present = true;
    m_responsive = true;
    ++m_connection;
    m_presenceChanged.notify_all();
}

void XmegaUnit::timerLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        if (m_events.empty()) {
            m_timerWake.wait(lock);
            continue;
        }
        const auto first = m_events.begin();
        if (Clock::now() < first->first) {
            m_timerWake.wait_until(lock, first->first);
            continue;
        }
        const Event event = first->second;
        m_events.erase(first);
        bool presentNow = event.present;
        if (event.type == Event::Arrive) {
            if (m_present)
                continue; // already there
            arriveLocked(event.bootloader);
            presentNow = true;
        } else if (event.type == Event::Leave) {
            if (!m_present)
                continue;
            leaveLocked();
            presentNow = false;
        }
        lock.unlock();
        std::function<void(bool)> listener;
        {
            std::lock_guard<std::mutex> l(m_listenerMutex);
            listener = m_listener;
        }
        if (listener)
            listener(presentNow);
        lock.lock();
    }
}

// ---- state helpers -------------------------------------------------------

bool XmegaUnit::appValidLocked(uint32_t* version) const
{
    return m_appFinalised && AppImage::parse(m_flash.data(), m_flash.size(), version);
}

void XmegaUnit::record(const LogEntry& entry)
{
    if (m_log.size() < 200000)
        m_log.push_back(entry);
}

const UnitFault* XmegaUnit::matchFault(bool bulk, uint8_t requestType, uint8_t request, uint8_t endpoint)
{
    for (size_t i = 0; i < m_faults.size(); ++i) {
        const UnitFault& f = m_faults[i];
        if (!f.anyTransfer) {
            if (f.bulk != bulk)
                continue;
            if (bulk && f.endpoint >= 0 && f.endpoint != endpoint)
                continue;
            if (!bulk && f.request >= 0 && f.request != request)
                continue;
            if (!bulk && f.requestType >= 0 && f.requestType != requestType)
                continue;
        }
        const int hit = m_faultHits[i]++;
        if (hit < f.pass)
            continue;
        if (f.times >= 0 && hit >= f.pass + f.times)
            continue;
        ++m_faultsFired;
        return &f;
    }
    return nullptr;
}

TransferResult XmegaUnit::faultResult(FaultKind kind, uint32_t timeoutMs, std::unique_lock<std::mutex>& lock)
{
    switch (kind) {
    case FaultKind::Short: // only control requests answer short
    case FaultKind::Stall:
        return stall();
    case FaultKind::Unplug:
        m_events.clear();
        leaveLocked();
        schedule(Clock::now(), Event{Event::Notify, false, false});
        return {TransferStatus::NoDevice, 0};
    case FaultKind::Timeout: {
        const uint32_t wait = timeoutMs == 0 ? m_config.timeoutSleepCapMs
                                             : std::min(timeoutMs, m_config.timeoutSleepCapMs);
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        lock.lock();
        return {TransferStatus::Timeout, 0};
    }
    }
    return stall();
}

// ---- transfers -----------------------------------------------------------

TransferResult XmegaUnit::control(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index,
                                  uint8_t* data, uint16_t length, uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    LogEntry entry;
    entry.kind = LogEntry::Control;
    entry.requestType = requestType;
    entry.request = request;
    entry.value = value;
    entry.index = index;
    entry.length = length;
    if (!m_present || !m_responsive) {
        entry.status = TransferStatus::NoDevice;
        record(entry);
        return {TransferStatus::NoDevice, 0};
    }
    Reply reply;
    const bool standard = (requestType & 0x60) == 0;
    const UnitFault* fault = standard ? nullptr : matchFault(false, requestType, request, 0);
    if (fault && fault->kind == FaultKind::Short) {
        // Answered into a buffer of our own, so that what is not handed
        // over never reaches the caller.
        std::vector<uint8_t> answer(data && length ? length : 0);
        std::copy(data, data + answer.size(), answer.begin());
        reply = vendorRequest(requestType, request, value, index, answer.empty() ? nullptr : answer.data(), length);
        if ((requestType & 0x80) && reply.result.status == TransferStatus::Ok) {
            reply.result.length = std::min<uint32_t>(reply.result.length, length / 2u);
            std::copy(answer.begin(), answer.begin() + reply.result.length, data);
        } else if (!answer.empty()) {
            std::copy(answer.begin(), answer.end(), data);
        }
    } else if (fault) {
        reply.result = faultResult(fault->kind, timeoutMs, lock);
    } else if (standard) {
        reply = standardRequest(requestType, request, value, index, data, length);
    } else {
        reply = vendorRequest(requestType, request, value, index, data, length);
    }
    entry.status = reply.result.status;
    record(entry);
    if (reply.delayMs) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
    }
    return reply.result;
}

TransferResult XmegaUnit::bulk(uint8_t endpoint, uint8_t* data, uint32_t length, uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    LogEntry entry;
    entry.kind = (endpoint & 0x80) ? LogEntry::BulkIn : LogEntry::BulkOut;
    entry.endpoint = endpoint;
    entry.length = length;
    TransferResult result;
    if (!m_present || !m_responsive) {
        result = {TransferStatus::NoDevice, 0};
    } else {
        if (const UnitFault* fault = matchFault(true, 0, 0, endpoint))
            result = faultResult(fault->kind, timeoutMs, lock);
        else if (m_bootloader)
            result = stall();
        else if (endpoint == kBulkOutEndpoint && m_config.bulkOut)
            result = m_eeprom.bulkOut(data, length, Clock::now());
        else if (endpoint == kBulkInEndpoint && m_config.bulkIn)
            result = m_eeprom.bulkIn(data, length);
        else
            result = stall();
    }
    entry.status = result.status;
    entry.length = entry.kind == LogEntry::BulkOut ? length : result.length;
    record(entry);
    return result;
}

XmegaUnit::Reply XmegaUnit::standardRequest(uint8_t requestType, uint8_t request, uint16_t value, uint16_t,
                                            uint8_t* data, uint16_t length)
{
    Reply reply;
    const bool in = requestType & 0x80;
    if (in && request == 6) { // GET_DESCRIPTOR
        const uint8_t type = uint8_t(value >> 8);
        if (type == 1) {
            reply.result = answer(deviceDescriptorLocked(), data, length);
        } else if (type == 2) {
            reply.result = answer(configurationDescriptorLocked(), data, length);
        } else if (type == 3) {
            const char* text = (value & 0xFF) == 1 ? "Ondavia" : "Ondavia StreamPort USB";
            std::vector<uint8_t> s = {0, 3};
            if ((value & 0xFF) == 0) {
                s.insert(s.end(), {0x09, 0x04});
            } else {
                for (const char* c = text; *c; ++c)
                    put16(s, uint8_t(*c));
            }
            s[0] = uint8_t(s.size());
            reply.result = answer(s, data, length);
        } else {
            reply.result = stall();
        }
    } else if (in && request == 0) { // GET_STATUS
        reply.result = answer({0, 0}, data, length);
    } else if (in && request == 8) { // GET_CONFIGURATION
        reply.result = answer({1}, data, length);
    } else if (!in && (request == 9 || request == 1 || request == 11)) {
        // SET_CONFIGURATION, CLEAR_FEATURE (halt), SET_INTERFACE
        reply.result = ok();
    } else {
        reply.result = stall();
    }
    return reply;
}

XmegaUnit::Reply XmegaUnit::vendorRequest(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index,
                                          uint8_t* data, uint16_t length)
{
    // The UUID is the one request addressed to the device as a whole.
    if (requestType == 0xC0) {
        if (request != 0x10)
            return {stall()};
        const std::vector<uint8_t> uuid(m_config.uuid.begin(), m_config.uuid.end());
        return {answer(uuid, data, length)};
    }
    if ((requestType != 0x41 && requestType != 0xC1) || index != m_config.interfaceNumber)
        return {stall()};
    const bool in = requestType == 0xC1;
    // Which direction each request has; a mismatch stalls as on the part.
    static const uint8_t kInRequests[] = {0x00, 0x03, 0x06, 0x10, 0x11, 0x30, 0x33, 0x35, 0x38, 0x53};
    const bool wantsIn = std::find(std::begin(kInRequests), std::end(kInRequests), request) != std::end(kInRequests);
    if (in != wantsIn)
        return {stall()};
    if (length && !data)
        return {stall()};

    switch (request) {
    case 0x00: {
        std::vector<uint8_t> id;
        put16(id, m_config.bootloaderMajor);
        put16(id, m_config.bootloaderMinor);
        return {answer(id, data, length)};
    }
    case 0x01:
    case 0x02: {
        const uint16_t expected = request == 0x01 ? 14 : 26;
        if (!m_bootloader || length != expected
            || std::memcmp(data + expected - sizeof(kIdentityTag), kIdentityTag, sizeof(kIdentityTag)) != 0)
            return {stall()};
        if (request == 0x01) {
            m_config.vendorId = le16(data);
            m_config.productId = le16(data + 2);
        } else {
            std::copy(data, data + 16, m_config.uuid.begin());
        }
        return {ok(length)};
    }
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
        if (!m_bootloader)
            return {stall()};
        return flashRequest(request, value, data, length);
    case 0x10:
        return {answer({uint8_t(m_bootloader ? 1 : 0)}, data, length)};
    case 0x11: {
        uint32_t version = 0xFFFFFFFF;
        const bool valid = appValidLocked(&version);
        std::vector<uint8_t> status;
        put32(status, valid ? 0 : 1); // checksum state: 0 good
        put32(status, valid ? version : 0xFFFFFFFF);
        return {answer(status, data, length)};
    }
    case 0x12: {
        if (length != 0)
            return {stall()};
        ++m_reboots;
        // The unit acknowledges, drops off the bus and starts again.
        m_responsive = false;
        const auto leave = Clock::now() + std::chrono::milliseconds(m_config.rebootLeaveMs);
        schedule(leave, Event{Event::Leave, false, false});
        m_ownBusyTime += std::chrono::milliseconds(m_config.rebootLeaveMs);
        if (!m_config.rebootNeverReturns) {
            schedule(leave + std::chrono::milliseconds(m_config.rebootArriveMs),
                     Event{Event::Arrive, value == 1, false});
            m_ownBusyTime += std::chrono::milliseconds(m_config.rebootArriveMs);
        }
        return {ok()};
    }
    case 0x21:
        m_config.bcdApplication = value;
        return {ok()};
    case 0x50:
    case 0x52:
    case 0x53:
        if (m_bootloader)
            return {stall()};
        return registerRequest(request, value, data, length);
    default:
        if (request >= 0x30 && request <= 0x3B) {
            if (m_bootloader)
                return {stall()};
            return {m_eeprom.request(request, value, data, length, Clock::now())};
        }
        return {stall()};
    }
}

XmegaUnit::Reply XmegaUnit::flashRequest(uint8_t request, uint16_t value, uint8_t* data, uint16_t length)
{
    const uint32_t page = m_config.flashPageSize;
    switch (request) {
    case 0x03: {
        std::vector<uint8_t> info;
        put16(info, uint16_t(page));
        put16(info, uint16_t(page ? std::min<uint32_t>(m_config.flashSize / page, 0xFFFF) : 0));
        return {answer(info, data, length)};
    }
    case 0x04:
        if (length)
            return {stall()};
        std::fill(m_flash.begin(), m_flash.end(), 0xFF);
        m_appFinalised = false;
        m_ownBusyTime += std::chrono::milliseconds(m_config.flashEraseMs);
        return {ok(), m_config.flashEraseMs};
    case 0x05:
    case 0x06: {
        if (request == 0x05 && length == 0 && value == 0) {
            m_appFinalised = true; // the bootloader checks the image when it next starts
            return {ok()};
        }
        if (page == 0)
            return {stall()};
        const uint64_t start = uint64_t(value) * page;
        if (start + length > m_flash.size())
            return {stall()};
        if (request == 0x06) {
            std::memcpy(data, m_flash.data() + start, length);
            return {ok(length)};
        }
        programCells(m_flash.data() + start, data, length);
        const int64_t corrupt = m_config.flashCorruptOffset;
        if (corrupt >= 0 && uint64_t(corrupt) >= start && uint64_t(corrupt) < start + length)
            m_flash[size_t(corrupt)] ^= 0x01;
        // The bootloader answers once the pages are programmed.
        const uint32_t programmingMs =
            uint32_t((uint64_t(length) + page - 1) / page * m_config.flashWriteUsPerPage / 1000);
        m_ownBusyTime += std::chrono::milliseconds(programmingMs);
        return {ok(length), programmingMs};
    }
    }
    return {stall()};
}

XmegaUnit::Reply XmegaUnit::registerRequest(uint8_t request, uint16_t value, uint8_t* data, uint16_t length)
{
    if (request == 0x50) {
        if (value >= kMaxRegisterPages || length)
            return {stall()};
        m_registerPage = value;
        return {ok()};
    }
    if (uint32_t(value) + length > kRegisterPageSize)
        return {stall()};
    std::vector<uint8_t>& page = m_registers[m_registerPage];
    if (page.empty())
        page.assign(kRegisterPageSize, 0);
    if (request == 0x53)
        std::memcpy(data, page.data() + value, length);
    else
        std::memcpy(page.data() + value, data, length);
    return {ok(length)};
}

// ---- test controls -------------------------------------------------------

void XmegaUnit::addFault(const UnitFault& fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back(fault);
    m_faultHits.push_back(0);
}

unsigned XmegaUnit::faultsFired() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_faultsFired;
}

void XmegaUnit::clearFaults()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
    m_faultHits.clear();
}

void XmegaUnit::setRebootNeverReturns(bool never)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_config.rebootNeverReturns = never;
}

void XmegaUnit::setFlashCorruptOffset(int64_t offset)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_config.flashCorruptOffset = offset;
}

void XmegaUnit::loadApplication(const std::vector<uint8_t>& image)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::fill(m_flash.begin(), m_flash.end(), 0xFF);
    std::copy_n(image.begin(), std::min(image.size(), m_flash.size()), m_flash.begin());
    m_appFinalised = true;
    m_bootloader = m_config.startInBootloader || !appValidLocked(nullptr);
}

std::vector<uint8_t> XmegaUnit::flashContents(size_t length) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::vector<uint8_t>(m_flash.begin(), m_flash.begin() + std::min(length, m_flash.size()));
}

bool XmegaUnit::inBootloader() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bootloader;
}

uint32_t XmegaUnit::applicationVersion() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    uint32_t version = 0xFFFFFFFF;
    return appValidLocked(&version) ? version : 0xFFFFFFFF;
}

void XmegaUnit::setEepromContents(unsigned eeprom, uint64_t address, const std::vector<uint8_t>& bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_eeprom.setContents(eeprom, address, bytes);
}

std::vector<uint8_t> XmegaUnit::eepromContents(unsigned eeprom, uint64_t address, size_t length) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_eeprom.contents(eeprom, address, length);
}

bool XmegaUnit::sessionOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_eeprom.sessionOpen();
}

bool XmegaUnit::eepromBusy()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_eeprom.busy(Clock::now());
}

std::vector<XmegaUnit::LogEntry> XmegaUnit::log() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
}

void XmegaUnit::clearLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.clear();
}

} // namespace xmegasim
