#pragma once

#include "notifier.h"
#include "ondaviaxmegausbnotifier.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

struct FirmwarePart;

// Watches the bus for the maker's XMEGA model and reports each physical
// unit as one Device: a new unit becomes an OndaviaXmegaDevice in the
// device manager, a unit coming back from a reboot is handed to the Device
// that waits for it. Registers itself as the model family's notifier while
// it lives.
class OndaviaXmegaNotifier : public Notifier
{
public:
    struct DeviceDesc
    {
        uint16_t productId;
        const FirmwarePart* parts;
    };

    // Turns USB objects into Devices on the hot-plug thread.
    class Delegate : public OndaviaXmegaUSBNotifier::Delegate
    {
    public:
        explicit Delegate(OndaviaXmegaNotifier& owner) : m_owner(owner) {}
        void onDeviceAdded(OndaviaXmegaUSBDevice* device) override;
        void onDeviceRemoved(OndaviaXmegaUSBDevice* device) override;

    private:
        OndaviaXmegaNotifier& m_owner;
    };

    OndaviaXmegaNotifier();
    ~OndaviaXmegaNotifier() override;

    void init(ArrivalCallback callback, unsigned* reserved) override;
    // Starts the hot-plug notification (units in their bootloader are
    // reported like others); the units present are reported at once.
    void listen() override;
    void setFirmwareStore(FileStore* store) override { m_fileStore = store; }

    // Stops watching and releases the USB objects it holds.
    void stop();
    OndaviaXmegaUSBNotifier& usbNotifier() { return *m_usbNotifier; }

private:
    void notify(const std::shared_ptr<Device>& device, DeviceNotificationType type) const;

    std::map<uint16_t, const FirmwarePart*> m_parts;
    FileStore* m_fileStore = nullptr; // borrowed
    ArrivalCallback m_callback;
    std::unique_ptr<Delegate> m_delegate;
    std::unique_ptr<OndaviaXmegaUSBNotifier> m_usbNotifier;
};
