// placeholder until the page is built
#include "videoinputsettings.h"

#include "visiblezeltra.h"

VideoInputSettings::VideoInputSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

void VideoInputSettings::onApplyChanges()
{
}

void VideoInputSettings::onPropertyChanged()
{
}

