#pragma once

#include "commondialog.h"

class AdminUtilityWindow;

// The in-window dialog of a firmware update: it asks, shows the progress and
// tells the outcome. One dialog serves every run of its FirmwareUpdate.
class FirmwareUpdateDialog : public CommonDialog
{
    Q_OBJECT
public:
    enum UpdateStatus { NeedsUpdate = 0, Updating = 1, Updated = 2, UpdateFailed = 3 };

    explicit FirmwareUpdateDialog(AdminUtilityWindow* window);

    void setStatus(UpdateStatus status);
    UpdateStatus status() const { return m_status; }

public slots:
    void setProgress(int percent);

private:
    UpdateStatus m_status = NeedsUpdate;
};
