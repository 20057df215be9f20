#pragma once

#include "settingspage.h"

#include <QList>
#include <QPointer>

class CommonDialog;
class VisibleZeltra;
class ZeltraSettingsTab;

// The settings page of a card: one tab per area the card can configure.
// Every change is applied at once; Save makes the card store what it holds,
// Cancel makes it go back to what it stored. The tabs are built once the
// device is connected (onConnectionChanged()); the card asks for that when
// it opens over a device that is connected already.
class ZeltraSettingsPage : public SettingsPage
{
    Q_OBJECT
public:
    ZeltraSettingsPage(VisibleZeltra& device, QWidget* parent = nullptr);

    // Creates the tabs the card's capabilities allow, in their fixed order.
    void buildPages();
    // Adds `tab` under `title`, or destroys it at once when it has no rows.
    virtual void checkAddTab(ZeltraSettingsTab* tab, const QString& title);
    // Applies the pending changes of every tab.
    void applyChanges() override;

    QList<ZeltraSettingsTab*> tabs() const;

public slots:
    void onConnectionChanged();
    void onSavePressed();
    void onCancelPressed();
    void onMenuOptionPressed(int value);
    void onLayoutChanged();

private:
    VisibleZeltra& m_device;
    QList<QPointer<ZeltraSettingsTab>> m_tabs;
    bool m_built = false;
    QPointer<CommonDialog> m_saveFailed;
};
