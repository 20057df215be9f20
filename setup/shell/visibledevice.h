#pragma once

#include <QMetaType>
#include <QPixmap>
#include <QString>

class DeviceFirmwareUpdater;
class QWidget;

// What every device shown by the setup utility offers to the views. Concrete
// devices derive from QObject first and VisibleDevice second, so a
// VisibleDevice* is turned back into the device object with dynamic_cast.
// Devices are owned by their family, never through this interface.
class VisibleDevice
{
public:
    virtual QString familyName() const = 0;
    virtual QString modelName() const = 0;
    virtual QString ipAddress() const = 0;
    virtual QPixmap modelImage() const = 0;
    virtual QPixmap modelThumb() const = 0;
    virtual QString deviceName() const = 0;
    virtual QPixmap launcherConnectionIcon() const = 0;
    virtual QPixmap cardConnectionIcon() const = 0;
    virtual bool isUsbDevice() const { return false; }
    virtual bool firmwareUpdateOnly() const = 0;
    virtual QString currentFirmwareString() const = 0;
    virtual bool firmwareUpdateAvailable() const = 0;
    virtual QString availableFirmwareString() const = 0;
    // Null when the device cannot be updated from here.
    virtual DeviceFirmwareUpdater* getFirmwareUpdater() = 0;
    virtual bool isTestMode() const = 0;
    // Shown below the device in the gallery; owned by the device. May be null.
    virtual QWidget* summaryWidget() const = 0;
    virtual bool shouldShowSetup() const { return true; }
    virtual bool hasControlApp() const { return false; }
    virtual QPixmap controlAppIcon() const { return QPixmap(); }
    virtual QPixmap controlAppIconHover() const { return QPixmap(); }

protected:
    // Never deleted through this interface.
    ~VisibleDevice() = default;
};

// Lets signal spies and queued connections carry device pointers.
Q_DECLARE_METATYPE(VisibleDevice*)
