#include "unitrig.h"

#include "appimage.h"
#include "devicemanager.h"
#include "inprocessbus.h"
#include "ondaviaxmegadevice.h"
#include "ondaviaxmegausbdevice.h"
#include "packagewriter.h"

#include <chrono>
#include <thread>

UnitRig::UnitRig(const xmegasim::UnitConfig& config)
    : m_unit(std::make_shared<xmegasim::XmegaUnit>(config))
{
    // A unit from the factory runs an application; tests load their own.
    m_unit->loadApplication(xmegasim::AppImage::build(1, 4096));
}

UnitRig::~UnitRig()
{
    m_bus.reset();
    DeviceManager::instance().removeAll();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_device)
        m_device->release();
    m_device = nullptr;
}

OndaviaXmegaUSBDevice* UnitRig::device()
{
    if (!m_bus) {
        // Started lazily so that a test can load the unit's memories first.
        m_bus = std::make_unique<xmegasim::InProcessBus>(
            m_unit, [this](MVN::USB::IUSBDevice* d) { onAdded(d); },
            [this](MVN::USB::IUSBDevice* d) { onRemoved(d); });
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_device;
}

bool UnitRig::waitForDevice(int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!device()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

unsigned UnitRig::arrivals() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_arrivals;
}

void UnitRig::onAdded(MVN::USB::IUSBDevice* usb)
{
    OndaviaXmegaUSBDevice* made = OndaviaXmegaUSBDevice::createInstance(usb);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_arrivals;
        if (m_device)
            m_device->release();
        m_device = made;
        if (made)
            made->addRef(); // one for the rig, one handed on below
    }
    if (!made)
        return;
    XmegaUSBDevice::UUID uuid;
    if (made->getDeviceUUID(&uuid)) {
        if (std::shared_ptr<Device> known =
                DeviceManager::instance().getDevice(OndaviaXmegaDevice::FormatUUID(uuid))) {
            known->setDevice(made);
            known->completeReboot();
        }
    }
    made->release();
}

void UnitRig::onRemoved(MVN::USB::IUSBDevice* usb)
{
    OndaviaXmegaUSBDevice* gone = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_device && m_device->usbDevice() == usb)
            std::swap(gone, m_device);
    }
    if (gone) {
        DeviceManager::instance().removeDevice(gone);
        gone->release();
    }
}

namespace TestImages {

std::vector<uint8_t> fpga(uint8_t version, size_t size, uint8_t seed)
{
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i < size; ++i)
        image[i] = uint8_t((i * 13u + seed * 29u + (i >> 9)) & 0xFF);
    const uint8_t header[4] = {0x00, version, 0x3C, 0xC3};
    for (size_t i = 0; i < 4 && i < size; ++i)
        image[i] = header[i];
    return image;
}

bool writePackage(const std::string& path, const std::vector<Part>& parts, uint16_t productId)
{
    using namespace MVNFirmwarePackage;
    PackageWriter writer;
    for (const Part& p : parts) {
        ImageSpec image;
        image.data = p.data;
        image.version = p.version;
        image.format = p.resourceId == 0 ? XMEGA : BINARY;
        image.compress = p.compress;
        DeviceHeaderSpec header;
        header.device_id_type = USB;
        header.device_id = UsbDeviceId(xmegasim::kUnitVendorId, productId);
        header.target_id = p.target;
        header.resource_id = uint8_t(p.resourceId);
        header.address_offset = p.address;
        image.devices.push_back(header);
        writer.addImage(std::move(image));
    }
    return writer.writeFile(path);
}

} // namespace TestImages
