// placeholder until the page is built
#pragma once

#include "zeltrasettingstab.h"

// The card's "Serial Port" tab.
class DeckControlConnectionsSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit DeckControlConnectionsSettings(VisibleZeltra& device, QWidget* parent = nullptr);

public slots:
    void onApplyChanges() override;
    void onPropertyChanged() override;
};
