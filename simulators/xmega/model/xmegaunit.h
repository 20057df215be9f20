#pragma once

#include "eepromservice.h"
#include "unitconfig.h"
#include "unitfault.h"
#include "usbunit.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace xmegasim {

// The emulated unit: an XMEGA-based device with its bootloader and its
// application, the vendor protocol of both, non-volatile application flash
// and EEPROMs, and a bus presence that a reboot interrupts. Erasing and
// writing the EEPROM take time as on the real part, and EEPROM cells behave
// like flash (writing can only clear bits; only an erase sets them again).
// All members are thread-safe; presence changes are reported from the
// unit's own timer thread.
class XmegaUnit final : public UsbUnit
{
public:
    explicit XmegaUnit(UnitConfig config = UnitConfig());
    ~XmegaUnit() override;
    XmegaUnit(const XmegaUnit&) = delete;
    XmegaUnit& operator=(const XmegaUnit&) = delete;

    std::vector<uint8_t> deviceDescriptor() const override;
    std::vector<uint8_t> configurationDescriptor() const override;
    TransferResult control(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                           uint16_t length, uint32_t timeoutMs) override;
    TransferResult bulk(uint8_t endpoint, uint8_t* data, uint32_t length, uint32_t timeoutMs) override;
    bool present() const override;
    void setPresenceListener(std::function<void(bool present)> listener) override;
    uint32_t connection() const override;

    // Fault injection; see UnitFault. Rules are checked in the order added.
    void addFault(const UnitFault& fault);
    void clearFaults();
    // How many transfers a fault has hit so far.
    unsigned faultsFired() const;
    void setRebootNeverReturns(bool never);
    void setFlashCorruptOffset(int64_t offset);

    // Factory state: a valid application image in flash.
    void loadApplication(const std::vector<uint8_t>& image);
    std::vector<uint8_t> flashContents(size_t length) const;
    bool inBootloader() const;
    // The version the checksum status reports; 0xFFFFFFFF without a valid image.
    uint32_t applicationVersion() const;

    // Direct access to an EEPROM's cells, bypassing the protocol.
    void setEepromContents(unsigned eeprom, uint64_t address, const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> eepromContents(unsigned eeprom, uint64_t address, size_t length) const;
    bool sessionOpen() const;
    // Whether an EEPROM erase or write is still running.
    bool eepromBusy();

    // The cable: leave the bus at once, or arrive (in the application when
    // it is valid, else in the bootloader). Listeners hear it from the
    // timer thread.
    void unplug();
    void plugIn();
    bool waitForPresence(bool present, int timeoutMs) const;
    unsigned rebootCount() const;
    // The unit's own share of an update: its timed erases and writes (flash
    // and EEPROM) and the time it stays off the bus while rebooting. A host
    // that never made it wait would take this long.
    std::chrono::microseconds busyTime() const;

    // Every transfer the unit saw, for tests that check the host's traffic.
    struct LogEntry
    {
        enum Kind { Control, BulkOut, BulkIn } kind = Control;
        uint8_t requestType = 0;
        uint8_t request = 0;
        uint16_t value = 0;
        uint16_t index = 0;
        uint8_t endpoint = 0;
        uint32_t length = 0;
        TransferStatus status = TransferStatus::Ok;
    };
    std::vector<LogEntry> log() const;
    void clearLog();

private:
    using Clock = std::chrono::steady_clock;

    struct Event
    {
        enum Type { Leave, Arrive, Notify } type = Leave;
        bool bootloader = false; // Arrive: the mode to start in
        bool present = false;    // Notify: what the listener hears
    };
    // Time a transfer blocks after its answer is fixed, outside the lock.
    struct Reply
    {
        TransferResult result;
        uint32_t delayMs = 0;
    };

    Reply vendorRequest(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                        uint16_t length);
    Reply standardRequest(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                          uint16_t length);
    Reply flashRequest(uint8_t request, uint16_t value, uint8_t* data, uint16_t length);
    Reply registerRequest(uint8_t request, uint16_t value, uint8_t* data, uint16_t length);

    bool appValidLocked(uint32_t* version) const;
    const UnitFault* matchFault(bool bulk, uint8_t requestType, uint8_t request, uint8_t endpoint);
    std::vector<uint8_t> deviceDescriptorLocked() const;
    std::vector<uint8_t> configurationDescriptorLocked() const;
    void leaveLocked(); // volatile state is lost
    void arriveLocked(bool bootloader);
    void schedule(Clock::time_point when, Event event);
    void timerLoop();
    void record(const LogEntry& entry);
    TransferResult faultResult(FaultKind kind, uint32_t timeoutMs, std::unique_lock<std::mutex>& lock);

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_presenceChanged;
    UnitConfig m_config;
    EepromService m_eeprom; // after m_config, which it reads
    std::vector<UnitFault> m_faults;
    std::vector<int> m_faultHits;
    unsigned m_faultsFired = 0;

    bool m_present = true;
    bool m_responsive = true; // false from a reboot request until the unit leaves
    bool m_bootloader = false;
    uint32_t m_connection = 1;
    unsigned m_reboots = 0;
    std::chrono::microseconds m_ownBusyTime{0}; // flash and reboots; the EEPROM service keeps its own

    std::vector<uint8_t> m_flash;
    bool m_appFinalised = false;

    std::map<uint16_t, std::vector<uint8_t>> m_registers;
    uint16_t m_registerPage = 0;

    std::vector<LogEntry> m_log;

    std::mutex m_listenerMutex;
    std::function<void(bool)> m_listener;
    std::multimap<Clock::time_point, Event> m_events;
    std::condition_variable m_timerWake;
    bool m_stop = false;
    std::thread m_timer;
};

} // namespace xmegasim
