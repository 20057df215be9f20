#include "devicemanager.h"

#include "device.h"

DeviceManager& DeviceManager::instance()
{
    static DeviceManager manager;
    return manager;
}

bool DeviceManager::addDevice(std::unique_ptr<Device>& device)
{
    if (!device)
        return false;
    const std::string id = device->uniqueID();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_devices.count(id))
        return false;
    m_devices.emplace(id, std::shared_ptr<Device>(device.release()));
    return true;
}

bool DeviceManager::removeDevice(XmegaUSBDevice* usbDevice)
{
    std::shared_ptr<Device> dropped; // destroyed outside the lock
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_devices.begin(); it != m_devices.end(); ++it) {
        if (it->second->device() != usbDevice)
            continue;
        if (!it->second->isRebooting()) {
            dropped = it->second;
            m_devices.erase(it);
        }
        return true;
    }
    return false;
}

void DeviceManager::forgetDevice(const std::string& uniqueId)
{
    std::shared_ptr<Device> dropped; // destroyed outside the lock
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_devices.find(uniqueId);
    if (it == m_devices.end())
        return;
    dropped = it->second;
    m_devices.erase(it);
}

std::shared_ptr<Device> DeviceManager::getDevice(const std::string& uniqueId) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_devices.find(uniqueId);
    return it == m_devices.end() ? nullptr : it->second;
}

std::shared_ptr<Device> DeviceManager::getDevice(XmegaUSBDevice* usbDevice) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& entry : m_devices)
        if (entry.second->device() == usbDevice)
            return entry.second;
    return nullptr;
}

void DeviceManager::removeAll()
{
    std::map<std::string, std::shared_ptr<Device>> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        dropped.swap(m_devices);
    }
}

size_t DeviceManager::count() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_devices.size();
}

size_t DeviceManager::countOfProduct(uint16_t productID) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t n = 0;
    for (const auto& entry : m_devices)
        if (entry.second->productID() == productID)
            ++n;
    return n;
}
