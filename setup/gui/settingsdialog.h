#pragma once

#include "commonsettingsdialog.h"

// The message dialog that a settings page raises over its card.
class SettingsDialog : public CommonSettingsDialog
{
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* window);
};
