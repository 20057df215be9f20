#pragma once

#include <map>
#include <memory>
#include <cstdint>
#include <mutex>
#include <string>

class Device;
class XmegaUSBDevice;

// Keeps one Device per physical unit, by unique id, for the whole process.
// Thread-safe.
class DeviceManager
{
public:
    static DeviceManager& instance();

    // Takes the device over when its unique id is new; otherwise leaves it
    // with the caller and returns false.
    bool addDevice(std::unique_ptr<Device>& device);
    // Forgets the device whose current USB object this is, unless it is
    // rebooting; true when such a device was found.
    bool removeDevice(XmegaUSBDevice* usbDevice);
    // Forgets the device of this unique id, rebooting or not.
    void forgetDevice(const std::string& uniqueId);
    std::shared_ptr<Device> getDevice(const std::string& uniqueId) const;
    std::shared_ptr<Device> getDevice(XmegaUSBDevice* usbDevice) const;
    // Drops every device (shutdown, tests).
    void removeAll();
    size_t count() const;
    // How many units of one model are present.
    size_t countOfProduct(uint16_t productID) const;

private:
    DeviceManager() = default;

    mutable std::mutex m_mutex;
    std::map<std::string, std::shared_ptr<Device>> m_devices;
};
