#include "firmwareupdate.h"

#include "adminutilitywindow.h"
#include "devicefirmwareupdater.h"
#include "firmwareupdatedialog.h"
#include "visibledevice.h"

FirmwareUpdate::FirmwareUpdate(AdminUtilityWindow* window, VisibleDevice* device, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_device(device)
{
    if (m_device)
        m_updater = m_device->getFirmwareUpdater();
}

FirmwareUpdate::~FirmwareUpdate()
{
    disconnectUpdater();
    // The dialog belongs to the window, but it is of no use without us.
    delete m_dialog;
}

void FirmwareUpdate::updateFirmware()
{
    m_updater = m_device ? m_device->getFirmwareUpdater() : nullptr;
    if (!m_updater || m_updater->checkFirmwareCurrent()) {
        emit firmwareUpdated(m_result);
        return;
    }
    if (!m_dialog) {
        m_dialog = new FirmwareUpdateDialog(m_window);
        connect(m_dialog, &CommonDialog::yesClicked, this, &FirmwareUpdate::onAcceptClicked);
        connect(m_dialog, &CommonDialog::noClicked, this, &FirmwareUpdate::onCloseOrDeclineClicked);
        connect(m_dialog, &CommonDialog::closeClicked, this, &FirmwareUpdate::onCloseOrDeclineClicked);
    }
    m_result = false;
    disconnectUpdater();
    m_termination = connect(m_updater, &DeviceFirmwareUpdater::firmwareUpdated, this,
                            &FirmwareUpdate::onFirmwareUpdateTermination);
    // An updater that goes away with its device mid-update has failed;
    // without this the dialog would wait for an outcome that never comes.
    m_gone = connect(m_updater, &QObject::destroyed, this, [this] {
        if (m_dialog && m_dialog->status() == FirmwareUpdateDialog::Updating)
            onFirmwareUpdateTermination(DeviceFirmwareUpdater::kUpdateFailed);
    });
    m_dialog->setStatus(FirmwareUpdateDialog::NeedsUpdate);
    m_dialog->showOverWindow();
}

void FirmwareUpdate::onAcceptClicked()
{
    if (!m_updater || !m_dialog)
        return;
    QObject::disconnect(m_progress);
    m_progress = connect(m_updater, &DeviceFirmwareUpdater::firmwareUpdateProgress, m_dialog,
                         &FirmwareUpdateDialog::setProgress);
    m_dialog->setStatus(FirmwareUpdateDialog::Updating);
    m_updater->startFirmwareUpdate();
}

void FirmwareUpdate::onFirmwareUpdateTermination(int code)
{
    // Any code but success is a failure: an unknown one must neither pass
    // for success nor leave the dialog waiting without a button.
    m_result = code == DeviceFirmwareUpdater::kUpdateSucceeded;
    if (m_dialog)
        m_dialog->setStatus(m_result ? FirmwareUpdateDialog::Updated : FirmwareUpdateDialog::UpdateFailed);
    disconnectUpdater();
}

void FirmwareUpdate::onCloseOrDeclineClicked()
{
    disconnectUpdater();
    if (m_dialog)
        m_dialog->close();
    emit firmwareUpdated(m_result);
}

void FirmwareUpdate::disconnectUpdater()
{
    QObject::disconnect(m_progress);
    QObject::disconnect(m_termination);
    QObject::disconnect(m_gone);
}
