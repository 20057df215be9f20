#include "ondaviaxmegausbdevice.h"

#include "device.h"
#include "devicemanager.h"
#include "devicesupport.h"
#include "ondaviaxmegadevice.h"

#include <memory>

OndaviaXmegaUSBDevice* OndaviaXmegaUSBDevice::createInstance(MVN::USB::IUSBDevice* device)
{
    if (!device)
        return nullptr;
    OndaviaXmegaUSBDevice* object = new OndaviaXmegaUSBDevice(device);
    if (!object->doDeviceSetup()) {
        object->release();
        return nullptr;
    }
    return object;
}

std::string OndaviaXmegaUSBDevice::modelName()
{
    if (m_modelName.empty()) {
        uint16_t product = 0;
        m_modelName = getProductId(&product) ? DeviceSupport::instance().getModelName(product) : "Unknown model";
    }
    return m_modelName;
}

bool OndaviaXmegaUSBDevice::rebootBlocking(bool toBootloader)
{
    UUID uuid;
    if (!getDeviceUUID(&uuid))
        return false;
    const std::shared_ptr<Device> device =
        DeviceManager::instance().getDevice(OndaviaXmegaDevice::FormatUUID(uuid));
    return device && device->rebootBlocking(toBootloader);
}
