#include "xmegafirmwareupdater.h"

#include "firmware.h"
#include "ondaviaxmegausbdevice.h"
#include "resource.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

using MVNFirmwarePackage::Resource;

namespace {

// Bytes 2 and 3 of an EEPROM image's header are written only after the
// rest of the image, so an interrupted update leaves them erased.
constexpr size_t kLateHeaderBytes[] = {2, 3};
constexpr uint32_t kVersionHeaderRead = 64;
constexpr uint8_t kHeaderValid = 0x00;
constexpr uint8_t kHeaderErased = 0xFF;

} // namespace

std::unique_ptr<XmegaFirmwareUpdater> XmegaFirmwareUpdater::Create(OndaviaXmegaUSBDevice* device,
                                                                   const FirmwarePart* parts)
{
    std::unique_ptr<XmegaFirmwareUpdater> updater(new (std::nothrow) XmegaFirmwareUpdater);
    if (!updater || !updater->init(device, parts))
        return nullptr;
    return updater;
}

bool XmegaFirmwareUpdater::init(OndaviaXmegaUSBDevice* device, const FirmwarePart* parts)
{
    setDevice(device);
    m_parts = nullptr;
    m_partCount = 0;
    if (!device || !device->getVendorId(&m_vendorId) || !device->getProductId(&m_productId))
        return false;
    m_parts = parts ? parts : DeviceSupport::instance().getFirmwareParts(m_productId);
    if (!m_parts)
        return false;
    m_partCount = DeviceSupport::partCount(m_parts);
    return true;
}

void XmegaFirmwareUpdater::setDevice(OndaviaXmegaUSBDevice* device)
{
    m_device = device;
    m_eeprom.setDevice(device);
}

uint32_t XmegaFirmwareUpdater::packageDeviceId() const
{
    return MVNFirmwarePackage::UsbDeviceId(m_vendorId, m_productId);
}

bool XmegaFirmwareUpdater::isUpdatable(int index) const
{
    return index >= 0 && index < m_partCount && m_parts[index].updatable != 0;
}

std::string XmegaFirmwareUpdater::firmwareDescription(int index) const
{
    if (index < 0 || index >= m_partCount || !m_parts[index].description)
        return "Unknown";
    return m_parts[index].description;
}

void XmegaFirmwareUpdater::progress(double)
{
}

void XmegaFirmwareUpdater::headers(ResourceList& out) const
{
    if (m_store)
        m_store->getResources(out, MVNFirmwarePackage::USB, packageDeviceId(), false);
}

bool XmegaFirmwareUpdater::deviceVersion(int index, uint32_t* version)
{
    if (!version || !m_device || index < 0 || index >= m_partCount)
        return false;
    ResourceList list;
    headers(list);
    const auto it = std::find_if(list.begin(), list.end(),
                                 [&](const FileStore::ResourcePtr& r) { return r->resource_id == index; });
    if (it == list.end())
        return false;
    const Resource& resource = **it;

    switch (m_parts[index].versionSource) {
    case FirmwarePart::ChecksumStatus:
        return m_device->getChecksumStatus(nullptr, version);
    case FirmwarePart::EepromHeader: {
        XmegaEepromAccess::Session session(m_eeprom);
        m_eeprom.setProgressUpdateCallback(&XmegaFirmwareUpdater::progress);
        uint8_t header[kVersionHeaderRead] = {};
        if (!m_eeprom.read(resource.target_id, resource.address_offset, header, sizeof header))
            return false;
        if (header[0] == kHeaderValid) {
            // Bytes 2 and 3 arrive last: still erased means the image was cut short.
            if (header[2] == kHeaderErased && header[3] == kHeaderErased) {
                *version = Firmware::kUnknownVersion;
                return false;
            }
            *version = header[1];
            return true;
        }
        if (header[0] == kHeaderErased) {
            *version = Firmware::kUnknownVersion; // no image in the EEPROM
            return false;
        }
        *version = 1; // an image of the era before version headers
        return true;
    }
    case 1:
        return false;
    default:
        return true;
    }
}

bool XmegaFirmwareUpdater::resourceVersion(int index, uint32_t* version)
{
    if (!version || !m_store)
        return false;
    ResourceList list;
    headers(list);
    for (const FileStore::ResourcePtr& r : list) {
        if (r->resource_id == index) {
            *version = r->version;
            return true;
        }
    }
    return false;
}

