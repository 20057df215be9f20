// placeholder until the page is built
#include "connectorssettings.h"

#include "visiblezeltra.h"

ConnectorsSettings::ConnectorsSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

void ConnectorsSettings::onApplyChanges()
{
}

void ConnectorsSettings::onPropertyChanged()
{
}

