#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace xmegasim {

// USB identity of the emulated maker's unit.
constexpr uint16_t kUnitVendorId = 0xF0DA;
constexpr uint16_t kUnitProductId = 0x7EAA;
constexpr uint16_t kUnprogrammedProductId = 0x7E86;

// The tag that guards the identity-programming requests.
constexpr char kIdentityTag[10] = {'O', 'N', 'D', 'A', 'V', 'I', 'A', '-', 'I', 'D'};

// Endpoint addresses of the application's bulk pipes.
constexpr uint8_t kBulkInEndpoint = 0x81;
constexpr uint8_t kBulkOutEndpoint = 0x02;

// One EEPROM behind the unit's EEPROM service. The geometry is reported as
// given, so a test can hand the host nonsense; the backing store is capped.
struct EepromConfig
{
    uint64_t size = 2 * 1024 * 1024;
    uint32_t sectorSize = 4096;
    uint32_t pageSize = 256;
};

// Everything that shapes one emulated unit. Times are short by default so
// that tests stay fast; faults are added separately (UnitFault).
struct UnitConfig
{
    uint16_t vendorId = kUnitVendorId;
    uint16_t productId = kUnitProductId;           // application mode
    uint16_t bootloaderProductId = kUnitProductId; // the bootloader keeps the id
    uint16_t bcdApplication = 0x0102;
    uint16_t bcdBootloader = 0x0100;
    std::array<uint8_t, 16> uuid = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                                    0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xF0, 0x01};
    uint16_t bootloaderMajor = 1;
    uint16_t bootloaderMinor = 4;

    bool startInBootloader = false; // the unit also stays there without a valid application
    uint32_t flashSize = 128 * 1024;
    uint16_t flashPageSize = 128; // reported by request 0x03; 0 or above 2048 is a fault

    std::vector<EepromConfig> eeproms = {EepromConfig{}};
    uint8_t interfaceNumber = 0;
    uint16_t bulkPacketSize = 64;
    bool bulkIn = true;  // the application offers a bulk-in pipe
    bool bulkOut = true; // and a bulk-out pipe
    // Status byte (1 or 2) that shows an EEPROM write in progress; firmware
    // revisions differ, the host has to look at both.
    int statusWriteByte = 1;
    bool sessionOpenAtStart = false; // left open by an earlier host

    uint32_t rebootLeaveMs = 5;   // from request 0x12 to leaving the bus
    uint32_t rebootArriveMs = 60; // from leaving to arriving again
    uint32_t eraseMsPerSector = 1;
    uint32_t writeUsPerPage = 20;
    uint32_t flashEraseMs = 5;
    uint32_t flashWriteUsPerPage = 0; // each flash page a request 0x05 programs
    // A transfer that times out blocks for its time-out, but never longer.
    uint32_t timeoutSleepCapMs = 1000;

    // Faults that are properties of the unit rather than of one transfer.
    bool rebootNeverReturns = false;  // leaves the bus on reboot and stays away
    int64_t flashCorruptOffset = -1;  // this image byte is stored with bit 0 flipped
};

} // namespace xmegasim
