#pragma once

#include "settingscheckbox.h"
#include "staticdata.h"
#include "zeltrasettingstab.h"

#include <QButtonGroup>
#include <QFrame>
#include <QMap>
#include <QPointer>
#include <QVector>

class CardSection;
class ImageGroupButton;
class SettingsComboBox;

// The card's "Conversions" tab: the hardware format conversion on input and
// on output, chosen in two steps. The menu picks a group of modes ("HD to
// SD", ...) and the picture buttons under it the mode within the group.
class ConversionsSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit ConversionsSettings(VisibleZeltra& device, QWidget* parent = nullptr);

    SettingsComboBox* inputCombo() const { return m_input.combo; }
    SettingsComboBox* outputCombo() const { return m_output.combo; }
    QButtonGroup* inputModeGroup() const { return m_input.modes; }
    QButtonGroup* outputModeGroup() const { return m_output.modes; }
    SettingsCheckBox* convertAnalogOutputsBox() const { return m_convertAnalog; }
    QMap<uint32_t, ImageGroupButton*> inputModeButtons() const { return m_input.buttons; }
    QMap<uint32_t, ImageGroupButton*> outputModeButtons() const { return m_output.buttons; }

public slots:
    void onInputConversionGroupChanged(int index);
    void onOutputConversionGroupChanged(int index);
    void onApplyChanges() override;
    void onPropertyChanged() override;

private:
    // One direction: its menu, the groups behind the menu's items and the
    // mode buttons of the group shown.
    struct Direction {
        CardSection* section = nullptr;
        SettingsComboBox* combo = nullptr;
        QVector<ConversionModeGroup> groups;
        const QMap<uint32_t, ConversionModeInfo>* table = nullptr;
        QPointer<QFrame> modeRow;
        QPointer<QButtonGroup> modes;
        QMap<uint32_t, ImageGroupButton*> buttons;
        int builtIndex = -1;
    };

    void rebuildModes(Direction& direction, int index);
    void clickFirstMode(Direction& direction);
    void refresh(Direction& direction, uint32_t mode);
    void apply(Direction& direction, bool input);
    bool isNoneGroup(const Direction& direction, int index) const;
    bool isOutputModeSupported(uint32_t mode) const;

    Direction m_input;
    Direction m_output;
    QPointer<SettingsCheckBox> m_convertAnalog;
};
