#include "usbdevfstestbed.h"

#include "usbdevfsdevice.h"

#include <umockdev.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

namespace xmegasim {

namespace {

void makeDirectories(const std::string& path)
{
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0755);
        if (slash == std::string::npos)
            break;
    }
}

std::string hex(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char digits[3];
    for (uint8_t byte : bytes) {
        std::snprintf(digits, sizeof(digits), "%02x", byte);
        text += digits;
    }
    return text;
}

std::string format(const char* pattern, unsigned a, unsigned b = 0, unsigned c = 0)
{
    char text[256];
    std::snprintf(text, sizeof(text), pattern, a, b, c);
    return text;
}

} // namespace

// Keeps the unit's presence listener from reaching a test bed that is gone.
struct PresenceLink
{
    std::mutex mutex;
    UsbDevfsTestBed* bed = nullptr;
};

struct UsbDevfsTestBed::Slot
{
    UsbUnit* unit = nullptr;
    unsigned speedMbits = 480;
    unsigned port = 1;
    uint8_t address = 0; // 0 while off the bus
    std::string node;    // e.g. /dev/bus/usb/001/005
    std::string sysPath; // e.g. /sys/devices/ondavia-hcd/usb1/1-1
    std::shared_ptr<PresenceLink> link;
};

bool UsbDevfsTestBed::preloadActive()
{
    // Asking for it is not enough: a preload the loader could not find is
    // only warned about, and the process runs without it.
    const char* preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "libumockdev-preload"))
        return false;
    void* loaded = dlopen("libumockdev-preload.so.0", RTLD_LAZY | RTLD_NOLOAD);
    if (!loaded)
        return false;
    dlclose(loaded);
    return true;
}

UsbDevfsTestBed::UsbDevfsTestBed(uint8_t busNumber)
    : m_bus(busNumber)
{
    if (!preloadActive())
        throw std::runtime_error("the emulated USB bus needs libumockdev-preload; run under umockdev-wrapper");
    m_testbed = umockdev_testbed_new();
    gchar* root = umockdev_testbed_get_root_dir(m_testbed);
    m_root = root;
    g_free(root);
    m_devfs = m_root + "/dev/bus/usb";
    // libusb and the hot-plug watcher both need the bus directory before the
    // first device arrives, and libusb wants the sysfs bus to exist.
    makeDirectories(m_devfs + format("/%03u", m_bus));
    gchar* sys = umockdev_testbed_get_sys_dir(m_testbed);
    makeDirectories(std::string(sys) + "/bus/usb/devices");
    g_free(sys);
    setenv("USB_DEVFS_PATH", m_devfs.c_str(), 1);
    m_setDevfsVariable = true;
}

UsbDevfsTestBed::~UsbDevfsTestBed()
{
    std::vector<int> ids;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        for (const auto& slot : m_slots)
            ids.push_back(slot.first);
    }
    for (int id : ids)
        removeUnit(id);
    // Stop the test bed's ioctl thread from reaching the devices before they go.
    for (const auto& device : m_devices)
        umockdev_testbed_detach_ioctl(m_testbed, device.first.c_str(), nullptr);
    m_devices.clear();
    g_object_unref(m_testbed);
    if (m_setDevfsVariable)
        unsetenv("USB_DEVFS_PATH");
}

uint8_t UsbDevfsTestBed::nextAddressLocked()
{
    // Addresses go up with every arrival, as the host assigns them.
    for (int tries = 0; tries < 126; ++tries) {
        m_lastAddress = m_lastAddress >= 127 ? 2 : static_cast<uint8_t>(m_lastAddress + 1);
        bool used = false;
        for (const auto& slot : m_slots)
            used = used || slot.second->address == m_lastAddress;
        if (!used)
            return m_lastAddress;
    }
    throw std::runtime_error("no free USB address on the emulated bus");
}

int UsbDevfsTestBed::addUnit(UsbUnit& unit, unsigned speedMbits)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const int id = m_nextId++;
    auto slot = std::make_unique<Slot>();
    slot->unit = &unit;
    slot->speedMbits = speedMbits;
    slot->port = static_cast<unsigned>(id);
    slot->sysPath = format("/sys/devices/ondavia-hcd/usb%u/%u-%u", m_bus, m_bus, slot->port);
    slot->link = std::make_shared<PresenceLink>();
    slot->link->bed = this;
    std::weak_ptr<PresenceLink> weak = slot->link;
    Slot& ref = *slot;
    m_slots[id] = std::move(slot);
    unit.setPresenceListener([weak, id](bool present) {
        if (auto link = weak.lock()) {
            std::lock_guard<std::mutex> guard(link->mutex);
            if (link->bed)
                link->bed->onPresence(id, present);
        }
    });
    if (unit.present())
        plugLocked(ref);
    return id;
}

void UsbDevfsTestBed::removeUnit(int id)
{
    std::shared_ptr<PresenceLink> link;
    UsbUnit* unit = nullptr;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const auto it = m_slots.find(id);
        if (it == m_slots.end())
            return;
        link = it->second->link;
        unit = it->second->unit;
    }
    {
        // Waits for a presence report in progress.
        std::lock_guard<std::mutex> guard(link->mutex);
        link->bed = nullptr;
    }
    unit->setPresenceListener(nullptr);
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const auto it = m_slots.find(id);
    if (it == m_slots.end())
        return;
    unplugLocked(*it->second);
    m_slots.erase(it);
}

