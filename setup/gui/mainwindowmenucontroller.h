#pragma once

#include "imainwindowmenu.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class MainWindowDialog;
class MainWindowDialogWidget;
class MainWindowMenu;
class QWidget;

// Collects the options of the footer's options button and shows them: the
// only option's page at once, or a popup menu of titles. The pages are not
// owned; they are lent to a dialog while shown.
class MainWindowMenuController : public QObject, public IMainWindowMenu
{
    Q_OBJECT
public:
    struct Option {
        QString title;
        MainWindowDialogWidget* widget = nullptr;
    };

    // `parent` is the main window; dialogs are drawn over it.
    explicit MainWindowMenuController(QObject* parent);
    ~MainWindowMenuController() override;

    void addOption(QString title, MainWindowDialogWidget* widget) override;
    void clear();
    // With one option its page opens at once; with more, a menu of titles
    // pops up 10 pixels above `anchor`; with none, nothing happens.
    void build(QWidget* anchor);

    const QVector<Option>& options() const { return m_options; }
    MainWindowMenu* menu() const { return m_menu; }
    MainWindowDialog* dialog() const { return m_dialog; }
    MainWindowDialogWidget* shownWidget() const { return m_shownWidget; }

public slots:
    void showDialog(int index);
    void closeDialog();

private:
    QWidget* dialogWindow() const;

    QVector<Option> m_options;
    QWidget* m_window = nullptr;
    QPointer<QWidget> m_anchor;
    QPointer<MainWindowDialog> m_dialog;
    QPointer<MainWindowDialogWidget> m_shownWidget;
    QPointer<MainWindowMenu> m_menu;
};
