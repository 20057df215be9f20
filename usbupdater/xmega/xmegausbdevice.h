#pragma once

#include "makedevrequest.h"

#include <atomic>
#include <cstdint>
#include <cstring>

namespace MVN {
namespace USB {
class IUSBDevice;
class IUSBInterface;
} // namespace USB
} // namespace MVN

// One XMEGA-based unit on top of the USB layer: its vendor requests
// (identity, status, reboot, application flash, registers and the EEPROM
// service) and its two bulk pipes. Reference counted; the count starts at 1.
// Used from one thread at a time. Every operation returns true on success;
// there is no error text.
class XmegaUSBDevice
{
public:
    // The unit's 16-byte id; all 0xFF until read.
    struct UUID
    {
        uint8_t bytes[16];
        UUID() { std::memset(bytes, 0xFF, sizeof bytes); }
        bool operator==(const UUID& o) const { return std::memcmp(bytes, o.bytes, sizeof bytes) == 0; }
        bool operator!=(const UUID& o) const { return !(*this == o); }
        bool operator<(const UUID& o) const { return std::memcmp(bytes, o.bytes, sizeof bytes) < 0; }
    };

    // Told before every chunk of an EEPROM transfer (done, total in chunks)
    // and once more at the end (total, total).
    class ProgressCallback
    {
    public:
        virtual ~ProgressCallback() = default;
        virtual void progress(uint32_t done, uint32_t total) = 0;
    };

    // Answer of the status request.
    struct Status
    {
        bool sessionOpen = false;
        bool writeInProgress = false; // status byte 1 or 2
        bool readInProgress = false;
        uint16_t selectedEeprom = 0;
    };
    struct EepromInfo
    {
        uint64_t size = 0;
        uint32_t sectorSize = 0;
        uint32_t pageSize = 0;
    };
    struct EraseProgress
    {
        uint32_t first = 0;   // A
        uint32_t end = 0;     // B, not interpreted
        uint32_t current = 0; // C: sectors erased = C − A
        bool busy = false;
        bool valid = false;
    };

    static constexpr uint32_t kBulkTimeoutMs = 10000;
    static constexpr uint32_t kMaxChunk = 32768;     // EEPROM bulk chunk limit
    static constexpr uint32_t kFlashChunk = 2048;    // flash control-request chunk limit
    static constexpr uint32_t kRegisterPage = 65536;

    // Takes a reference on the USB device. Run doDeviceSetup before use.
    explicit XmegaUSBDevice(MVN::USB::IUSBDevice* device);
    XmegaUSBDevice(const XmegaUSBDevice&) = delete;
    XmegaUSBDevice& operator=(const XmegaUSBDevice&) = delete;

    void addRef();
    void release();

    MVN::USB::IUSBDevice* usbDevice() const { return m_device; }

    bool getVendorId(uint16_t* id) const;
    bool getProductId(uint16_t* id) const;
    bool getReleaseId(uint16_t* id) const;

    // Opens the device, claims the vendor interface and finds the bulk pipes.
    // Any failure closes and drops interface and device.
    bool doDeviceSetup();
    bool openUsbInterface();
    bool configureDevice();

    bool getBootloaderId(uint16_t* first, uint16_t* second);
    bool programDeviceIdentity(uint16_t first, uint16_t second);
    bool programDeviceUUID(const UUID& uuid);
    bool getDeviceFlashInfo(uint16_t* pageSize, uint16_t* second);
    bool eraseFlashApp();
    bool eraseAppBinary() { return eraseFlashApp(); }
    bool writeFlashApp(uint16_t page, uint16_t length, const uint8_t* data);
    bool finaliseFlashApp();
    bool readFlashApp(uint16_t page, uint16_t length, uint8_t* buffer);
    // Erases, writes in chunks, reads every chunk back and compares, then
    // finalises. Only on a unit in its bootloader.
    bool programAppBinary(uint32_t length, const uint8_t* image);
    bool readAppBinary(uint32_t length, uint8_t* buffer);

    bool isInBootloader(bool* inBootloader);
    bool getDeviceUUID(UUID* uuid);
    bool getChecksumStatus(uint32_t* first, uint32_t* version);
    // After a sent reboot the USB handle is closed: the unit leaves the bus.
    bool rebootToBootloader();
    bool reboot();
    bool setUsbBcdDevice(uint16_t bcd);

    bool getStatus(Status* status);
    bool isInEepromSession(bool* open);
    bool eepromWriteInProgress(bool* busy);
    bool eepromReadInProgress(bool* busy);
    bool getSelectedEeprom(uint16_t* eeprom);
    bool beginEepromSession();
    bool endEepromSession();
    bool getNumberOfEeproms(uint16_t* count);
    bool setSelectedEeprom(uint16_t eeprom);
    bool getEepromInfo(EepromInfo* info);
    bool fullEraseEeprom();
    bool eraseEepromSectors(uint32_t first, uint32_t count);
    bool getEepromEraseProgress(EraseProgress* progress);

    // EEPROM data over the bulk pipes, in chunks of up to 32 KiB that are
    // whole EEPROM pages. The write returns once the data is sent; the unit
    // keeps programming and shows it in the status.
    bool writeEeprom(uint32_t firstPage, uint32_t length, const uint8_t* data, ProgressCallback* progress);
    bool writeEepromData(uint32_t length, const uint8_t* data, ProgressCallback* progress);
    bool finishEepromWrite();
    bool readEeprom(uint32_t firstPage, uint32_t length, uint8_t* buffer, ProgressCallback* progress);
    bool readEepromData(uint32_t length, uint8_t* buffer, ProgressCallback* progress);
    bool finishEepromRead();

    bool readRegisters(uint32_t address, uint32_t length, uint8_t* buffer);
    bool writeRegisters(uint32_t address, uint32_t length, const uint8_t* data);
    bool pagedRegisterAccess(bool write, uint32_t address, uint32_t length, uint8_t* buffer);

    uint16_t getEepromReadMaxPacketSize() const { return m_bulkInMaxPacket; }
    uint16_t getEepromWriteMaxPacketSize() const { return m_bulkOutMaxPacket; }
    // The chunk rule for the selected EEPROM and a packet size: its page
    // size, the bytes a 32 KiB transfer leaves unused, and the chunk.
    bool getTransferSize(uint16_t maxPacket, uint32_t* pageSize, uint32_t* remainder, uint32_t* chunk);
    // The same rule as arithmetic: false when pages and packets don't fit.
    static bool chunkSize(uint32_t pageSize, uint16_t maxPacket, uint32_t* chunk);

    MakeDevRequest usbOutRequest(uint8_t code) const;
    MakeDevRequest usbInRequest(uint8_t code) const;
    MakeDevRequest usbDeviceInRequest(uint8_t code) const;

    uint8_t interfaceNumber() const { return m_interfaceNumber; }

protected:
    // Closes and drops interface, then device.
    virtual ~XmegaUSBDevice();

private:
    bool sendReboot(uint16_t value);
    void teardown();
    bool transferEeprom(bool write, uint32_t length, uint8_t* buffer, ProgressCallback* progress);

    std::atomic<int> m_refs{1};
    MVN::USB::IUSBDevice* m_device = nullptr;
    MVN::USB::IUSBInterface* m_interface = nullptr;
    uint8_t m_interfaceNumber = 0;
    uint8_t m_bulkOutPipe = 0;
    uint16_t m_bulkOutMaxPacket = 0;
    uint8_t m_bulkInPipe = 0;
    uint16_t m_bulkInMaxPacket = 0;
    int32_t m_registerPage = -1; // the page selected on the unit, −1 unknown
};
