// placeholder until the page is built
#include "aboutsettings.h"

#include "visiblezeltra.h"

AboutSettings::AboutSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

void AboutSettings::onApplyChanges()
{
}

void AboutSettings::onPropertyChanged()
{
}

