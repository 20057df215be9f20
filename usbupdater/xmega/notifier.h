#pragma once

#include <functional>
#include <memory>

class Device;
class FileStore;

enum DeviceNotificationType : int {
    DeviceAdded = 0,
    DeviceRemoved = 1,
};

// Watches the bus for one family of devices and reports their arrivals and
// removals as Device objects.
class Notifier
{
public:
    using ArrivalCallback = std::function<void(const std::shared_ptr<Device>&, DeviceNotificationType)>;

    virtual ~Notifier() = default;
    // The unsigned pointer is reserved; callers pass null.
    virtual void init(ArrivalCallback callback, unsigned* reserved) = 0;
    // Starts watching; devices already present are reported at once.
    virtual void listen() = 0;
    virtual void setFirmwareStore(FileStore* store) = 0;
};
