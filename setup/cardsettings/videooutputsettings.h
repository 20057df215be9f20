// placeholder until the page is built
#pragma once

#include "zeltrasettingstab.h"

// The card's "Video Output" tab.
class VideoOutputSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit VideoOutputSettings(VisibleZeltra& device, QWidget* parent = nullptr);

public slots:
    void onApplyChanges() override;
    void onPropertyChanged() override;
};
