#pragma once

#include "statuspage.h"

class CardFooter;
class CardTabbedPages;
class QMenu;
class SettingsTab;

// The settings page of a product card: a tab bar over the tabs and a footer
// with the settings menu, Cancel and Save.
class SettingsPage : public StatusPage
{
    Q_OBJECT
public:
    // The state of a tab's values; higher values win when tabs combine.
    enum SettingsStatus { Unchanged = 0, Changed = 1, Invalid = 2 };

    explicit SettingsPage(QWidget* parent = nullptr);

    void addTab(SettingsTab* tab, const QString& title);
    // The parent to build tabs with (see CardTabbedPages::tabParent).
    QWidget* tabParent() const;
    int numTabs() const;
    SettingsTab* getTab(int index) const;
    SettingsTab* currentTab() const;
    void selectTab(int index);
    void showTab(const QString& title, bool visible);

    void setSettingsButtonVisible(bool visible);
    void clearMenu();
    void addMenuOption(const QString& text, int value);
    void addSeparator();
    void addSubMenu(QMenu* menu);
    void setIsImmediateApply(bool immediate);
    bool isImmediateApply() const { return m_immediateApply; }
    void enableSaveButton(bool enabled);
    void setDeviceHasNoSettings();

    CardTabbedPages* tabbedPages() const { return m_pages; }
    CardFooter* footer() const { return m_footer; }

signals:
    void closePage();
    void menuOptionPressed(int value);
    void panelLockPressed();

public slots:
    void onTabSettingsStatusChange();
    void onPanelLockChanged(bool locked);
    void onCancelPressed();
    void onSavePressed();

protected:
    // Save's first half: commits a value field still being edited and
    // applies every tab. closeAfterSave() is the second.
    void applyForSave();
    void closeAfterSave();
    virtual void applyChanges();
    virtual void recallRemotePreset();
    virtual void refreshPage();

private:
    void resetTabStatus();

    CardTabbedPages* m_pages = nullptr;
    CardFooter* m_footer = nullptr;
    bool m_immediateApply = false;
};
