#pragma once

#include "unitconfig.h"
#include "usbunit.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace xmegasim {

// The application's EEPROM service: sessions, selection and geometry, sector
// erase with progress, page programming that keeps the unit busy for a
// while, and the bulk data of reads and writes. Cells behave like flash:
// programming clears bits, erasing sets whole sectors back to 0xFF. Not
// locked: the unit calls it under its own lock.
class EepromService
{
public:
    using Clock = std::chrono::steady_clock;

    // Cells actually kept per EEPROM; the reported size may be larger.
    static constexpr uint64_t kMaxBacking = 64ull * 1024 * 1024;

    // The configuration must outlive the service (the unit's own copy).
    explicit EepromService(const UnitConfig& config);

    // A vendor request 0x30-0x3B.
    TransferResult request(uint8_t request, uint16_t value, uint8_t* data, uint16_t length, Clock::time_point now);
    TransferResult bulkOut(const uint8_t* data, uint32_t length, Clock::time_point now);
    TransferResult bulkIn(uint8_t* data, uint32_t length);

    // Brings erase progress up to now.
    void advance(Clock::time_point now);
    // Power is gone: the firmware's state is lost, the cells keep what
    // reached them.
    void powerLoss(Clock::time_point now);
    bool busy(Clock::time_point now);
    bool sessionOpen() const { return m_session; }
    // Time spent erasing and programming since construction.
    std::chrono::microseconds busyTime() const { return m_busyTime; }

    void setContents(unsigned eeprom, uint64_t address, const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> contents(unsigned eeprom, uint64_t address, size_t length) const;

private:
    struct Eeprom
    {
        EepromConfig geometry;
        std::vector<uint8_t> cells;
    };

    bool writeBusy(Clock::time_point now) const { return now < m_writeBusyUntil; }
    TransferResult startErase(Eeprom& e, uint64_t first, uint64_t count, Clock::time_point now);

    const UnitConfig& m_config;
    std::vector<Eeprom> m_eeproms;
    bool m_session = false;
    uint16_t m_selected = 0;
    bool m_eraseActive = false;
    bool m_eraseValid = false;
    unsigned m_eraseEeprom = 0;
    uint32_t m_eraseFirst = 0;
    uint32_t m_eraseCount = 0;
    uint32_t m_eraseDone = 0;
    Clock::time_point m_eraseStart;
    Clock::time_point m_writeBusyUntil;
    bool m_writing = false;
    bool m_reading = false;
    uint64_t m_cursor = 0;
    std::chrono::microseconds m_busyTime{0};
};

} // namespace xmegasim
