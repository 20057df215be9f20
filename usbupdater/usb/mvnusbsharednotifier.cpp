#include "mvnusbsharednotifier.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <thread>

namespace MVN {
namespace USB {

namespace {

constexpr size_t kInotifyReadSize = 32768;
constexpr int kAddedNodeWaitMs = 500;
constexpr int kAddedNodePollMs = 10;

} // namespace

MVNUsb_SharedNotifier& MVNUsb_SharedNotifier::GetInstance()
{
    // Never destroyed: the poll thread may still use it while the process ends.
    static MVNUsb_SharedNotifier* instance = new MVNUsb_SharedNotifier();
    return *instance;
}

MVNUsb_SharedNotifier::MVNUsb_SharedNotifier()
    : m_path(GetUsbDeviceFSPath())
{
    if (m_path.empty())
        throw std::runtime_error("no USB device file system can be opened");
    if (!BeginWatchUsbDevices()) {
        if (m_inotifyFd >= 0)
            close(m_inotifyFd);
        throw std::runtime_error("cannot watch the USB device file system");
    }
}

MVNUsb_SharedNotifier::~MVNUsb_SharedNotifier()
{
    if (m_inotifyFd >= 0)
        close(m_inotifyFd);
}

bool MVNUsb_SharedNotifier::IsDirectoryUsbDeviceFS(const std::string& path)
{
    if (path.empty())
        return false;
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return false;
    closedir(dir);
    return true;
}

std::string MVNUsb_SharedNotifier::GetUsbDeviceFSPath()
{
    if (const char* fromEnvironment = std::getenv("USB_DEVFS_PATH")) {
        if (IsDirectoryUsbDeviceFS(fromEnvironment))
            return fromEnvironment;
    }
    for (const char* candidate : {"/dev/bus/usb", "/proc/bus/usb"}) {
        if (IsDirectoryUsbDeviceFS(candidate))
            return candidate;
    }
    return std::string();
}

bool MVNUsb_SharedNotifier::BeginWatchUsbDevices()
{
    m_inotifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotifyFd < 0)
        return false;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(m_path.c_str()), &closedir);
    if (!dir)
        return false;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string bus = entry->d_name;
        const std::string busPath = m_path + "/" + bus;
        const int watch = inotify_add_watch(m_inotifyFd, busPath.c_str(), IN_CREATE | IN_DELETE);
        if (watch >= 0)
            m_watches[watch] = bus;
    }
    return true;
}

void MVNUsb_SharedNotifier::AddNotificationCallback(Callback callback, void* context)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_callbacks.emplace_back(callback, context);
}

void MVNUsb_SharedNotifier::RemoveNotificationCallback(Callback callback, void* context)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const auto entry = std::make_pair(callback, context);
    m_callbacks.erase(std::remove(m_callbacks.begin(), m_callbacks.end(), entry), m_callbacks.end());
}

bool MVNUsb_SharedNotifier::dispatch(bool added, const std::string& bus, const std::string& device)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    // A copy: a callback may install or remove notifications.
    const auto callbacks = m_callbacks;
    for (const auto& [callback, context] : callbacks) {
        if (callback(context, added, bus.c_str(), device.c_str()))
            return true;
    }
    return false;
}

bool MVNUsb_SharedNotifier::OnDeviceAdded(const std::string& bus, const std::string& device)
{
    return dispatch(true, bus, device);
}

bool MVNUsb_SharedNotifier::OnDeviceRemoved(const std::string& bus, const std::string& device)
{
    return dispatch(false, bus, device);
}

bool MVNUsb_SharedNotifier::WaitForAddedDevice(const std::string& bus, const std::string& device,
                                               int milliseconds) const
{
    const std::string node = m_path + "/" + bus + "/" + device;
    for (int waited = 0; waited < milliseconds; waited += kAddedNodePollMs) {
        const int fd = open(node.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            close(fd);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kAddedNodePollMs));
    }
    return false;
}

bool MVNUsb_SharedNotifier::ReadInotifyQueue()
{
    alignas(inotify_event) char buffer[kInotifyReadSize];
    const ssize_t count = read(m_inotifyFd, buffer, sizeof(buffer));
    if (count < 0)
        return errno == EAGAIN || errno == EINTR; // nothing queued is not an error
    size_t offset = 0;
    while (offset + sizeof(inotify_event) <= static_cast<size_t>(count)) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
        const size_t size = sizeof(inotify_event) + event->len;
        if (offset + size > static_cast<size_t>(count))
            break;
        offset += size;
        if (event->len == 0 || event->name[0] == '\0')
            continue;
        const std::string device(event->name, strnlen(event->name, event->len));
        const auto watch = m_watches.find(event->wd);
        const std::string bus = watch == m_watches.end() ? std::string() : watch->second;
        if (event->mask & IN_DELETE) {
            OnDeviceRemoved(bus, device);
        } else if (event->mask & IN_CREATE) {
            // The node may not be usable until its permissions are final.
            if (WaitForAddedDevice(bus, device, kAddedNodeWaitMs))
                OnDeviceAdded(bus, device);
        }
    }
    return true;
}

} // namespace USB
} // namespace MVN
