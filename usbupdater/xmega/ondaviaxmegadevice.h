#pragma once

#include "device.h"
#include "devicesupport.h"
#include "task.h"
#include "xmegausbdevice.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class FileStore;
class OndaviaXmegaUSBDevice;
class XmegaFirmwareUpdater;

// One unit of the maker's XMEGA model, identified by its UUID, with a
// Firmware record per updatable part. Survives the unit's reboots: the
// hot-plug thread hands it each re-enumerated device object
// (takeRebootedDevice) while the worker waits in rebootBlocking. A reboot
// that fails or times out stops being awaited, so that the unit's next
// arrival counts as a new one.
class OndaviaXmegaDevice : public Device
{
public:
    class UpdateTask;

    static constexpr int kVersionReads = 5;
    static constexpr int kVersionRetryMs = 100;
    static constexpr int kRebootTimeoutMs = 5000;

    // Null when the unit's UUID or versions can't be read or the packages
    // lack an image for an updatable part. parts: the model's part table
    // (null: the one DeviceSupport has for the product).
    static std::unique_ptr<OndaviaXmegaDevice> Create(FileStore* store, OndaviaXmegaUSBDevice* usbDevice,
                                                      const FirmwarePart* parts = nullptr);
    // The unique id: lower-case hex, the first three groups byte-reversed.
    static std::string FormatUUID(const XmegaUSBDevice::UUID& uuid);

    ~OndaviaXmegaDevice() override;

    uint16_t productID() const override { return m_productId; }
    std::string uniqueID() const override { return m_uniqueId; }
    std::string name() const override { return m_modelName; }
    XmegaUSBDevice* device() const override;
    void setDevice(XmegaUSBDevice* device) override;
    bool rebootBlocking(bool toBootloader) override;
    bool isRebooting() override;
    void completeReboot() override;
    bool takeRebootedDevice(XmegaUSBDevice* device) override;
    bool queueUpdates(TaskQueue& queue, bool force) override;

    XmegaFirmwareUpdater* updater() const { return m_updater.get(); }

private:
    explicit OndaviaXmegaDevice(FileStore* store);
    bool init(OndaviaXmegaUSBDevice* usbDevice, const FirmwarePart* parts);
    OndaviaXmegaUSBDevice* currentDevice() const;
    // Makes next current, with the mutex held; returns the old one to release.
    OndaviaXmegaUSBDevice* swapDeviceLocked(OndaviaXmegaUSBDevice* next);

    uint16_t m_productId = 0;
    std::string m_modelName;
    std::string m_uniqueId;
    OndaviaXmegaUSBDevice* m_device = nullptr; // one reference held
    std::unique_ptr<XmegaFirmwareUpdater> m_updater;
    mutable std::mutex m_mutex;
    std::condition_variable m_rebooted;
    std::atomic<bool> m_rebooting{false};
};

// Writes the chosen parts of one device, reporting progress weighted by
// part size. Runs on the task queue's worker thread.
class OndaviaXmegaDevice::UpdateTask : public Task
{
public:
    UpdateTask(OndaviaXmegaDevice* device, std::vector<Firmware> parts);

    void setStatusCallback(StatusCallback callback) override { m_callback = std::move(callback); }
    void run() override;
    Result result() const override { return m_result.load(); }
    std::string name() const override { return m_name; }
    void cancel() override;

    const std::vector<Firmware>& parts() const { return m_parts; }

private:
    void report(Result result, double fraction) const;

    OndaviaXmegaDevice* m_device; // borrowed
    std::vector<Firmware> m_parts;
    StatusCallback m_callback;
    std::atomic<Result> m_result{NotFinished};
    std::string m_name;
};
