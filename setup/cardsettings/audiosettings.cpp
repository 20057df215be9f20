// placeholder until the page is built
#include "audiosettings.h"

#include "visiblezeltra.h"

AudioSettings::AudioSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

void AudioSettings::onApplyChanges()
{
}

void AudioSettings::onPropertyChanged()
{
}

bool AudioSettings::shouldHide() const
{
    return false;
}
