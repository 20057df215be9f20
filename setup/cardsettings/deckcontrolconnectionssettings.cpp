// placeholder until the page is built
#include "deckcontrolconnectionssettings.h"

#include "visiblezeltra.h"

DeckControlConnectionsSettings::DeckControlConnectionsSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

void DeckControlConnectionsSettings::onApplyChanges()
{
}

void DeckControlConnectionsSettings::onPropertyChanged()
{
}

