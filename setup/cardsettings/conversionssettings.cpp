// placeholder until the page is built
#include "conversionssettings.h"

#include "visiblezeltra.h"

ConversionsSettings::ConversionsSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    addSection(tr("Conversions"));
    addLabelRow(tr("Settings:"), tr("Not available yet"));
    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

void ConversionsSettings::onApplyChanges()
{
}

void ConversionsSettings::onPropertyChanged()
{
}

