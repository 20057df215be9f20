#pragma once

#include "firmwareupdatedialog.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

class AdminUtilityWindow;
class DeviceFirmwareUpdater;
class VisibleDevice;

// One device's firmware update as the user sees it: nothing when the device
// has no updater or runs current firmware, else a dialog that asks, shows
// the progress and reports the outcome. firmwareUpdated() tells the caller
// whether the device may now be used.
class FirmwareUpdate : public QObject
{
    Q_OBJECT
public:
    FirmwareUpdate(AdminUtilityWindow* window, VisibleDevice* device, QObject* parent = nullptr);
    ~FirmwareUpdate() override;

    void updateFirmware();

    FirmwareUpdateDialog* dialog() const { return m_dialog; }
    bool result() const { return m_result; }

signals:
    void firmwareUpdated(bool succeeded);

public slots:
    void onAcceptClicked();
    void onCloseOrDeclineClicked();
    void onFirmwareUpdateTermination(int code);

private:
    void disconnectUpdater();

    // The device's, fetched at each run; it may go with its device.
    QPointer<DeviceFirmwareUpdater> m_updater;
    QPointer<FirmwareUpdateDialog> m_dialog;
    QPointer<AdminUtilityWindow> m_window;
    VisibleDevice* m_device = nullptr;
    bool m_result = true;
    QMetaObject::Connection m_progress;
    QMetaObject::Connection m_termination;
    QMetaObject::Connection m_gone;
};
