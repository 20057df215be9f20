#pragma once

#include "devicesupport.h"
#include "filestore.h"
#include "xmegaeepromaccess.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class OndaviaXmegaUSBDevice;

// Reads the versions of a unit's firmware parts from the unit and from the
// packages, and writes a part: into the application flash through the
// bootloader, or into an EEPROM with its version header written last.
// Used from one thread at a time.
class XmegaFirmwareUpdater
{
public:
    using FractionCallback = std::function<void(double)>;

    // Null when the device has no readable ids or no part table. parts
    // overrides the table DeviceSupport has for the product.
    static std::unique_ptr<XmegaFirmwareUpdater> Create(OndaviaXmegaUSBDevice* device,
                                                        const FirmwarePart* parts = nullptr);
    bool init(OndaviaXmegaUSBDevice* device, const FirmwarePart* parts = nullptr);

    void setFileStore(const FileStore* store) { m_store = store; }
    // The device is borrowed; the EEPROM access follows it.
    void setDevice(OndaviaXmegaUSBDevice* device);
    OndaviaXmegaUSBDevice* device() const { return m_device; }

    int firmwareCount() const { return m_partCount; }
    bool isUpdatable(int index) const;
    std::string firmwareDescription(int index) const;
    // The version on the unit. For an EEPROM part whose header is erased, or
    // whose bytes 2 and 3 are (an update cut short), the version becomes
    // unknown and the read fails, so the part is written again.
    bool deviceVersion(int index, uint32_t* version);
    // The version of the first package image of the part.
    bool resourceVersion(int index, uint32_t* version);
    // Bytes to write for the part: the loaded images, or the package headers
    // before startUpdates.
    uint64_t firmwareSize(int index);

    // Loads the device's images with data (digests checked).
    void startUpdates();
    // Writes every loaded image of the part in package order.
    bool update(int index, const FractionCallback& fraction);
    void endUpdates();
    // Ends an open EEPROM session.
    void cancel();
    // A progress callback that shows nothing.
    static void progress(double fraction);

    uint32_t packageDeviceId() const;

private:
    using ResourceList = FileStore::ResourceList;

    void headers(ResourceList& out) const;
    bool updatePart(const FirmwarePart& part, MVNFirmwarePackage::Resource& resource,
                    const FractionCallback& fraction);
    bool writeEepromPart(const FirmwarePart& part, MVNFirmwarePackage::Resource& resource,
                         const FractionCallback& fraction);
    bool writeFlashPart(MVNFirmwarePackage::Resource& resource);

    uint16_t m_vendorId = 0;
    uint16_t m_productId = 0;
    OndaviaXmegaUSBDevice* m_device = nullptr;
    XmegaEepromAccess m_eeprom;
    const FirmwarePart* m_parts = nullptr;
    int m_partCount = 0;
    const FileStore* m_store = nullptr;
    ResourceList m_resources;
};
