#include "eepromservice.h"

#include "wire.h"

#include <algorithm>
#include <cstring>

namespace xmegasim {

using namespace wire;

EepromService::EepromService(const UnitConfig& config)
    : m_config(config)
{
    for (const EepromConfig& geometry : config.eeproms) {
        Eeprom e;
        e.geometry = geometry;
        e.cells.assign(size_t(std::min(geometry.size, kMaxBacking)), 0xFF);
        m_eeproms.push_back(std::move(e));
    }
    m_session = config.sessionOpenAtStart;
}

void EepromService::advance(Clock::time_point now)
{
    if (!m_eraseActive)
        return;
    uint64_t done = m_eraseCount;
    if (m_config.eraseMsPerSector > 0) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - m_eraseStart).count();
        done = std::min<uint64_t>(m_eraseCount, uint64_t(elapsed) / m_config.eraseMsPerSector);
    }
    Eeprom& e = m_eeproms[m_eraseEeprom];
    const uint64_t sector = e.geometry.sectorSize;
    for (uint64_t s = m_eraseDone; s < done; ++s) {
        const uint64_t start = (uint64_t(m_eraseFirst) + s) * sector;
        if (start >= e.cells.size())
            break;
        const uint64_t end = std::min<uint64_t>(start + sector, e.cells.size());
        std::fill(e.cells.begin() + start, e.cells.begin() + end, 0xFF);
    }
    m_eraseDone = uint32_t(done);
    if (m_eraseDone >= m_eraseCount)
        m_eraseActive = false;
}

void EepromService::powerLoss(Clock::time_point now)
{
    advance(now); // an erase stops where it is
    m_session = false;
    m_writing = false;
    m_reading = false;
    m_eraseActive = false;
    m_eraseValid = false;
    m_writeBusyUntil = Clock::time_point();
}

bool EepromService::busy(Clock::time_point now)
{
    advance(now);
    return m_eraseActive || writeBusy(now);
}

TransferResult EepromService::startErase(Eeprom& e, uint64_t first, uint64_t count, Clock::time_point now)
{
    const EepromConfig& g = e.geometry;
    const uint64_t sectors = g.sectorSize ? std::min(g.size, uint64_t(e.cells.size())) / g.sectorSize : 0;
    if (m_eraseActive || writeBusy(now) || g.sectorSize == 0 || first + count > sectors)
        return stall();
    m_eraseActive = count > 0;
    m_eraseValid = true;
    m_eraseEeprom = m_selected;
    m_eraseFirst = uint32_t(first);
    m_eraseCount = uint32_t(count);
    m_eraseDone = 0;
    m_eraseStart = now;
    m_busyTime += std::chrono::milliseconds(uint64_t(count) * m_config.eraseMsPerSector);
    m_writing = false;
    m_reading = false;
    return ok();
}

