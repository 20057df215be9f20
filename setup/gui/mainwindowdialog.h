#pragma once

#include "adminutilitydialog.h"
#include "mainwindowdialogwidget.h"

#include <QPointer>

class QLabel;

// The in-window dialog that frames one options page under its title.
class MainWindowDialog : public AdminUtilityDialog
{
    Q_OBJECT
public:
    // Builds the frame around `widget` (which is reparented into it) and
    // shows the dialog over `window`.
    MainWindowDialog(const QString& title, MainWindowDialogWidget* widget, QWidget* window);
    // Hands the page back (unparented) rather than deleting it.
    ~MainWindowDialog() override;

    QLabel* titleLabel() const { return m_title; }
    MainWindowDialogWidget* page() const { return m_page.data(); }

private:
    QLabel* m_title = nullptr;
    QPointer<MainWindowDialogWidget> m_page;
};
