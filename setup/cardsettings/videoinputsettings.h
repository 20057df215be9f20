#pragma once

#include "zeltrasettingstab.h"

class CardSection;
class FlatImageButton;
class QButtonGroup;
class SettingsCheckBox;
class SettingsSliderWithEditableValue;
class SliderLink;

// The card's "Video Input" tab: input connector, timecode input, how 1080p
// SDI is captured, analog input levels and the NTSC black level. Rows the
// card cannot use are not built; rows that do not fit the chosen input are
// hidden.
class VideoInputSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit VideoInputSettings(VisibleZeltra& device, QWidget* parent = nullptr);

    // Whether Cb and Cr move together, per card.
    static const QString kCbCrLinkedKey;

    QButtonGroup* inputGroup() const { return m_inputGroup; }
    SettingsCheckBox* timecodeBox() const { return m_timecode; }
    CardSection* sdiSection() const { return m_sdiSection; }
    QButtonGroup* capturePsFGroup() const { return m_capturePsF; }
    CardSection* analogSection() const { return m_analogSection; }
    FlatImageButton* resetButton() const { return m_reset; }
    SettingsSliderWithEditableValue* ySlider() const { return m_y; }
    SettingsSliderWithEditableValue* chromaSlider() const { return m_chroma; }
    SettingsSliderWithEditableValue* cbSlider() const { return m_cb; }
    SettingsSliderWithEditableValue* crSlider() const { return m_cr; }
    SliderLink* cbCrLink() const { return m_cbCrLink; }
    QButtonGroup* ntscIreGroup() const { return m_ntscIre; }

public slots:
    void onVideoInputChanged(int connection);
    void onSetDefaultAudioInput(int connection);
    void onResetVideoInputSliderLevels();
    void onVideoInputChromaChanged(double value);
    void onPropertyChanged() override;
    void onApplyChanges() override;

private:
    void buildNtscIre();

    QButtonGroup* m_inputGroup = nullptr;
    SettingsCheckBox* m_timecode = nullptr;
    CardSection* m_sdiSection = nullptr;
    QButtonGroup* m_capturePsF = nullptr;
    CardSection* m_analogSection = nullptr;
    FlatImageButton* m_reset = nullptr;
    SettingsSliderWithEditableValue* m_y = nullptr;
    SettingsSliderWithEditableValue* m_chroma = nullptr;
    SettingsSliderWithEditableValue* m_cb = nullptr;
    SettingsSliderWithEditableValue* m_cr = nullptr;
    SliderLink* m_cbCrLink = nullptr;
    QButtonGroup* m_ntscIre = nullptr;
};
