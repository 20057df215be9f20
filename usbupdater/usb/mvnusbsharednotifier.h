#pragma once

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace MVN {
namespace USB {

// Watches the USB device file system (one directory per bus, one node per
// device) with inotify and hands each creation and deletion to the
// registered callbacks in registration order, until one handles it. One per
// process, created on first use and never destroyed.
class MVNUsb_SharedNotifier
{
public:
    // (context, added, bus name, device name) -> handled
    using Callback = bool (*)(void* context, bool added, const char* bus, const char* device);

    // Throws std::runtime_error on first use when no device file system can
    // be opened or inotify cannot be set up.
    static MVNUsb_SharedNotifier& GetInstance();

    void AddNotificationCallback(Callback callback, void* context);
    // Removes every registration equal to both.
    void RemoveNotificationCallback(Callback callback, void* context);

    // "USB_DEVFS_PATH" when it names a directory that opens, else
    // "/dev/bus/usb", else "/proc/bus/usb"; empty when none opens.
    static std::string GetUsbDeviceFSPath();
    static bool IsDirectoryUsbDeviceFS(const std::string& path);

    const std::string& path() const { return m_path; }
    int inotifyFd() const { return m_inotifyFd; }

    // Reads and dispatches what the inotify queue holds; false on a read error.
    bool ReadInotifyQueue();
    bool OnDeviceAdded(const std::string& bus, const std::string& device);
    bool OnDeviceRemoved(const std::string& bus, const std::string& device);
    // Waits, in 10 ms steps, until the device node opens read-only.
    bool WaitForAddedDevice(const std::string& bus, const std::string& device, int milliseconds) const;

    // Serialises installation of a notification against event delivery.
    std::recursive_mutex& deliveryMutex() { return m_mutex; }

    MVNUsb_SharedNotifier(const MVNUsb_SharedNotifier&) = delete;
    MVNUsb_SharedNotifier& operator=(const MVNUsb_SharedNotifier&) = delete;

private:
    MVNUsb_SharedNotifier();
    ~MVNUsb_SharedNotifier();
    bool BeginWatchUsbDevices();
    bool dispatch(bool added, const std::string& bus, const std::string& device);

    std::string m_path;
    int m_inotifyFd = -1;
    std::map<int, std::string> m_watches; // watch descriptor -> bus name
    std::vector<std::pair<Callback, void*>> m_callbacks;
    std::recursive_mutex m_mutex;
};

} // namespace USB
} // namespace MVN
