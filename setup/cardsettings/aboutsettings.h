// placeholder until the page is built
#pragma once

#include "zeltrasettingstab.h"

// The card's "About" tab.
class AboutSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit AboutSettings(VisibleZeltra& device, QWidget* parent = nullptr);

public slots:
    void onApplyChanges() override;
    void onPropertyChanged() override;
};
