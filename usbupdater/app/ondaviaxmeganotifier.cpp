#include "ondaviaxmeganotifier.h"

#include "devicemanager.h"
#include "devicesupport.h"
#include "ondaviaxmegadevice.h"

#include <QLoggingCategory>

// Arrivals and removals of units, off unless asked for
// (QT_LOGGING_RULES="ondavia.usb.notifier.debug=true").
Q_LOGGING_CATEGORY(lcNotifier, "ondavia.usb.notifier", QtInfoMsg)

OndaviaXmegaNotifier::OndaviaXmegaNotifier()
    : m_delegate(std::make_unique<Delegate>(*this))
    , m_usbNotifier(std::make_unique<OndaviaXmegaUSBNotifier>())
{
    const DeviceDesc known[] = {
        {DeviceSupport::kProductId, DeviceSupport::instance().getFirmwareParts(DeviceSupport::kProductId)},
    };
    for (const DeviceDesc& desc : known)
        m_parts[desc.productId] = desc.parts;
    DeviceSupport::instance().registerNotifier(this);
}

OndaviaXmegaNotifier::~OndaviaXmegaNotifier()
{
    std::list<Notifier*> registered;
    DeviceSupport::instance().getNotifiers(registered);
    if (!registered.empty() && registered.front() == this)
        DeviceSupport::instance().registerNotifier(nullptr);
    stop();
}

void OndaviaXmegaNotifier::init(ArrivalCallback callback, unsigned* /*reserved*/)
{
    m_callback = std::move(callback);
}

void OndaviaXmegaNotifier::listen()
{
    m_usbNotifier->startWithDelegate(m_delegate.get(), false);
}

void OndaviaXmegaNotifier::stop()
{
    m_usbNotifier->stopNotification();
}

void OndaviaXmegaNotifier::notify(const std::shared_ptr<Device>& device, DeviceNotificationType type) const
{
    if (m_callback)
        m_callback(device, type);
}

void OndaviaXmegaNotifier::Delegate::onDeviceAdded(OndaviaXmegaUSBDevice* device)
{
    uint16_t product = 0;
    if (!device || !device->getProductId(&product))
        return;
    const auto parts = m_owner.m_parts.find(product);
    if (parts == m_owner.m_parts.end())
        return;
    XmegaUSBDevice::UUID uuid;
    if (!device->getDeviceUUID(&uuid))
        return;
    const std::string uniqueId = OndaviaXmegaDevice::FormatUUID(uuid);
    DeviceManager& manager = DeviceManager::instance();
    if (std::shared_ptr<Device> known = manager.getDevice(uniqueId)) {
        // Back from a reboot: the update waiting for it goes on.
        if (known->takeRebootedDevice(device)) {
            qCDebug(lcNotifier, "unit %s back from its reboot", uniqueId.c_str());
            return;
        }
        // No update waits for it any more (its reboot failed or came too
        // late): what is known of the unit is stale, and it arrives anew.
        manager.forgetDevice(uniqueId);
    }
    std::unique_ptr<Device> created = OndaviaXmegaDevice::Create(m_owner.m_fileStore, device, parts->second);
    if (!created || !manager.addDevice(created)) {
        qCDebug(lcNotifier, "unit %s not taken on", uniqueId.c_str());
        return;
    }
    qCDebug(lcNotifier, "unit %s arrived, %zu known", uniqueId.c_str(), manager.count());
    if (std::shared_ptr<Device> managed = manager.getDevice(uniqueId))
        m_owner.notify(managed, DeviceAdded);
}

void OndaviaXmegaNotifier::Delegate::onDeviceRemoved(OndaviaXmegaUSBDevice* device)
{
    DeviceManager& manager = DeviceManager::instance();
    if (std::shared_ptr<Device> known = manager.getDevice(device)) {
        m_owner.notify(known, DeviceRemoved);
        manager.removeDevice(device); // a rebooting unit keeps its Device
        qCDebug(lcNotifier, "unit %s left, %zu known", known->uniqueID().c_str(), manager.count());
    }
}
