#pragma once

#include "xmegausbdevice.h"

#include <cstdint>
#include <functional>

// Reads and writes the EEPROMs of an XMEGA unit through its EEPROM service,
// with erase, progress as a fraction and the wait for the unit to finish
// programming. Operations need an open session (see Session). No lock: one
// thread at a time, like the device.
class XmegaEepromAccess
{
public:
    using FractionCallback = std::function<void(double)>;

    static constexpr int kPollIntervalMs = 100;

    // Maps chunk progress onto base + done / total × (1 − base).
    class Progress : public XmegaUSBDevice::ProgressCallback
    {
    public:
        Progress(FractionCallback callback, double base);
        void progress(uint32_t done, uint32_t total) override;

    private:
        FractionCallback m_callback;
        double m_base = 0;
    };

    // Opens an EEPROM session for its lifetime, unless the unit already has
    // one open (then it does nothing: an enclosing Session keeps the access
    // open, otherwise the access stays closed).
    class Session
    {
    public:
        explicit Session(XmegaEepromAccess& access);
        ~Session();
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;
        bool ownsSession() const { return m_own; }

    private:
        XmegaEepromAccess& m_access;
        bool m_own = false;
    };

    XmegaEepromAccess() = default;
    explicit XmegaEepromAccess(XmegaUSBDevice* device) : m_device(device) {}
    // Ends a session still open on the unit.
    ~XmegaEepromAccess();
    XmegaEepromAccess(const XmegaEepromAccess&) = delete;
    XmegaEepromAccess& operator=(const XmegaEepromAccess&) = delete;

    // The device is borrowed.
    void setDevice(XmegaUSBDevice* device) { m_device = device; }
    XmegaUSBDevice* device() const { return m_device; }
    void setProgressUpdateCallback(FractionCallback callback) { m_callback = std::move(callback); }
    bool isOpen() const { return m_open; }

    // The page size of an EEPROM; 0 on failure or while closed.
    uint32_t pageSize(uint16_t eeprom);
    // Reads length bytes from a byte address; reports 1.0 when done.
    bool read(uint16_t eeprom, uint32_t address, uint8_t* buffer, uint32_t length);
    // Writes length bytes at a page-aligned byte address, erasing the
    // sectors first when asked; waits until the unit has programmed them.
    bool write(uint16_t eeprom, uint32_t address, const uint8_t* data, uint32_t length, bool eraseFirst);
    // Ends an open session and closes the access.
    void cancel();

    // The work total of a write: the data rounded up to whole pages plus the
    // sectors to erase.
    static uint64_t writeWork(uint32_t address, uint32_t length, uint32_t sectorSize, uint32_t pageSize,
                              uint32_t* sectors);

    // Polling gives up when a unit shows no progress for this long.
    static constexpr int kStuckTimeoutMs = 30000;

private:
    bool selectAndDescribe(uint16_t eeprom, XmegaUSBDevice::EepromInfo* info);
    bool erase(uint32_t first, uint32_t count, uint32_t sectorSize, uint64_t work);
    bool waitForWrite();
    void report(double fraction) const;

    XmegaUSBDevice* m_device = nullptr;
    FractionCallback m_callback;
    bool m_open = false;
};
