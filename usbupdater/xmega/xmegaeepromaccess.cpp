#include "xmegaeepromaccess.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace {

void sleepPollInterval()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(XmegaEepromAccess::kPollIntervalMs));
}

} // namespace

XmegaEepromAccess::Progress::Progress(FractionCallback callback, double base)
    : m_callback(std::move(callback))
    , m_base(base)
{
}

void XmegaEepromAccess::Progress::progress(uint32_t done, uint32_t total)
{
    if (!m_callback)
        return;
    const double part = total ? double(done) / double(total) : 1.0;
    m_callback(m_base + part * (1.0 - m_base));
}

XmegaEepromAccess::Session::Session(XmegaEepromAccess& access)
    : m_access(access)
{
    XmegaUSBDevice* device = access.m_device;
    bool open = true;
    if (device && device->isInEepromSession(&open) && !open && device->beginEepromSession()) {
        m_own = true;
        access.m_open = true;
    }
}

XmegaEepromAccess::Session::~Session()
{
    if (!m_own)
        return;
    XmegaUSBDevice* device = m_access.m_device;
    bool open = false;
    if (device && device->isInEepromSession(&open) && open)
        device->endEepromSession();
    m_access.m_open = false;
}

XmegaEepromAccess::~XmegaEepromAccess()
{
    cancel();
}

void XmegaEepromAccess::cancel()
{
    bool open = false;
    if (m_device && m_device->isInEepromSession(&open) && open)
        m_device->endEepromSession();
    m_open = false;
}

void XmegaEepromAccess::report(double fraction) const
{
    if (m_callback)
        m_callback(fraction);
}

bool XmegaEepromAccess::selectAndDescribe(uint16_t eeprom, XmegaUSBDevice::EepromInfo* info)
{
    return m_open && m_device && m_device->setSelectedEeprom(eeprom) && m_device->getEepromInfo(info);
}

uint32_t XmegaEepromAccess::pageSize(uint16_t eeprom)
{
    XmegaUSBDevice::EepromInfo info;
    if (!selectAndDescribe(eeprom, &info))
        return 0;
    return info.pageSize;
}

uint64_t XmegaEepromAccess::writeWork(uint32_t address, uint32_t length, uint32_t sectorSize, uint32_t pageSize,
                                      uint32_t* sectors)
{
    if (sectorSize == 0 || pageSize == 0)
        return 0;
    // Every sector the range touches is erased, also when the range does
    // not start on a sector boundary.
    const uint64_t span = uint64_t(address % sectorSize) + length;
    const uint64_t n = length ? (span + sectorSize - 1) / sectorSize : 0;
    if (sectors)
        *sectors = uint32_t(n);
    const uint64_t pages = (uint64_t(length) + pageSize - 1) / pageSize;
    return pages * pageSize + n * sectorSize;
}

bool XmegaEepromAccess::read(uint16_t eeprom, uint32_t address, uint8_t* buffer, uint32_t length)
{
    XmegaUSBDevice::EepromInfo info;
    if (!buffer || !selectAndDescribe(eeprom, &info) || info.pageSize == 0)
        return false;
    if (uint64_t(address) + length > info.size)
        return false;
    Progress progress(m_callback, 0.0);
    const uint32_t lead = address % info.pageSize;
    bool ok = false;
    if (lead == 0) {
        ok = m_device->readEeprom(address / info.pageSize, length, buffer, &progress);
    } else {
        // The unit reads whole pages from a page start; drop the lead-in.
        std::vector<uint8_t> staged(size_t(lead) + length);
        ok = m_device->readEeprom(address / info.pageSize, uint32_t(staged.size()), staged.data(), &progress);
        if (ok)
            std::memcpy(buffer, staged.data() + lead, length);
    }
    if (ok)
        report(1.0);
    return ok;
}

bool XmegaEepromAccess::erase(uint32_t first, uint32_t count, uint32_t sectorSize, uint64_t work)
{
    if (!m_device->eraseEepromSectors(first, count))
        return false;
    auto fraction = [&](const XmegaUSBDevice::EraseProgress& p) {
        if (!p.valid || p.current < p.first || work == 0)
            return 0.0;
        const uint64_t erased = std::min<uint64_t>(p.current - p.first, count);
        return double(erased * sectorSize) / double(work);
    };
    XmegaUSBDevice::EraseProgress p;
    uint32_t lastCurrent = 0;
    auto lastChange = std::chrono::steady_clock::now();
    for (;;) {
        if (!m_device->getEepromEraseProgress(&p))
            return false;
        if (!p.busy)
            break;
        report(fraction(p));
        if (p.current != lastCurrent) {
            lastCurrent = p.current;
            lastChange = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - lastChange > std::chrono::milliseconds(kStuckTimeoutMs)) {
            return false; // a unit that never finishes must not hang the update
        }
        sleepPollInterval();
    }
    report(fraction(p));
    return true;
}

bool XmegaEepromAccess::waitForWrite()
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        bool busy = false;
        if (!m_device->eepromWriteInProgress(&busy))
            return false;
        if (!busy)
            return true;
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(kStuckTimeoutMs))
            return false;
        sleepPollInterval();
    }
}

bool XmegaEepromAccess::write(uint16_t eeprom, uint32_t address, const uint8_t* data, uint32_t length,
                              bool eraseFirst)
{
    XmegaUSBDevice::EepromInfo info;
    if (!data || !selectAndDescribe(eeprom, &info))
        return false;
    // Geometry comes from the unit: refuse what can't be right.
    const uint32_t sector = info.sectorSize;
    const uint32_t page = info.pageSize;
    if (sector == 0 || page == 0 || page > XmegaUSBDevice::kMaxChunk || address % page != 0
        || uint64_t(address) + length > info.size)
        return false;
    // Refuse a geometry the bulk transfer can't carry before anything is
    // erased, so the old image survives.
    uint32_t chunk = 0;
    if (!XmegaUSBDevice::chunkSize(page, m_device->getEepromWriteMaxPacketSize(), &chunk))
        return false;
    uint32_t sectors = 0;
    const uint64_t work = writeWork(address, length, sector, page, &sectors);
    if (eraseFirst && sectors && !erase(address / sector, sectors, sector, work))
        return false;
    Progress progress(m_callback, eraseFirst ? 0.5 : 0.0);
    if (!m_device->writeEeprom(address / page, length, data, &progress))
        return false;
    if (!waitForWrite())
        return false;
    report(1.0);
    return true;
}
