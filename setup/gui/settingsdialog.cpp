#include "settingsdialog.h"

SettingsDialog::SettingsDialog(QWidget* window)
    : CommonSettingsDialog(window)
{
}
