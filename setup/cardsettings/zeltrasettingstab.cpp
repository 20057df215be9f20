#include "zeltrasettingstab.h"

#include "cardseparator.h"
#include "cardseparatordarkmiddle.h"
#include "cardsection.h"
#include "productcard.h"
#include "rowspacer.h"
#include "tightvboxlayout.h"
#include "visiblezeltra.h"
#include "visiblezeltrasummarywidget.h"
#include "zeltradevicesettings.h"
#include "zeltrasettingssliderwitheditablevalueandindependantranges.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {
// Long enough for the longer of the two bounds written with their decimals.
int boundTextLength(double minimum, double maximum, int decimals)
{
    const int a = QString::number(minimum, 'f', decimals).size();
    const int b = QString::number(maximum, 'f', decimals).size();
    return qMax(a, b);
}
} // namespace

const char* const ZeltraSettingsTab::kSettingProperty = "cardSetting";

void ZeltraSettingsTab::nameSetting(QObject* control, const QString& name)
{
    if (control)
        control->setProperty(kSettingProperty, name);
}

ZeltraSettingsTab::ZeltraSettingsTab(VisibleZeltra& device, QWidget* parent)
    : SettingsTab(parent)
    , m_device(device)
    , m_deviceSettings(new ZeltraDeviceSettings(device, this))
{
    connect(&m_device, &VisibleZeltra::propertyChanged, this, &ZeltraSettingsTab::onPropertyChanged);
    connect(&m_device, &VisibleZeltra::connectionChangedSignal, this, &ZeltraSettingsTab::onConnectionChanged);
}

ZeltraSettingsTab::~ZeltraSettingsTab() = default;

ZeltraSettingsSliderWithEditableValueAndIndependantRanges*
ZeltraSettingsTab::addSettingsSliderWithEditableValueAndIndependantRanges(const QString& label, double valueMinimum,
                                                                         double valueMaximum, double sliderMinimum,
                                                                         double sliderMaximum, int decimals,
                                                                         const QString& units, bool defaultEnabled,
                                                                         double defaultValue)
{
    addingRow(Control);
    QWidget* row = createLabelledRow(label);
    auto* slider = new ZeltraSettingsSliderWithEditableValueAndIndependantRanges(row);
    slider->move(kControlX, 0);
    slider->setDecimalPlaces(decimals);
    slider->setMinimum(valueMinimum, sliderMinimum);
    slider->setMaximum(valueMaximum, sliderMaximum);
    slider->setMaxInputTextLength(boundTextLength(valueMinimum, valueMaximum, decimals));
    slider->setLabel(units);
    slider->setDefaultEnabled(defaultEnabled);
    slider->setDefaultValue(defaultValue);
    connect(slider, qOverload<>(&SettingsSliderWithEditableValue::valueChanged), this,
            &ZeltraSettingsTab::onAnyControlChanged);
    addWidget(row);
    return slider;
}

bool ZeltraSettingsTab::isASection(const QWidget* widget)
{
    return qobject_cast<const CardSection*>(widget) != nullptr;
}

bool ZeltraSettingsTab::isAControlRow(const QWidget* widget)
{
    if (!widget || isASection(widget))
        return false;
    // Fillers between rows are not rows of their own.
    return !qobject_cast<const CardSeparator*>(widget) && !qobject_cast<const CardSeparatorDarkMiddle*>(widget)
        && !qobject_cast<const RowSpacer*>(widget);
}

bool ZeltraSettingsTab::isEmpty() const
{
    TightVBoxLayout* layout = contentLayout();
    for (int i = 0; i < layout->count(); ++i) {
        if (isAControlRow(layout->itemAt(i)->widget()))
            return false;
    }
    return true;
}

QList<QGridLayout*> ZeltraSettingsTab::getCheckBoxLayouts() const
{
    QList<QGridLayout*> grids;
    for (QGridLayout* grid : contentWidget()->findChildren<QGridLayout*>()) {
        for (int i = 0; i < grid->count(); ++i) {
            QWidget* item = grid->itemAt(i)->widget();
            if (qobject_cast<QCheckBox*>(item) || qobject_cast<QRadioButton*>(item)) {
                grids << grid;
                break;
            }
        }
    }
    return grids;
}

void ZeltraSettingsTab::applyChanges()
{
    onApplyChanges();
    if (auto* summary = qobject_cast<VisibleZeltraSummaryWidget*>(m_device.summaryWidget()))
        summary->onDeviceStatusChanged();
    m_changed.clear();
    // Writing may have made the card answer with notices already handled;
    // restarting the watch keeps the next user change counted afresh.
    watchModifications(false);
    watchModifications(true);
    // A value the card refused sends no notice; the controls show what the
    // card holds once the action that wrote has returned (it may have come
    // from a button that the refresh rebuilds).
    if (!m_refreshQueued) {
        m_refreshQueued = true;
        QMetaObject::invokeMethod(this, [this] {
            m_refreshQueued = false;
            refreshFromCard();
        }, Qt::QueuedConnection);
    }
}

void ZeltraSettingsTab::refreshFromCard()
{
    // A card that is closing may have lost its device already.
    if (ProductCard* card = ProductCard::owning(this); card && card->isClosing())
        return;
    const bool watching = m_watching;
    watchModifications(false);
    onPropertyChanged();
    watchModifications(watching);
}

bool ZeltraSettingsTab::hasChanged(QObject& control)
{
    for (const QPointer<QObject>& changed : qAsConst(m_changed)) {
        if (changed == &control)
            return true;
    }
    return false;
}

void ZeltraSettingsTab::watchModifications(bool watch)
{
    m_watching = watch;
}

void ZeltraSettingsTab::onConnectionChanged(bool)
{
}

void ZeltraSettingsTab::onPropertyChanged()
{
}

void ZeltraSettingsTab::onTabSelected()
{
    refreshFromCard();
    watchModifications(true);
}

void ZeltraSettingsTab::onTabDeselected()
{
}

void ZeltraSettingsTab::onAnyControlChanged()
{
    if (!m_watching)
        return;
    SettingsTab::onAnyControlChanged();
    QObject* control = sender();
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        if (!edit->hasAcceptableInput())
            return;
    }
    if (control && !hasChanged(*control))
        m_changed << control;
    applyChanges();
}
