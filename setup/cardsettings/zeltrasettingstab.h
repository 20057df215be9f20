#pragma once

#include "settingstab.h"

#include <QList>
#include <QPointer>

class QGridLayout;
class VisibleZeltra;
class ZeltraDeviceSettings;
class ZeltraSettingsSliderWithEditableValueAndIndependantRanges;

// A settings tab bound to one card. Every control change is applied to the
// card at once: the changed control joins the changed list and the page's
// onApplyChanges() writes the controls that hasChanged() names. Refilling
// the controls from the card happens with watching off, so it never counts
// as a change.
class ZeltraSettingsTab : public SettingsTab
{
    Q_OBJECT
public:
    explicit ZeltraSettingsTab(VisibleZeltra& device, QWidget* parent = nullptr);
    ~ZeltraSettingsTab() override;

    ZeltraSettingsSliderWithEditableValueAndIndependantRanges* addSettingsSliderWithEditableValueAndIndependantRanges(
        const QString& label, double valueMinimum, double valueMaximum, double sliderMinimum, double sliderMaximum,
        int decimals, const QString& units, bool defaultEnabled = false, double defaultValue = 0.0);

    // True while no section (nor the top of the tab) holds a control row.
    bool isEmpty() const;
    static bool isAControlRow(const QWidget* widget);
    static bool isASection(const QWidget* widget);
    // The check-box and radio grids whose columns are kept aligned.
    QList<QGridLayout*> getCheckBoxLayouts() const;

    // Names the card setting a control shows, as ondavia-ctl lists it.
    static void nameSetting(QObject* control, const QString& name);
    static const char* const kSettingProperty;

    VisibleZeltra& device() const { return m_device; }
    ZeltraDeviceSettings& deviceSettings() const { return *m_deviceSettings; }
    bool isWatchingModifications() const { return m_watching; }
    int changedCount() const { return m_changed.size(); }

public slots:
    virtual void applyChanges();
    virtual bool hasChanged(QObject& control);
    virtual void watchModifications(bool watch);
    virtual void onConnectionChanged(bool connected);
    virtual void onPropertyChanged();
    virtual void onApplyChanges() = 0;
    void onTabSelected() override;
    void onTabDeselected() override;
    void onAnyControlChanged() override;

protected:
    // Re-reads the card into the controls without counting it as a change.
    void refreshFromCard();

private:
    VisibleZeltra& m_device;
    bool m_refreshQueued = false;
    ZeltraDeviceSettings* m_deviceSettings = nullptr;
    bool m_watching = false;
    QList<QPointer<QObject>> m_changed;
};
