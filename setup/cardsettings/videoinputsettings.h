// placeholder until the page is built
#pragma once

#include "zeltrasettingstab.h"

// The card's "Video Input" tab.
class VideoInputSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit VideoInputSettings(VisibleZeltra& device, QWidget* parent = nullptr);

public slots:
    void onApplyChanges() override;
    void onPropertyChanged() override;
};
