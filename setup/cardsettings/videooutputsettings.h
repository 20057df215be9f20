#pragma once

#include "zeltrasettingstab.h"

class CardSection;
class FlatImageButton;
class QButtonGroup;
class SettingsCheckBox;
class SettingsComboBox;
class SettingsSliderWithEditableValue;
class SliderLink;

// The card's "Video Output" tab: default standard, what the output shows
// when paused, idle or capturing, SDI formats and link, HDMI 3D packing,
// the active analog outputs and their levels, the NTSC black level and the
// reference timing offset.
class VideoOutputSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit VideoOutputSettings(VisibleZeltra& device, QWidget* parent = nullptr);

    // Whether Cb and Cr move together, per card.
    static const QString kCbCrLinkedKey;

    SettingsComboBox* defaultStandardCombo() const { return m_defaultStandard; }
    QButtonGroup* whenPausedGroup() const { return m_whenPaused; }
    QButtonGroup* playbackGroup() const { return m_playback; }
    QButtonGroup* duringCaptureGroup() const { return m_duringCapture; }
    CardSection* sdiSection() const { return m_sdiSection; }
    QButtonGroup* colourSpaceGroup() const { return m_colourSpace; }
    QButtonGroup* levelAGroup() const { return m_levelA; }
    QButtonGroup* output1080pGroup() const { return m_output1080p; }
    QButtonGroup* sdiConnectorGroup() const { return m_sdiConnector; }
    SettingsComboBox* packing3DCombo() const { return m_packing3D; }
    QButtonGroup* analogOutputGroup() const { return m_analogOutputs; }
    CardSection* levelsSection() const { return m_levelsSection; }
    SettingsSliderWithEditableValue* ySlider() const { return m_y; }
    SettingsSliderWithEditableValue* chromaSlider() const { return m_chroma; }
    SettingsSliderWithEditableValue* cbSlider() const { return m_cb; }
    SettingsSliderWithEditableValue* crSlider() const { return m_cr; }
    SliderLink* cbCrLink() const { return m_cbCrLink; }
    SettingsCheckBox* betacamBox() const { return m_betacam; }
    QButtonGroup* ntscIreGroup() const { return m_ntscIre; }
    SettingsSliderWithEditableValue* referenceSlider() const { return m_reference; }

public slots:
    void onVideoOutputChanged();
    void onResetVideoOutputSliderLevels();
    void onVideoOutputChromaChanged(double value);
    void onResetReferenceInputSliderLevels();
    void onPropertyChanged() override;
    void onApplyChanges() override;

private:
    void buildGeneral();
    void buildSdiOutput();
    void buildAnalogOutput();
    void buildReference();
    // Starts the "SDI Output" section on its first row.
    void ensureSdiSection();
    bool changed(QObject* control) { return control && hasChanged(*control); }

    SettingsComboBox* m_defaultStandard = nullptr;
    QButtonGroup* m_whenPaused = nullptr;
    QButtonGroup* m_playback = nullptr;
    QButtonGroup* m_duringCapture = nullptr;
    CardSection* m_sdiSection = nullptr;
    QButtonGroup* m_colourSpace = nullptr;
    QButtonGroup* m_levelA = nullptr;
    QButtonGroup* m_output1080p = nullptr;
    QButtonGroup* m_sdiConnector = nullptr;
    SettingsComboBox* m_packing3D = nullptr;
    QButtonGroup* m_analogOutputs = nullptr;
    CardSection* m_levelsSection = nullptr;
    FlatImageButton* m_levelsReset = nullptr;
    SettingsSliderWithEditableValue* m_y = nullptr;
    SettingsSliderWithEditableValue* m_chroma = nullptr;
    SettingsSliderWithEditableValue* m_cb = nullptr;
    SettingsSliderWithEditableValue* m_cr = nullptr;
    SliderLink* m_cbCrLink = nullptr;
    SettingsCheckBox* m_betacam = nullptr;
    QButtonGroup* m_ntscIre = nullptr;
    FlatImageButton* m_referenceReset = nullptr;
    SettingsSliderWithEditableValue* m_reference = nullptr;
};
