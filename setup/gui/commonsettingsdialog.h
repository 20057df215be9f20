#pragma once

#include "commondialog.h"

// A message dialog in the settings style: its title band carries the accent
// colour, as the product cards do.
class CommonSettingsDialog : public CommonDialog
{
    Q_OBJECT
public:
    explicit CommonSettingsDialog(QWidget* window);
};
