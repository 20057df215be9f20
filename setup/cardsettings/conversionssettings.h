// placeholder until the page is built
#pragma once

#include "zeltrasettingstab.h"

// The card's "Conversions" tab.
class ConversionsSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit ConversionsSettings(VisibleZeltra& device, QWidget* parent = nullptr);

public slots:
    void onApplyChanges() override;
    void onPropertyChanged() override;
};
