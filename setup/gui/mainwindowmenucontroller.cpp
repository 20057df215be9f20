#include "mainwindowmenucontroller.h"

#include "mainwindowdialog.h"
#include "mainwindowdialogwidget.h"
#include "mainwindowmenu.h"

#include <QWidget>

MainWindowMenuController::MainWindowMenuController(QObject* parent)
    : QObject(parent)
    , m_window(qobject_cast<QWidget*>(parent))
{
}

MainWindowMenuController::~MainWindowMenuController()
{
    // The pages belong to their families: take the shown one out of the
    // dialog before the window deletes the dialog with it.
    if (m_shownWidget && m_dialog && m_shownWidget->parent())
        m_shownWidget->setParent(nullptr);
    delete m_menu.data();
}

void MainWindowMenuController::addOption(QString title, MainWindowDialogWidget* widget)
{
    m_options.append(Option{title, widget});
    if (widget)
        connect(widget, &MainWindowDialogWidget::closePressed, this,
                &MainWindowMenuController::closeDialog, Qt::UniqueConnection);
}

void MainWindowMenuController::clear()
{
    for (const Option& option : qAsConst(m_options)) {
        if (option.widget)
            disconnect(option.widget, &MainWindowDialogWidget::closePressed, this,
                       &MainWindowMenuController::closeDialog);
    }
    m_options.clear();
    delete m_menu.data();
}

void MainWindowMenuController::build(QWidget* anchor)
{
    m_anchor = anchor;
    if (m_options.isEmpty())
        return;
    if (m_options.size() == 1) {
        showDialog(0);
        return;
    }
    delete m_menu.data();
    m_menu = new MainWindowMenu(anchor);
    for (int i = 0; i < m_options.size(); ++i)
        m_menu->addOption(m_options.at(i).title, i);
    connect(m_menu, &MainWindowMenu::menuOptionPressed, this, &MainWindowMenuController::showDialog);
    m_menu->raiseMenuAbove(anchor, QPoint(0, -10));
}

QWidget* MainWindowMenuController::dialogWindow() const
{
    if (m_window)
        return m_window;
    return m_anchor ? m_anchor->window() : nullptr;
}

void MainWindowMenuController::showDialog(int index)
{
    if (index < 0 || index >= m_options.size() || !m_options.at(index).widget)
        return;
    // Only one page shows at a time.
    if (m_dialog && m_dialog->isVisible())
        closeDialog();
    const Option& option = m_options.at(index);
    m_shownWidget = option.widget;
    option.widget->aboutToShow();
    if (m_dialog)
        m_dialog->deleteLater();
    m_dialog = new MainWindowDialog(option.title, option.widget, dialogWindow());
}

void MainWindowMenuController::closeDialog()
{
    if (m_shownWidget) {
        m_shownWidget->hide();
        m_shownWidget->setParent(nullptr);
    }
    if (m_dialog)
        m_dialog->hide();
}
