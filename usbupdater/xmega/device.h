#pragma once

#include "firmware.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class FileStore;
class TaskQueue;
class XmegaUSBDevice;

// The updater's picture of one physical unit, from its first arrival until
// it is unplugged while not rebooting. The update state and progress are
// written by the worker thread and read by the GUI thread.
class Device
{
public:
    enum State : uint32_t {
        StateNone = 0,
        StateUpdateAvailable = 1,
        StateUpdating = 4,
        StateFinished = 5,
        StateFinishedRestartLater = 6,
        StateRestartRequired = 7,
        StateFailed = 8,
    };

    explicit Device(FileStore* store) : m_fileStore(store) {}
    virtual ~Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    virtual uint16_t productID() const = 0;
    virtual std::string uniqueID() const = 0;
    virtual std::string name() const = 0;
    // The USB device object of the current enumeration (borrowed).
    virtual XmegaUSBDevice* device() const = 0;
    // A re-enumerated unit: take a reference on the new object, drop the old.
    virtual void setDevice(XmegaUSBDevice* device) = 0;
    // Reboots the unit and waits for it to come back in the asked mode.
    virtual bool rebootBlocking(bool toBootloader) = 0;
    virtual bool isRebooting() = 0;
    // The unit has arrived again: wakes rebootBlocking.
    virtual void completeReboot() = 0;
    // The unit has arrived again with this device object: when a reboot is
    // awaited, hands the object over and wakes rebootBlocking (true);
    // otherwise changes nothing (false). Devices whose reboots run on
    // another thread override it to decide and hand over in one step.
    virtual bool takeRebootedDevice(XmegaUSBDevice* device)
    {
        if (!isRebooting())
            return false;
        setDevice(device);
        completeReboot();
        return true;
    }
    // Moves the parts to write into one task on the queue; false only when
    // the task can't be made.
    virtual bool queueUpdates(TaskQueue& queue, bool force) = 0;

    uint32_t state() const { return m_state.load(); }
    void setState(uint32_t state) { m_state.store(state); }
    uint32_t exchangeState(uint32_t state) { return m_state.exchange(state); }
    double progress() const { return m_progress.load(); }
    void setProgress(double fraction) { m_progress.store(fraction); }

    FileStore* fileStore() const { return m_fileStore; }
    std::vector<Firmware>& firmware() { return m_firmware; }
    const std::vector<Firmware>& firmware() const { return m_firmware; }
    // Whether some part differs from its package.
    bool needsUpdate() const;

protected:
    std::atomic<uint32_t> m_state{StateNone};
    std::atomic<double> m_progress{0.0}; // one 8-byte store
    FileStore* m_fileStore = nullptr;    // borrowed
    std::vector<Firmware> m_firmware;
};
