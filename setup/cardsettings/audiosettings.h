// placeholder until the page is built
#pragma once

#include "zeltrasettingstab.h"

// The card's "Audio" tab.
class AudioSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit AudioSettings(VisibleZeltra& device, QWidget* parent = nullptr);

    // True while the card offers nothing on this tab (the tab is hidden).
    bool shouldHide() const;
public slots:
    void onApplyChanges() override;
    void onPropertyChanged() override;
};
