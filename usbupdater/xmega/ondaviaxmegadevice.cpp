#include "ondaviaxmegadevice.h"

#include "ondaviaxmegausbdevice.h"
#include "taskqueue.h"
#include "xmegafirmwareupdater.h"

#include <chrono>
#include <cstdio>
#include <new>
#include <thread>

OndaviaXmegaDevice::OndaviaXmegaDevice(FileStore* store)
    : Device(store)
{
}

OndaviaXmegaDevice::~OndaviaXmegaDevice()
{
    m_updater.reset(); // ends an EEPROM session while the device is still held
    if (m_device)
        m_device->release();
}

std::unique_ptr<OndaviaXmegaDevice> OndaviaXmegaDevice::Create(FileStore* store, OndaviaXmegaUSBDevice* usbDevice,
                                                               const FirmwarePart* parts)
{
    std::unique_ptr<OndaviaXmegaDevice> device(new (std::nothrow) OndaviaXmegaDevice(store));
    if (!device || !device->init(usbDevice, parts))
        return nullptr;
    return device;
}

std::string OndaviaXmegaDevice::FormatUUID(const XmegaUSBDevice::UUID& uuid)
{
    const uint8_t* b = uuid.bytes;
    char text[40];
    std::snprintf(text, sizeof text, "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

bool OndaviaXmegaDevice::init(OndaviaXmegaUSBDevice* usbDevice, const FirmwarePart* parts)
{
    if (!usbDevice)
        return false;
    usbDevice->addRef();
    m_device = usbDevice;
    m_device->getProductId(&m_productId);
    m_modelName = m_device->modelName();
    m_rebooting = false;

    m_updater = XmegaFirmwareUpdater::Create(m_device, parts);
    if (!m_updater)
        return false;
    m_updater->setFileStore(m_fileStore);

    XmegaUSBDevice::UUID uuid;
    if (!m_device->getDeviceUUID(&uuid))
        return false;
    m_uniqueId = FormatUUID(uuid);

    for (int i = 0; i < m_updater->firmwareCount(); ++i) {
        if (!m_updater->isUpdatable(i))
            continue;
        Firmware f;
        f.index = i;
        f.description = m_updater->firmwareDescription(i);
        // A unit busy after arriving gets a few chances; an EEPROM without an
        // image keeps failing and so stays at the unknown version.
        f.deviceVersion = Firmware::kUnknownVersion;
        for (int read = 0; read < kVersionReads; ++read) {
            if (m_updater->deviceVersion(i, &f.deviceVersion))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(kVersionRetryMs));
        }
        if (!m_updater->resourceVersion(i, &f.packageVersion))
            return false; // nothing to update this part with
        m_firmware.push_back(std::move(f));
    }
    return true;
}

OndaviaXmegaUSBDevice* OndaviaXmegaDevice::currentDevice() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_device;
}

XmegaUSBDevice* OndaviaXmegaDevice::device() const
{
    return currentDevice();
}

OndaviaXmegaUSBDevice* OndaviaXmegaDevice::swapDeviceLocked(OndaviaXmegaUSBDevice* next)
{
    next->addRef();
    OndaviaXmegaUSBDevice* old = m_device;
    m_device = next;
    m_updater->setDevice(next);
    return old;
}

void OndaviaXmegaDevice::setDevice(XmegaUSBDevice* device)
{
    auto* next = dynamic_cast<OndaviaXmegaUSBDevice*>(device);
    if (!next)
        return;
    OndaviaXmegaUSBDevice* old = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        old = swapDeviceLocked(next);
    }
    if (old)
        old->release();
}

bool OndaviaXmegaDevice::takeRebootedDevice(XmegaUSBDevice* device)
{
    auto* next = dynamic_cast<OndaviaXmegaUSBDevice*>(device);
    if (!next)
        return false;
    OndaviaXmegaUSBDevice* old = nullptr;
    {
        // Under the mutex that rebootBlocking gives up under: either the
        // waiter gets this device or the arrival is a new one, never neither.
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_rebooting)
            return false;
        old = swapDeviceLocked(next);
        m_rebooting = false;
        m_rebooted.notify_all();
    }
    if (old)
        old->release();
    return true;
}

bool OndaviaXmegaDevice::isRebooting()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_rebooting;
}

void OndaviaXmegaDevice::completeReboot()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rebooting = false;
    m_rebooted.notify_all();
}

bool OndaviaXmegaDevice::rebootBlocking(bool toBootloader)
{
    OndaviaXmegaUSBDevice* device = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_rebooting)
            return false; // one reboot at a time
        m_rebooting = true;
        device = m_device;
        device->addRef();
    }
    const bool sent = toBootloader ? device->rebootToBootloader() : device->reboot();
    device->release();
    if (!sent) {
        // The update fails here. Left set, the flag would keep this Device
        // through the unit's removal and swallow its next arrival as the end
        // of a reboot nobody waits for: re-plugged, the unit would never be
        // offered again.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_rebooting = false;
        return false;
    }

    OndaviaXmegaUSBDevice* current = nullptr;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_rebooted.wait_for(lock, std::chrono::milliseconds(kRebootTimeoutMs), [this] { return !m_rebooting; })) {
            m_rebooting = false; // as above: a late arrival is a new one
            return false;
        }
        current = m_device;
        current->addRef();
    }
    bool inBootloader = !toBootloader;
    const bool ok = current->isInBootloader(&inBootloader) && inBootloader == toBootloader;
    current->release();
    return ok;
}

bool OndaviaXmegaDevice::queueUpdates(TaskQueue& queue, bool force)
{
    std::vector<Firmware> parts;
    for (Firmware& f : m_firmware)
        if (force || f.needsUpdate())
            parts.push_back(std::move(f));
    m_firmware.clear();
    if (parts.empty())
        return true;
    std::shared_ptr<UpdateTask> task;
    try {
        task = std::make_shared<UpdateTask>(this, std::move(parts));
    } catch (const std::bad_alloc&) {
        return false;
    }
    queue.add(task);
    return true;
}

// ---- UpdateTask ----------------------------------------------------------

OndaviaXmegaDevice::UpdateTask::UpdateTask(OndaviaXmegaDevice* device, std::vector<Firmware> parts)
    : m_device(device)
    , m_parts(std::move(parts))
{
    m_name = m_device->name() + " (" + m_device->uniqueID() + ")";
}

void OndaviaXmegaDevice::UpdateTask::report(Result result, double fraction) const
{
    if (m_callback)
        m_callback(result, fraction);
}

void OndaviaXmegaDevice::UpdateTask::cancel()
{
    m_device->updater()->cancel();
}

void OndaviaXmegaDevice::UpdateTask::run()
{
    XmegaFirmwareUpdater* updater = m_device->updater();
    updater->startUpdates();

    std::vector<uint64_t> sizes;
    uint64_t total = 0;
    for (const Firmware& f : m_parts) {
        sizes.push_back(updater->firmwareSize(f.index));
        total += sizes.back();
    }

    bool ok = !m_parts.empty();
    uint64_t done = 0;
    for (size_t i = 0; ok && i < m_parts.size(); ++i) {
        const uint64_t size = sizes[i];
        const uint64_t before = done;
        auto fraction = [this, size, before, total](double f) {
            if (total)
                report(NotFinished, (double(size) * f + double(before)) / double(total));
        };
        ok = updater->update(m_parts[i].index, fraction);
        done += size;
    }
    updater->endUpdates();
    m_result = ok ? Succeeded : Failed;
    report(m_result, 1.0);
}
