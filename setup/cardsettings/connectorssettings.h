// placeholder until the page is built
#pragma once

#include "zeltrasettingstab.h"

// The card's "Connectors" tab.
class ConnectorsSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit ConnectorsSettings(VisibleZeltra& device, QWidget* parent = nullptr);

public slots:
    void onApplyChanges() override;
    void onPropertyChanged() override;
};
