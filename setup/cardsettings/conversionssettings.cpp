// placeholder until the page is built
#include "conversionssettings.h"

#include "visiblezeltra.h"

ConversionsSettings::ConversionsSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
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

