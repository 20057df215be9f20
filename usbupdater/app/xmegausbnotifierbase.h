#pragma once

#include "devicesupport.h"
#include "xmegausbdevice.h"

#include <map>
#include <mutex>
#include <vector>

namespace MVN {
namespace USB {
class IUSBDevice;
struct _MVNUsb_Notifier;
} // namespace USB
} // namespace MVN

// Turns the USB layer's hot-plug reports for a list of supported ids into
// set-up XmegaUSBDevice objects, one per USB device present, and hands them
// to its subclass. Arrivals and removals run on the hot-plug thread, and on
// the installing thread for the devices already present.
class XmegaUSBNotifierBase
{
public:
    XmegaUSBNotifierBase() = default;
    // Uninstalls the notification and releases every stored device object.
    virtual ~XmegaUSBNotifierBase();
    XmegaUSBNotifierBase(const XmegaUSBNotifierBase&) = delete;
    XmegaUSBNotifierBase& operator=(const XmegaUSBNotifierBase&) = delete;

    // Also reports units that were never programmed (their own product id).
    virtual void detectUnprogrammedDevice();
    virtual void onDeviceAdded(XmegaUSBDevice* device) = 0;
    virtual void onDeviceRemoved(XmegaUSBDevice* device) = 0;

    // Installs the hot-plug notification for the distinct vendor and
    // product ids of the list; false when it can't be installed.
    bool startNotification();
    // Uninstalls it and forgets (releases) the device objects.
    void stopNotification();
    // The factory of the exactly matching id, or null.
    XmegaUSBDevice* createDevice(uint16_t vendorId, uint16_t productId, MVN::USB::IUSBDevice* device);
    void deviceAddedNotification(MVN::USB::IUSBDevice* device);
    void deviceRemovedNotification(MVN::USB::IUSBDevice* device);
    static void deviceAddedNotificationCb(MVN::USB::IUSBDevice* device, void* context);
    static void deviceRemovedNotificationCb(MVN::USB::IUSBDevice* device, void* context);
    // Whether a unit may be reported: one in its application passes; one in
    // its bootloader never does, and is sent back to its application every
    // other time it shows up, so a unit stuck there isn't rebooted for ever.
    bool checkBooted(XmegaUSBDevice* device);

    bool checksBooted() const { return m_checkBooted; }
    size_t deviceCount() const;

protected:
    void setCheckBooted(bool check) { m_checkBooted = check; }

    std::vector<XmegaDeviceSpec> m_specs;

private:
    bool m_checkBooted = false;
    std::vector<XmegaUSBDevice::UUID> m_rebootedUUIDs; // told to leave their bootloader
    MVN::USB::_MVNUsb_Notifier* m_notification = nullptr;
    mutable std::mutex m_mutex; // the device map and the UUID list
    std::map<MVN::USB::IUSBDevice*, XmegaUSBDevice*> m_devices; // one reference each
};
