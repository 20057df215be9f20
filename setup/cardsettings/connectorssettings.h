#pragma once

#include "zeltrasettingstab.h"

#include "visiblezeltra.h"

#include <QPointer>

class SettingsComboBox;

// The card's "Connectors" tab, for a card whose SDI connectors are shared by
// two paired sub-devices: one sub-device on both connectors (full duplex)
// or each on its own (half duplex). The mapping belongs to the sub-device
// that configures duplex; the other one's tab reaches it through the pair's
// persistent id.
class ConnectorsSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit ConnectorsSettings(VisibleZeltra& device, QWidget* parent = nullptr);

    SettingsComboBox* connectorCombo() const { return m_combo; }
    VisibleZeltra* mappingDevice() const { return m_mappingDevice; }

public slots:
    void onApplyChanges() override;
    void onPropertyChanged() override;

private:
    void findMappingDevice();

    QPointer<VisibleZeltra> m_mappingDevice;
    SettingsComboBox* m_combo = nullptr;
};