uint64_t XmegaFirmwareUpdater::firmwareSize(int index)
{
    ResourceList fromHeaders;
    const ResourceList* list = &m_resources;
    if (m_resources.empty()) {
        headers(fromHeaders);
        list = &fromHeaders;
    }
    uint64_t total = 0;
    for (const FileStore::ResourcePtr& r : *list)
        if (r->resource_id == index)
            total += r->data_length;
    return total;
}

void XmegaFirmwareUpdater::startUpdates()
{
    m_resources.clear();
    if (m_store)
        m_store->getResources(m_resources, MVNFirmwarePackage::USB, packageDeviceId(), true);
}

void XmegaFirmwareUpdater::endUpdates()
{
    m_resources.clear();
}

void XmegaFirmwareUpdater::cancel()
{
    m_eeprom.cancel();
}

bool XmegaFirmwareUpdater::update(int index, const FractionCallback& fraction)
{
    if (index < 0 || index >= m_partCount)
        return false;
    bool found = false;
    for (const FileStore::ResourcePtr& r : m_resources) {
        if (r->resource_id != index)
            continue;
        found = true;
        if (!updatePart(m_parts[index], *r, fraction))
            return false;
    }
    return found;
}

bool XmegaFirmwareUpdater::updatePart(const FirmwarePart& part, Resource& resource,
                                      const FractionCallback& fraction)
{
    if (!m_device)
        return false;
    XmegaEepromAccess::Session session(m_eeprom);
    switch (part.storage) {
    case FirmwarePart::Eeprom:
        return writeEepromPart(part, resource, fraction);
    case FirmwarePart::ApplicationFlash:
        return writeFlashPart(resource);
    default:
        return false;
    }
}

namespace {

// The image bytes of a resource, never more than the reader stored.
bool imageOf(Resource& resource, const uint8_t** data, uint32_t* length)
{
    *data = resource.getResourceData();
    *length = resource.getResourceDataLength();
    if (!resource.compressed)
        *length = std::min(*length, resource.stored_length);
    return *data && *length;
}

} // namespace

bool XmegaFirmwareUpdater::writeEepromPart(const FirmwarePart& part, Resource& resource,
                                           const FractionCallback& fraction)
{
    const uint8_t* data = nullptr;
    uint32_t length = 0;
    const uint32_t pageSize = m_eeprom.pageSize(resource.target_id);
    if (!imageOf(resource, &data, &length) || pageSize == 0 || pageSize > XmegaUSBDevice::kMaxChunk)
        return false;
    std::vector<uint8_t> header;
    std::vector<uint8_t> image;
    try {
        header.resize(size_t(pageSize) * 2);
        image.assign(data, data + length);
    } catch (const std::bad_alloc&) {
        return false;
    }

    size_t saved = 0;
    if (part.versionSource == FirmwarePart::EepromHeader) {
        if (length < 4)
            return false;
        saved = std::min<size_t>(length, header.size());
        std::memcpy(header.data(), image.data(), saved);
        for (size_t at : kLateHeaderBytes)
            image[at] = 0xFF;
    }

    m_eeprom.setProgressUpdateCallback(fraction);
    if (!m_eeprom.write(resource.target_id, resource.address_offset, image.data(), length, true))
        return false;
    if (saved) {
        // Now that the whole image is in place, complete its header.
        m_eeprom.setProgressUpdateCallback(&XmegaFirmwareUpdater::progress);
        if (!m_eeprom.write(resource.target_id, resource.address_offset, header.data(), uint32_t(saved), false))
            return false;
    }
    return true;
}

bool XmegaFirmwareUpdater::writeFlashPart(Resource& resource)
{
    const uint8_t* data = nullptr;
    uint32_t length = 0;
    if (!imageOf(resource, &data, &length))
        return false;
    bool inBootloader = false;
    if (!m_device->isInBootloader(&inBootloader))
        return false;
    // The reboot hands the updater the re-enumerated device (setDevice).
    if (!inBootloader && !m_device->rebootBlocking(true))
        return false;
    if (!m_device->programAppBinary(length, data))
        return false;
    if (!m_device->rebootBlocking(false))
        return false;
    return m_device->isInBootloader(&inBootloader) && !inBootloader;
}
