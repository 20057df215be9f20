#include "mvnusbnotification.h"

#include "cusbdevice.h"
#include "libusbcontext.h"
#include "libusbholders.h"
#include "mvnusbsharednotifier.h"

#include <libusb.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>
#include <vector>

namespace MVN {
namespace USB {

// One installed notification. Its map is only touched with the shared
// notifier's delivery lock held.
struct _MVNUsb_Notifier
{
    MVNUsb_DeviceAddedCallback added = nullptr;
    void* addedContext = nullptr;
    MVNUsb_DeviceRemovedCallback removed = nullptr;
    void* removedContext = nullptr;
    std::vector<uint32_t> vendorIds;
    std::vector<uint32_t> productIds;
    MVNUsb_SharedNotifier* shared = nullptr;
    std::map<uint16_t, CUSBDevice*> devices; // location key -> device reported there
};

namespace {

constexpr int kListRetries = 10;
constexpr int kListRetryMs = 20;

bool listed(const std::vector<uint32_t>& ids, uint32_t id)
{
    return ids.empty() || std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool passes(const _MVNUsb_Notifier& record, libusb_device* device)
{
    if (record.vendorIds.empty() && record.productIds.empty())
        return true;
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS)
        return false;
    return listed(record.vendorIds, descriptor.idVendor) && listed(record.productIds, descriptor.idProduct);
}

uint16_t locationKey(libusb_device* device)
{
    return static_cast<uint16_t>(libusb_get_bus_number(device) << 8 | libusb_get_device_address(device));
}

// Reports a device found at a location not yet in the map.
void report(_MVNUsb_Notifier& record, libusb_device* device)
{
    auto* usbDevice = new CUSBDevice(device);
    record.devices[usbDevice->locationKey()] = usbDevice;
    if (record.added)
        record.added(usbDevice, record.addedContext);
}

// A bus or device directory name as a number in 0..255.
bool parseLocationPart(const char* text, uint8_t* value)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long number = std::strtoul(text, &end, 10);
    if (errno != 0 || *end != '\0' || number > 255 || text[0] == '-' || text[0] == '+')
        return false;
    *value = static_cast<uint8_t>(number);
    return true;
}

bool nodeCallback(void* context, bool added, const char* bus, const char* device)
{
    auto& record = *static_cast<_MVNUsb_Notifier*>(context);
    uint8_t busNumber = 0;
    uint8_t address = 0;
    if (!parseLocationPart(bus, &busNumber) || !parseLocationPart(device, &address))
        return false;
    const uint16_t key = static_cast<uint16_t>(busNumber << 8 | address);

    if (!added) {
        const auto entry = record.devices.find(key);
        if (entry == record.devices.end())
            return false;
        CUSBDevice* gone = entry->second;
        record.devices.erase(entry);
        if (record.removed)
            record.removed(gone, record.removedContext);
        gone->Release();
        return true;
    }

    if (record.devices.count(key))
        return true;
    // The node can be usable before libusb has heard of the device (the
    // kernel creates it before udev announces the device), so a location
    // libusb does not list yet is looked for again for a short while.
    for (int attempt = 0; attempt < kListRetries; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(kListRetryMs));
        const DeviceList list(SharedLibUsbContext());
        if (list.count() < 0)
            return false;
        for (ssize_t i = 0; i < list.count(); ++i) {
            libusb_device* candidate = list[i];
            if (libusb_get_bus_number(candidate) != busNumber || libusb_get_device_address(candidate) != address)
                continue;
            if (!passes(record, candidate))
                return false;
            report(record, candidate);
            return true;
        }
    }
    return false;
}

} // namespace

