#pragma once

#include "zeltrasettingstab.h"

class QButtonGroup;
class SettingsRadioButton;

// The card's "Serial Port" tab: which of the two RS-422 remote ports deck
// control uses. The page frame only creates it for a card with both ports.
class DeckControlConnectionsSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit DeckControlConnectionsSettings(VisibleZeltra& device, QWidget* parent = nullptr);

    QButtonGroup* portGroup() const { return m_group; }

public slots:
    void onApplyChanges() override;
    void onPropertyChanged() override;

private:
    QButtonGroup* m_group = nullptr;
    SettingsRadioButton* m_remote1 = nullptr;
    SettingsRadioButton* m_remote2 = nullptr;
};
