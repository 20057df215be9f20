#include "firmwareupdatedialog.h"

#include "adminutilitywindow.h"

FirmwareUpdateDialog::FirmwareUpdateDialog(AdminUtilityWindow* window)
    : CommonDialog(window)
{
    setObjectName(QStringLiteral("firmwareUpdateDialog"));
    setStatus(NeedsUpdate);
}

void FirmwareUpdateDialog::setStatus(UpdateStatus status)
{
    m_status = status;
    switch (status) {
    case NeedsUpdate:
        showTwoTexts(tr("This Example Device needs a Software Update."),
                     tr("Before you can edit the settings of this Example Device, it must be updated to the latest "
                        "software version."));
        showTwoButtons(tr("Cancel"), tr("Update"));
        break;
    case Updating:
        showTwoTexts(tr("Updating Example Device..."),
                     tr("Do not unplug this Example Device while the update is in progress."));
        CommonDialog::setProgress(0);
        showProgressBar();
        break;
    case Updated:
        showOneText(tr("This Example Device has been updated."));
        showOneButton(tr("Close"));
        break;
    case UpdateFailed:
        showOneText(tr("Updating the Example Device software failed."));
        showOneButton(tr("Close"));
        break;
    }
}

void FirmwareUpdateDialog::setProgress(int percent)
{
    CommonDialog::setProgress(percent);
}
