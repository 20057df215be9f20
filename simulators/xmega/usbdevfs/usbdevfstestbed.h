#pragma once

#include "usbunit.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace xmegasim {

class UsbDevfsDevice;

// A umockdev test bed with one emulated USB bus on which units appear as
// real usbdevfs devices: a sysfs entry (busnum, devnum, descriptors, speed,
// ...) and a /dev/bus/usb/BBB/DDD node whose ioctls reach the unit. libusb
// and the inotify hot-plug then run unchanged.
//
// The process must run under libumockdev-preload (umockdev-wrapper) and
// create the test bed before anything touches libusb or the USB layer.
// Construction exports UMOCKDEV_DIR and USB_DEVFS_PATH (the test bed's
// dev/bus/usb). Methods may be called from any thread.
class UsbDevfsTestBed
{
public:
    // Throws std::runtime_error when the preload is missing.
    explicit UsbDevfsTestBed(uint8_t busNumber = 1);
    ~UsbDevfsTestBed();
    UsbDevfsTestBed(const UsbDevfsTestBed&) = delete;
    UsbDevfsTestBed& operator=(const UsbDevfsTestBed&) = delete;

    // Whether libumockdev-preload is asked for and really loaded into this
    // process.
    static bool preloadActive();

    const std::string& rootDir() const { return m_root; }
    // The test bed's USB device file system (also in USB_DEVFS_PATH).
    const std::string& devfsPath() const { return m_devfs; }
    uint8_t busNumber() const { return m_bus; }

    // Puts the unit on the bus (when it is present) and from then on follows
    // its presence: leaving removes the device, arriving adds it again at a
    // new address, as a real bus does. The unit must outlive its removal
    // (removeUnit or the test bed's destruction). Returns an id.
    int addUnit(UsbUnit& unit, unsigned speedMbits = 480);
    // Takes the unit off the bus for good and stops following it.
    void removeUnit(int id);
    // The unit's device address now, 0 while it is off the bus.
    uint8_t deviceAddress(int id) const;
    // Its node below devfsPath(), empty while it is off the bus.
    std::string nodePath(int id) const;

    // Makes later arrivals create the node first and announce the device
    // (sysfs entry and uevent) only this much later, as a real system can
    // when the kernel's node is there before udev reports the device.
    // 0 (the default) announces first.
    void setAnnounceDelayMs(int milliseconds);

private:
    struct Slot;
    void onPresence(int id, bool present);
    void plugLocked(Slot& slot);
    void unplugLocked(Slot& slot);
    uint8_t nextAddressLocked();

    UMockdevTestbed* m_testbed = nullptr;
    std::string m_root;
    std::string m_devfs;
    uint8_t m_bus = 1;
    bool m_setDevfsVariable = false;

    mutable std::recursive_mutex m_mutex;
    std::map<int, std::unique_ptr<Slot>> m_slots;
    // Every appearance stays alive until the end: clients that still hold
    // the old node open keep getting answers (ENODEV).
    std::map<std::string, std::unique_ptr<UsbDevfsDevice>> m_devices; // node path -> device
    int m_nextId = 1;
    uint8_t m_lastAddress = 1; // address 1 is the root hub's on a real bus
    int m_announceDelayMs = 0;
};

} // namespace xmegasim
