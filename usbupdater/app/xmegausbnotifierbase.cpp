#include "xmegausbnotifierbase.h"

#include "mvnusb.h"

#include <algorithm>

using MVN::USB::IUSBDevice;

XmegaUSBNotifierBase::~XmegaUSBNotifierBase()
{
    stopNotification();
}

void XmegaUSBNotifierBase::detectUnprogrammedDevice()
{
    const XmegaDeviceSpec& unprogrammed = DeviceSupport::instance().unprogrammedSpec();
    for (const XmegaDeviceSpec& s : m_specs)
        if (s.vendorId == unprogrammed.vendorId && s.productId == unprogrammed.productId)
            return;
    m_specs.push_back(unprogrammed);
}

bool XmegaUSBNotifierBase::startNotification()
{
    if (m_notification)
        return true;
    std::vector<uint32_t> vendors;
    std::vector<uint32_t> products;
    for (const XmegaDeviceSpec& unprogrammed : m_specs) {
        if (std::find(vendors.begin(), vendors.end(), unprogrammed.vendorId) == vendors.end())
            vendors.push_back(unprogrammed.vendorId);
        if (std::find(products.begin(), products.end(), unprogrammed.productId) == products.end())
            products.push_back(unprogrammed.productId);
    }
    if (vendors.empty())
        return false; // an empty list would match every device
    MVN::USB::MVNUsb_DeviceMatch match;
    match.vendorIds = vendors.data();
    match.vendorCount = uint32_t(vendors.size());
    match.productIds = products.data();
    match.productCount = uint32_t(products.size());
    m_notification = MVN::USB::MVNUsb_InstallDeviceNotification(&deviceAddedNotificationCb, this,
                                                                &deviceRemovedNotificationCb, this, &match);
    return m_notification != nullptr;
}

void XmegaUSBNotifierBase::stopNotification()
{
    if (m_notification) {
        MVN::USB::MVNUsb_UninstallDeviceNotification(m_notification);
        m_notification = nullptr;
    }
    std::map<IUSBDevice*, XmegaUSBDevice*> devices;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        devices.swap(m_devices);
    }
    for (auto& entry : devices)
        entry.second->release();
}

XmegaUSBDevice* XmegaUSBNotifierBase::createDevice(uint16_t vendorId, uint16_t productId, IUSBDevice* device)
{
    for (const XmegaDeviceSpec& unprogrammed : m_specs)
        if (unprogrammed.vendorId == vendorId && unprogrammed.productId == productId)
            return unprogrammed.factory ? unprogrammed.factory(device) : nullptr;
    return nullptr;
}

void XmegaUSBNotifierBase::deviceAddedNotification(IUSBDevice* device)
{
    uint16_t vendor = 0;
    uint16_t product = 0;
    if (!device || device->GetDeviceVendor(&vendor) != MVN::USB::kMVNUsbSuccess
        || device->GetDeviceProduct(&product) != MVN::USB::kMVNUsbSuccess)
        return;
    XmegaUSBDevice* object = createDevice(vendor, product, device);
    if (!object)
        return;
    if (m_checkBooted && !checkBooted(object)) {
        object->release();
        return;
    }
    XmegaUSBDevice* replaced = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        XmegaUSBDevice*& slot = m_devices[device];
        replaced = slot;
        slot = object;
    }
    if (replaced)
        replaced->release();
    onDeviceAdded(object);
}

void XmegaUSBNotifierBase::deviceRemovedNotification(IUSBDevice* device)
{
    XmegaUSBDevice* object = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_devices.find(device);
        if (it == m_devices.end())
            return;
        object = it->second;
        m_devices.erase(it);
    }
    onDeviceRemoved(object);
    object->release();
}

void XmegaUSBNotifierBase::deviceAddedNotificationCb(IUSBDevice* device, void* context)
{
    static_cast<XmegaUSBNotifierBase*>(context)->deviceAddedNotification(device);
}

void XmegaUSBNotifierBase::deviceRemovedNotificationCb(IUSBDevice* device, void* context)
{
    static_cast<XmegaUSBNotifierBase*>(context)->deviceRemovedNotification(device);
}

bool XmegaUSBNotifierBase::checkBooted(XmegaUSBDevice* device)
{
    bool inBootloader = false;
    if (!device || !device->isInBootloader(&inBootloader))
        return false;
    if (!inBootloader)
        return true;
    XmegaUSBDevice::UUID uuid;
    if (!device->getDeviceUUID(&uuid))
        return false;
    bool sendReboot = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = std::find(m_rebootedUUIDs.begin(), m_rebootedUUIDs.end(), uuid);
        if (it == m_rebootedUUIDs.end()) {
            m_rebootedUUIDs.push_back(uuid);
            sendReboot = true;
        } else {
            m_rebootedUUIDs.erase(it);
        }
    }
    if (sendReboot)
        device->reboot();
    return false;
}

size_t XmegaUSBNotifierBase::deviceCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_devices.size();
}