uint8_t UsbDevfsTestBed::deviceAddress(int id) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const auto it = m_slots.find(id);
    return it == m_slots.end() ? 0 : it->second->address;
}

std::string UsbDevfsTestBed::nodePath(int id) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const auto it = m_slots.find(id);
    if (it == m_slots.end() || it->second->address == 0)
        return std::string();
    return m_root + it->second->node;
}

void UsbDevfsTestBed::setAnnounceDelayMs(int milliseconds)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_announceDelayMs = milliseconds > 0 ? milliseconds : 0;
}

void UsbDevfsTestBed::onPresence(int id, bool present)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const auto it = m_slots.find(id);
    if (it == m_slots.end())
        return;
    if (present)
        plugLocked(*it->second);
    else
        unplugLocked(*it->second);
}

void UsbDevfsTestBed::plugLocked(Slot& slot)
{
    if (slot.address != 0)
        return;
    const std::vector<uint8_t> device = slot.unit->deviceDescriptor();
    const std::vector<uint8_t> config = slot.unit->configurationDescriptor();
    if (device.size() < 18 || config.size() < 9) {
        std::fprintf(stderr, "UsbDevfsTestBed: unit gave short descriptors, not plugged in\n");
        return;
    }
    const uint8_t address = nextAddressLocked();
    const std::string node = format("/dev/bus/usb/%03u/%03u", m_bus, address);

    // A node last used by an earlier appearance is handed over.
    if (m_devices.count(node)) {
        umockdev_testbed_detach_ioctl(m_testbed, node.c_str(), nullptr);
        m_devices.erase(node);
    }
    auto emulated = std::make_unique<UsbDevfsDevice>(*slot.unit, m_bus, address, slot.speedMbits);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(m_testbed, node.c_str(), emulated->handler(), &error)) {
        std::fprintf(stderr, "UsbDevfsTestBed: cannot attach %s: %s\n", node.c_str(),
                     error ? error->message : "unknown error");
        g_clear_error(&error);
        return;
    }

    const unsigned vendor = device[8] | (device[9] << 8);
    const unsigned product = device[10] | (device[11] << 8);
    const unsigned bcd = device[12] | (device[13] << 8);
    std::vector<uint8_t> descriptors = device;
    descriptors.resize(18);
    descriptors.insert(descriptors.end(), config.begin(), config.end());

    std::string text;
    text += "P: " + slot.sysPath.substr(4) + "\n";
    text += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n";
    text += format("E: BUSNUM=%03u\nE: DEVNUM=%03u\n", m_bus, address);
    text += "E: DEVNAME=" + node + "\n";
    text += format("E: PRODUCT=%x/%x/%x\n", vendor, product, bcd);
    text += format("E: MAJOR=189\nE: MINOR=%u\n", (m_bus - 1u) * 128u + address - 1u);
    text += format("A: busnum=%u\\n\nA: devnum=%u\\n\n", m_bus, address);
    text += format("A: speed=%u\\n\n", slot.speedMbits);
    text += format("A: bConfigurationValue=%u\\n\n", config[5]);
    text += format("A: bNumConfigurations=%u\\n\n", device[17]);
    text += format("A: idVendor=%04x\\n\nA: idProduct=%04x\\n\nA: bcdDevice=%04x\\n\n", vendor, product, bcd);
    text += "H: descriptors=" + hex(descriptors) + "\n";
    const std::string file = m_root + node;
    auto createNode = [&file] {
        const int fd = open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0)
            close(fd);
    };
    if (m_announceDelayMs > 0) {
        createNode();
        std::this_thread::sleep_for(std::chrono::milliseconds(m_announceDelayMs));
    }
    if (!umockdev_testbed_add_from_string(m_testbed, text.c_str(), &error)) {
        std::fprintf(stderr, "UsbDevfsTestBed: cannot add %s: %s\n", node.c_str(),
                     error ? error->message : "unknown error");
        g_clear_error(&error);
        unlink(file.c_str());
        umockdev_testbed_detach_ioctl(m_testbed, node.c_str(), nullptr);
        return;
    }
    // Normally the node comes last, once udev would have announced the
    // device: whoever reacts to the node (the inotify hot-plug) then finds
    // the device in libusb's list.
    if (m_announceDelayMs == 0)
        createNode();
    slot.address = address;
    slot.node = node;
    m_devices[node] = std::move(emulated);
}

void UsbDevfsTestBed::unplugLocked(Slot& slot)
{
    if (slot.address == 0)
        return;
    const auto device = m_devices.find(slot.node);
    if (device != m_devices.end())
        device->second->markGone();
    umockdev_testbed_uevent(m_testbed, slot.sysPath.c_str(), "remove");
    umockdev_testbed_remove_device(m_testbed, slot.sysPath.c_str());
    unlink((m_root + slot.node).c_str()); // in case the node outlived the entry
    slot.address = 0;
    slot.node.clear();
}

} // namespace xmegasim