TransferResult EepromService::request(uint8_t request, uint16_t value, uint8_t* data, uint16_t length,
                                      Clock::time_point now)
{
    advance(now);
    if (request == 0x30) {
        std::vector<uint8_t> status(6, 0);
        status[0] = m_session ? 1 : 0;
        if (writeBusy(now))
            status[m_config.statusWriteByte == 2 ? 2 : 1] = 1;
        if (m_eraseActive)
            status[2] = 1;
        status[3] = m_reading ? 1 : 0;
        status[4] = uint8_t(m_selected);
        status[5] = uint8_t(m_selected >> 8);
        return answer(status, data, length);
    }
    if (request == 0x31) {
        if (m_session)
            return stall();
        m_session = true;
        m_selected = 0;
        return ok();
    }
    if (request == 0x32) {
        m_session = false;
        m_writing = false;
        m_reading = false;
        return ok();
    }
    // Everything else belongs to a session.
    if (!m_session)
        return stall();
    if (request == 0x33)
        return answer({uint8_t(m_eeproms.size()), uint8_t(m_eeproms.size() >> 8)}, data, length);
    if (request == 0x34) {
        if (value >= m_eeproms.size())
            return stall();
        m_selected = value;
        return ok();
    }
    if (m_selected >= m_eeproms.size())
        return stall();
    Eeprom& e = m_eeproms[m_selected];
    const EepromConfig& g = e.geometry;
    switch (request) {
    case 0x35: {
        std::vector<uint8_t> info;
        put64(info, g.size);
        put32(info, g.sectorSize);
        put32(info, g.pageSize);
        return answer(info, data, length);
    }
    case 0x36:
        if (length)
            return stall();
        return startErase(e, 0, g.sectorSize ? g.size / g.sectorSize : 0, now);
    case 0x37: {
        if (length != 8)
            return stall();
        const TransferResult r = startErase(e, le32(data), le32(data + 4), now);
        return r.status == TransferStatus::Ok ? ok(length) : r;
    }
    case 0x38: {
        std::vector<uint8_t> progress;
        put32(progress, m_eraseFirst);
        put32(progress, m_eraseFirst + m_eraseCount);
        put32(progress, m_eraseFirst + m_eraseDone);
        put16(progress, m_eraseActive ? 1 : 0);
        progress.push_back(m_eraseValid ? 1 : 0);
        return answer(progress, data, length);
    }
    case 0x39:
    case 0x3A: {
        // The unit starts no transfer while it is still erasing or programming.
        if (length != 4 || m_eraseActive || writeBusy(now) || g.pageSize == 0)
            return stall();
        const uint64_t start = uint64_t(le32(data)) * g.pageSize;
        if (start >= e.cells.size() || start >= g.size)
            return stall();
        m_cursor = start;
        m_writing = request == 0x39;
        m_reading = request == 0x3A;
        return ok(length);
    }
    case 0x3B:
        m_reading = false;
        return ok();
    }
    return stall();
}

TransferResult EepromService::bulkOut(const uint8_t* data, uint32_t length, Clock::time_point now)
{
    if (!m_session)
        return stall();
    if (!m_writing)
        return length == 0 ? ok() : stall(); // a stray zero-length packet is harmless
    Eeprom& e = m_eeproms[m_selected];
    const uint64_t limit = std::min<uint64_t>(e.geometry.size, e.cells.size());
    if (length && !data)
        return stall();
    if (m_cursor + length > limit) {
        m_writing = false;
        return stall();
    }
    programCells(e.cells.data() + m_cursor, data, length);
    m_cursor += length;
    const uint64_t page = e.geometry.pageSize;
    const uint64_t pages = page ? (uint64_t(length) + page - 1) / page : 0;
    const std::chrono::microseconds programming(pages * m_config.writeUsPerPage);
    m_writeBusyUntil = std::max(now, m_writeBusyUntil) + programming;
    m_busyTime += programming;
    // A packet shorter than the pipe's packet size ends the write.
    const uint32_t packet = std::max<uint32_t>(1, m_config.bulkPacketSize);
    if (length == 0 || length % packet != 0)
        m_writing = false;
    return ok(length);
}

TransferResult EepromService::bulkIn(uint8_t* data, uint32_t length)
{
    if (!m_session || !m_reading)
        return stall();
    Eeprom& e = m_eeproms[m_selected];
    const uint64_t limit = std::min<uint64_t>(e.geometry.size, e.cells.size());
    const uint32_t n = uint32_t(std::min<uint64_t>(length, limit - std::min(limit, m_cursor)));
    if (n && !data)
        return stall();
    if (n)
        std::memcpy(data, e.cells.data() + m_cursor, n);
    m_cursor += n;
    return ok(n);
}

void EepromService::setContents(unsigned eeprom, uint64_t address, const std::vector<uint8_t>& bytes)
{
    if (eeprom >= m_eeproms.size())
        return;
    std::vector<uint8_t>& cells = m_eeproms[eeprom].cells;
    if (address >= cells.size())
        return;
    std::copy_n(bytes.begin(), std::min<uint64_t>(bytes.size(), cells.size() - address), cells.begin() + address);
}

std::vector<uint8_t> EepromService::contents(unsigned eeprom, uint64_t address, size_t length) const
{
    if (eeprom >= m_eeproms.size())
        return {};
    const std::vector<uint8_t>& cells = m_eeproms[eeprom].cells;
    if (address >= cells.size())
        return {};
    const size_t n = size_t(std::min<uint64_t>(length, cells.size() - address));
    return std::vector<uint8_t>(cells.begin() + address, cells.begin() + address + n);
}

} // namespace xmegasim