_MVNUsb_Notifier* MVNUsb_InstallDeviceNotification(MVNUsb_DeviceAddedCallback added, void* addedContext,
                                                   MVNUsb_DeviceRemovedCallback removed, void* removedContext,
                                                   const MVNUsb_DeviceMatch* match)
{
    // First, as it throws when there is no device file system to watch;
    // nothing of ours may be held then.
    MVNUsb_SharedNotifier& shared = MVNUsb_SharedNotifier::GetInstance();
    auto* record = new (std::nothrow) _MVNUsb_Notifier;
    if (!record)
        return nullptr;
    try {
        record->added = added;
        record->addedContext = addedContext;
        record->removed = removed;
        record->removedContext = removedContext;
        if (match) {
            if (match->vendorIds && match->vendorCount)
                record->vendorIds.assign(match->vendorIds, match->vendorIds + match->vendorCount);
            if (match->productIds && match->productCount)
                record->productIds.assign(match->productIds, match->productIds + match->productCount);
        }
    } catch (const std::bad_alloc&) {
        delete record;
        return nullptr;
    }

    record->shared = &shared;
    // Events wait until the present devices have been reported.
    std::lock_guard<std::recursive_mutex> lock(shared.deliveryMutex());
    shared.AddNotificationCallback(nodeCallback, record);

    const DeviceList list(SharedLibUsbContext());
    for (ssize_t i = 0; i < list.count(); ++i) {
        if (passes(*record, list[i]) && !record->devices.count(locationKey(list[i])))
            report(*record, list[i]);
    }
    return record;
}

void MVNUsb_UninstallDeviceNotification(_MVNUsb_Notifier* notifier)
{
    if (!notifier)
        return;
    {
        std::lock_guard<std::recursive_mutex> lock(notifier->shared->deliveryMutex());
        notifier->shared->RemoveNotificationCallback(nodeCallback, notifier);
    }
    // Every user that keeps a device holds its own reference, so the
    // record's references can go with it instead of leaking.
    for (auto& entry : notifier->devices)
        entry.second->Release();
    delete notifier;
}

namespace {

std::mutex s_pollMutex;
MVNUsb_PollFdCallback s_pollCallback = nullptr;
void* s_pollContext = nullptr;

void LIBUSB_CALL pollFdAdded(int fd, short events, void*)
{
    std::lock_guard<std::mutex> lock(s_pollMutex);
    if (s_pollCallback)
        s_pollCallback(true, fd, events, s_pollContext);
}

void LIBUSB_CALL pollFdRemoved(int fd, void*)
{
    std::lock_guard<std::mutex> lock(s_pollMutex);
    if (s_pollCallback)
        s_pollCallback(false, fd, 0, s_pollContext);
}

} // namespace

void MVNUsb_RegisterPollFdCallback(MVNUsb_PollFdCallback callback, void* context)
{
    libusb_context* usb = SharedLibUsbContext();
    if (!callback) {
        libusb_set_pollfd_notifiers(usb, nullptr, nullptr, nullptr);
        std::lock_guard<std::mutex> lock(s_pollMutex);
        s_pollCallback = nullptr;
        s_pollContext = nullptr;
        return;
    }
    MVNUsb_SharedNotifier& shared = MVNUsb_SharedNotifier::GetInstance();
    std::lock_guard<std::mutex> lock(s_pollMutex);
    s_pollCallback = callback;
    s_pollContext = context;
    callback(true, shared.inotifyFd(), POLLIN, context);
    if (const PollFdsPtr fds{libusb_get_pollfds(usb)}) {
        for (const libusb_pollfd** fd = fds.get(); *fd; ++fd)
            callback(true, (*fd)->fd, (*fd)->events, context);
    }
    libusb_set_pollfd_notifiers(usb, pollFdAdded, pollFdRemoved, nullptr);
}

bool MVNUsb_HandleFdRead(int fd)
{
    MVNUsb_SharedNotifier& shared = MVNUsb_SharedNotifier::GetInstance();
    if (fd == shared.inotifyFd())
        return shared.ReadInotifyQueue();
    // Never block here: another thread's synchronous transfer may already
    // have handled what made the descriptor readable.
    timeval zero{0, 0};
    libusb_handle_events_timeout_completed(SharedLibUsbContext(), &zero, nullptr);
    return true;
}

} // namespace USB
} // namespace MVN
