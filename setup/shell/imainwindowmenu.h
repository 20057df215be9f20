#pragma once

#include <QString>

class MainWindowDialogWidget;

// Collects the entries of the footer's options menu. A family adds one option
// per dialog page it offers; the page stays owned by the family.
class IMainWindowMenu
{
public:
    virtual void addOption(QString title, MainWindowDialogWidget* widget) = 0;

protected:
    ~IMainWindowMenu() = default;
};
