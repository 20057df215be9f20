#pragma once

#include "settingssliderwitheditablevalue.h"
#include "sliderlink.h"
#include "zeltrasettingstab.h"

#include <QMap>
#include <QPointer>
#include <QVector>

class CardSection;
class ImageGroupButton;
class QButtonGroup;
class SettingsCheckBox;

// The card's "Audio" tab: the audio input connector, analog input and output
// channel levels or consumer ("HiFi") levels, microphone gain and phantom
// power, AES/EBU levels, the analog/AES split of the outputs and the
// headphone volume. The channel rows are rebuilt when the input or the HiFi
// setting changes how many channels there are.
class AudioSettings : public ZeltraSettingsTab
{
    Q_OBJECT
public:
    explicit AudioSettings(VisibleZeltra& device, QWidget* parent = nullptr);

    // True while the card offers nothing on this tab (the tab is hidden).
    bool shouldHide() const;
    void updateAnalogAudioInputChannels(int input);
    void updateAnalogAudioOutputChannels();

    // The generic Analog flag (4) goes when XLR (8) or RCA (16) names the
    // analog connectors more precisely.
    static int64_t formatAnalogAudioFlags(int64_t flags);

    QButtonGroup* inputGroup() const { return m_inputGroup; }
    QMap<uint32_t, ImageGroupButton*> inputButtons() const { return m_inputButtons; }
    QVector<SettingsSliderWithEditableValue*> inputChannelSliders() const { return m_in.sliders; }
    QVector<SettingsSliderWithEditableValue*> outputChannelSliders() const { return m_out.sliders; }
    SliderLink* inputChannelLink() const { return m_in.link; }
    SliderLink* outputChannelLink() const { return m_out.link; }
    SettingsCheckBox* hifiBox() const { return m_hifi; }
    SettingsCheckBox* phantomPowerBox() const { return m_phantom; }
    SettingsSliderWithEditableValue* microphoneGainSlider() const { return m_micGain; }
    SettingsSliderWithEditableValue* aesInputSlider() const { return m_aesInput; }
    SettingsSliderWithEditableValue* aesOutputSlider() const { return m_aesOutput; }
    SettingsSliderWithEditableValue* headphoneSlider() const { return m_headphone; }
    QButtonGroup* outputSwitchGroup() const { return m_outputSwitch; }
    CardSection* inputSection() const { return m_inputSection; }
    CardSection* inputLevelsSection() const { return m_in.section; }
    CardSection* outputLevelsSection() const { return m_out.section; }
    CardSection* microphoneSection() const { return m_micSection; }
    CardSection* aesSection() const { return m_aesSection; }

public slots:
    void onInputChanged(int input);
    void onAnalogConsumerLevelsClicked();
    void onResetAnalogAudioInputLevels();
    void onResetAnalogAudioOutputLevels();
    void onResetAESEBULevels();
    void onApplyChanges() override;
    void onPropertyChanged() override;

private:
    // The channel rows of one direction.
    struct Channels {
        bool input = true;
        CardSection* section = nullptr;
        QVector<SettingsSliderWithEditableValue*> sliders;
        QPointer<SliderLink> link;
        QString linkKey;
        // Whether the toolkit put a spacer under the section's title.
        bool leadingSpacer = false;
    };

    void updateChannels(Channels& channels, bool build);
    void rebuildChannels(Channels& channels, int count);
    void loadChannels(Channels& channels);
    void commitTypedLevels(Channels& channels);
    void resetChannels(Channels& channels);
    int channelCount(const Channels& channels) const;
    bool supportsChannel(const Channels& channels, int channel) const;
    double channelLevel(const Channels& channels, int channel) const;
    void setChannelLevel(const Channels& channels, int channel, double level);
    void updateEmbeddedImage();
    int currentInput() const;

    QButtonGroup* m_inputGroup = nullptr;
    QMap<uint32_t, ImageGroupButton*> m_inputButtons;
    Channels m_in;
    Channels m_out;
    SettingsCheckBox* m_hifi = nullptr;
    SettingsSliderWithEditableValue* m_micGain = nullptr;
    SettingsCheckBox* m_phantom = nullptr;
    SettingsSliderWithEditableValue* m_aesInput = nullptr;
    SettingsSliderWithEditableValue* m_aesOutput = nullptr;
    QButtonGroup* m_outputSwitch = nullptr;
    SettingsSliderWithEditableValue* m_headphone = nullptr;

    CardSection* m_inputSection = nullptr;
    CardSection* m_analogSection = nullptr;
    CardSection* m_micSection = nullptr;
    CardSection* m_aesSection = nullptr;
};
