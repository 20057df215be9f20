// placeholder until the page is built
#include "videooutputsettings.h"

#include "visiblezeltra.h"

VideoOutputSettings::VideoOutputSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

void VideoOutputSettings::onApplyChanges()
{
}

void VideoOutputSettings::onPropertyChanged()
{
}

