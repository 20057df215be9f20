#include "devicesupport.h"

#include "device.h"
#include "ondaviaxmegausbdevice.h"

namespace {

XmegaUSBDevice* makeDevice(MVN::USB::IUSBDevice* device)
{
    return OndaviaXmegaUSBDevice::createInstance(device);
}

const XmegaDeviceSpec kSpecs[] = {
    {DeviceSupport::kVendorId, DeviceSupport::kProductId, &makeDevice},
};

const XmegaDeviceSpec kUnprogrammed = {DeviceSupport::kVendorId, DeviceSupport::kUnprogrammedProductId,
                                       &makeDevice};

const FirmwarePart kStreamPortParts[] = {
    {"XMEGA", "controller-application", FirmwarePart::ApplicationFlash, FirmwarePart::ChecksumStatus, 1},
    {"FPGA", "video-engine-bitstream", FirmwarePart::Eeprom, FirmwarePart::EepromHeader, 1},
    {nullptr, nullptr, 0, 0, 0},
};

const char* const kModelName = "Ondavia StreamPort USB";

} // namespace

DeviceSupport& DeviceSupport::instance()
{
    static DeviceSupport support;
    return support;
}

void DeviceSupport::getOndaviaSpecs(const XmegaDeviceSpec** table, size_t* count) const
{
    if (table)
        *table = kSpecs;
    if (count)
        *count = sizeof kSpecs / sizeof kSpecs[0];
}

const XmegaDeviceSpec& DeviceSupport::unprogrammedSpec() const
{
    return kUnprogrammed;
}

std::string DeviceSupport::getModelName(uint16_t productId) const
{
    return productId == kProductId ? kModelName : "Unknown model";
}

const FirmwarePart* DeviceSupport::getFirmwareParts(uint16_t productId) const
{
    return productId == kProductId ? kStreamPortParts : nullptr;
}

int DeviceSupport::partCount(const FirmwarePart* parts)
{
    int n = 0;
    if (!parts)
        return 0;
    while (parts[n].description || parts[n].partName || parts[n].storage || parts[n].versionSource
           || parts[n].updatable)
        ++n;
    return n;
}

bool DeviceSupport::rebootRequired(const Device& device) const
{
    return device.productID() != kProductId;
}

int DeviceSupport::deviceConnectionType(const Device& device) const
{
    return device.productID() == kProductId ? 4 : 0;
}

void DeviceSupport::registerNotifier(Notifier* notifier)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_notifier = notifier;
}

void DeviceSupport::getNotifiers(std::list<Notifier*>& list) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_notifier)
        list.push_back(m_notifier);
}
