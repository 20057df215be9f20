#include "audiosettings.h"
#include "hidpipixmap.h"

#include "analoglevelsliders.h"
#include "cardrules.h"
#include "cardsection.h"
#include "displaymode.h"
#include "flatimagebutton.h"
#include "imagegroupbutton.h"
#include "rowspacer.h"
#include "settingscheckbox.h"
#include "settingssliderwitheditablevalue.h"
#include "settingsslider.h"
#include "staticdata.h"
#include "visiblezeltra.h"
#include "zeltradevicesettings.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QSignalBlocker>

namespace {
constexpr int kEmbedded = 1;
constexpr int kAesEbu = 2;
constexpr int kMicrophone = 32;
// AES/EBU, XLR, RCA and Microphone: the inputs that count towards showing the tab.
constexpr int64_t kCountedInputs = 0x3A;

constexpr double kLevelMinimum = -12.0;
constexpr double kLevelMaximum = 12.0;

const char* const kInputLinkKey = "AnalogAudioInputChannelLinked";
const char* const kOutputLinkKey = "AnalogAudioOutputChannelLinked";

// Checks `id` in an exclusive group without signals, or nothing when the
// group has no such button, and repaints the picture buttons' looks.
void checkImageButton(QButtonGroup* group, const QMap<uint32_t, ImageGroupButton*>& buttons, uint32_t id)
{
    if (!group)
        return;
    const QSignalBlocker blocker(group);
    ImageGroupButton* target = buttons.value(id);
    if (target) {
        target->button()->setChecked(true);
    } else if (QAbstractButton* checked = group->checkedButton()) {
        group->setExclusive(false);
        checked->setChecked(false);
        group->setExclusive(true);
    }
    for (ImageGroupButton* button : buttons)
        button->onToggled(button == target);
}

int bitCount(int64_t value)
{
    int count = 0;
    for (uint64_t v = uint64_t(value); v; v &= v - 1)
        ++count;
    return count;
}
} // namespace

int64_t AudioSettings::formatAnalogAudioFlags(int64_t flags)
{
    return CardRules::formatAnalogAudioFlags(flags);
}

AudioSettings::AudioSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    m_in.input = true;
    m_in.linkKey = QLatin1String(kInputLinkKey);
    m_out.input = false;
    m_out.linkKey = QLatin1String(kOutputLinkKey);

    {
        QVector<QPixmap> pixmaps;
        QVector<uint> values;
        QStringList captions;
        for (uint32_t flag : CardRules::audioInputChoices(device)) {
            const AudioConnectionInfo info = kAudioConnections.value(flag);
            pixmaps << loadPicture(info.image);
            values << flag;
            captions << device.getAudioInputConnectionTranslated(info.caption);
        }
        if (!pixmaps.isEmpty()) {
            m_inputSection = addSection(tr("Audio Input"));
            QVector<ImageGroupButton*> buttons;
            m_inputGroup = addImageButtonGroup(pixmaps, values, captions, &buttons);
            nameSetting(m_inputGroup, "audio-input");
            for (int i = 0; i < buttons.size() && i < values.size(); ++i)
                m_inputButtons.insert(values.at(i), buttons.at(i));
            // After the choice is applied: the rows follow what the card took.
            connect(this, &SettingsTab::buttonGroupChoiceChanged, this, [this](QButtonGroup* group) {
                if (group == m_inputGroup)
                    onInputChanged(int(this->device().getAudioInputConnection()));
            });
        }
    }

    if (device.supportsAnalogAudioConsumerLevels()) {
        m_analogSection = addSection(tr("Analog Audio"));
        // In the control column, like the phantom power box.
        m_hifi = addCheckBoxRow(QString(), tr("Use HiFi Audio Levels"));
        nameSetting(m_hifi, "hifi-audio-levels");
        if (m_hifi) {
            m_hifi->setChecked(device.getUseAnalogAudioConsumerLevels());
            connect(m_hifi, &QAbstractButton::clicked, this, &AudioSettings::onAnalogConsumerLevelsClicked);
        }

        m_in.section = addSection(tr("Analog Audio Input Levels"));
        m_in.leadingSpacer = sections().size() == 1;
        connect(addSectionButton(m_in.section, QStringLiteral(":/Refresh")), &QAbstractButton::clicked, this,
                &AudioSettings::onResetAnalogAudioInputLevels);
        updateAnalogAudioInputChannels(currentInput());
    }

    const bool phantom = device.supportsMicrophonePhantomPower();
    if (device.supportsMicrophoneGainControl() || phantom) {
        m_micSection = addSection(tr("Microphone"));
        if (device.supportsMicrophoneGainControl())
            m_micGain = addSliderRowWithEditableValue(tr("Input Level:"), 0.0, 64.0, 0, tr("dB"));
        nameSetting(m_micGain, "microphone-level");
        if (phantom) {
            m_phantom = addCheckBoxRow(QString(), tr("Use +48V Phantom Power"));
            nameSetting(m_phantom, "phantom-power");
            m_phantom->adjustSize();
            const QString warning = tr("WARNING: Please check that your microphone requires +48V Phantom Power,")
                + QString(27, QLatin1Char('\t')) + tr("otherwise you can cause damage to your microphone.");
            addIconWithRolloverText(loadPicture(QStringLiteral(":/Info")), warning, m_phantom);
        }
    }

    const bool aesIn = CardRules::offersAesInputLevel(device);
    const bool aesOut = CardRules::offersAesOutputLevel(device);
    if (aesIn || aesOut) {
        m_aesSection = addSection(tr("AES/EBU"));
        connect(addSectionButton(m_aesSection, QStringLiteral(":/Refresh")), &QAbstractButton::clicked, this,
                &AudioSettings::onResetAESEBULevels);
        if (aesIn)
            m_aesInput = addSliderRowWithEditableValue(tr("Input Level:"), kLevelMinimum, kLevelMaximum, 2, tr("dB"));
        nameSetting(m_aesInput, "aes-input-level");
        if (aesOut)
            m_aesOutput = addSliderRowWithEditableValue(tr("Output Level:"), kLevelMinimum, kLevelMaximum, 2,
                                                        tr("dB"));
        nameSetting(m_aesOutput, "aes-output-level");
    }

    if (device.supportsAnalogAudioConsumerLevels()) {
        m_out.section = addSection(tr("Analog Audio Output Levels"));
        m_out.leadingSpacer = sections().size() == 1;
        connect(addSectionButton(m_out.section, QStringLiteral(":/Refresh")), &QAbstractButton::clicked, this,
                &AudioSettings::onResetAnalogAudioOutputLevels);
        updateAnalogAudioOutputChannels();
    }

    if (device.supportsSwitchableAnalogAudioOutputs()) {
        addSection(tr("Audio Outputs"));
        const QPixmap composite(kVideoConnections.value(16).image);
        const QString label = tr("Set Analog Audio Output:");
        const GridSettings grid{ 24, 14, 33, 2, 15, 7, 15 };
        m_outputSwitch = addImageButtonGroup(&label, { composite, composite },
                                             { zeltraCode("anlg"), zeltraCode("aes ") },
                                             { tr("4 Analog & 2 AES/EBU"), tr("2 Analog & 6 AES/EBU") }, nullptr,
                                             grid, false);
        nameSetting(m_outputSwitch, "analog-audio-output");
    }

    if (device.supportsHeadphoneGainControl()) {
        addSection(tr("Headphone"));
        m_headphone = addSliderRowWithEditableValue(tr("Volume:"), 0.0, 1.0, 2, QString());
        nameSetting(m_headphone, "headphone-volume");
        m_headphone->setValueDisplayVisible(false);
    }

    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

int AudioSettings::currentInput() const
{
    return int(device().getAudioInputConnection());
}

bool AudioSettings::shouldHide() const
{
    int count = bitCount(device().getAudioInputConnections() & kCountedInputs);
    if (device().getAudioInputConnection() == kEmbedded)
        ++count;
    const bool anySection = m_analogSection || m_in.section || m_micSection || m_out.section || m_aesSection;
    return count <= 1 && !anySection;
}

// ---- channel rows -------------------------------------------------------------

int AudioSettings::channelCount(const Channels& channels) const
{
    return CardRules::analogAudioChannelCount(device(), channels.input);
}

bool AudioSettings::supportsChannel(const Channels& channels, int channel) const
{
    return channels.input ? device().supportsAnalogAudioInputScaleChannel(channel)
                          : device().supportsAnalogAudioOutputScaleChannel(channel);
}

double AudioSettings::channelLevel(const Channels& channels, int channel) const
{
    return channels.input ? device().getAnalogAudioInputScaleChannel(channel)
                          : device().getAnalogAudioOutputScaleChannel(channel);
}

void AudioSettings::setChannelLevel(const Channels& channels, int channel, double level)
{
    if (channels.input)
        device().setAnalogAudioInputScaleChannel(channel, level);
    else
        device().setAnalogAudioOutputScaleChannel(channel, level);
}

void AudioSettings::updateAnalogAudioInputChannels(int input)
{
    updateChannels(m_in, m_hifi && CardRules::offersAnalogAudioInputChannels(device(), m_hifi->isChecked(), uint32_t(input)));
}

void AudioSettings::updateAnalogAudioOutputChannels()
{
    updateChannels(m_out, m_hifi && CardRules::offersAnalogAudioOutputChannels(device(), m_hifi->isChecked()));
}

void AudioSettings::updateChannels(Channels& channels, bool build)
{
    if (!channels.section)
        return;
    if (!build) {
        showSection(channels.section, false);
        return;
    }
    // Rows that already match the card's channel count are kept: only the
    // values are read again, so a slider being dragged is never replaced.
    const int count = channelCount(channels);
    if (count != channels.sliders.size())
        rebuildChannels(channels, count);
    loadChannels(channels);
    showSection(channels.section, true);
}

void AudioSettings::rebuildChannels(Channels& channels, int count)
{
    commitTypedLevels(channels);
    delete channels.link.data();

    // The spacing and separator after the rows lead to the next section;
    // they stay last while the rows are replaced.
    QList<QWidget*> rows = channels.section->rows();
    QList<QWidget*> trailing;
    while (!rows.isEmpty() && !isAControlRow(rows.last()))
        trailing.prepend(rows.takeLast());
    for (QWidget* filler : qAsConst(trailing))
        channels.section->removeRow(filler);
    for (QWidget* row : qAsConst(rows))
        deleteWidget(row);
    channels.sliders.clear();

    CardSection* previous = currentSection();
    setActiveSection(channels.section);
    if (count > 0) {
        beginRowGroup();
        // Rows meet the section's title directly, as in every section but the first.
        const QList<QWidget*> lead = channels.section->rows();
        if (!channels.leadingSpacer && lead.size() == 1 && qobject_cast<RowSpacer*>(lead.first()))
            deleteWidget(lead.first());
        // The card's own range where it reports one: a level it would refuse
        // cannot be chosen.
        double minimum = 0.0;
        double maximum = 0.0;
        CardRules::analogAudioLevelRange(device(), channels.input, minimum, maximum);
        for (int n = 1; n <= count; ++n) {
            channels.sliders << addSliderRowWithEditableValue(tr("Channel %1:").arg(n), minimum, maximum, 2,
                                                              tr("dB"));
            nameSetting(channels.sliders.last(),
                        QStringLiteral("audio-%1-channel-%2").arg(channels.input ? "input" : "output").arg(n));
        }
        endRowGroup();
    }
    if (channels.sliders.size() >= 2) {
        channels.link = linkSliders(channels.sliders.at(0), channels.sliders.at(1), SliderLink::Offset);
        if (channels.link) {
            channels.link->setLinked(deviceSettings().value(channels.linkKey, true).toBool());
            const QString key = channels.linkKey;
            connect(channels.link, &SliderLinkBase::onSliderLinkClicked, this,
                    [this, key](bool linked) { deviceSettings().setValue(key, linked); });
        }
    }
    for (QWidget* filler : qAsConst(trailing))
        channels.section->addRow(filler);
    setActiveSection(previous);
}

void AudioSettings::loadChannels(Channels& channels)
{
    for (int i = 0; i < channels.sliders.size(); ++i) {
        SettingsSliderWithEditableValue* slider = channels.sliders.at(i);
        slider->setSliderEnabled(supportsChannel(channels, i + 1));
        AnalogLevelSliders::load(slider, channelLevel(channels, i + 1));
    }
}

void AudioSettings::commitTypedLevels(Channels& channels)
{
    // A value still being typed into a row that is about to go is taken
    // as entered, so that rebuilding the rows loses nothing.
    bool committed = false;
    for (SettingsSliderWithEditableValue* slider : qAsConst(channels.sliders)) {
        if (!slider->valueField()->isModified())
            continue;
        slider->valueField()->userDoneEdit();
        slider->onEditableValueChanged();
        committed = true;
    }
    if (!committed)
        return;
    // Written here too, for a rebuild that happens while changes are not watched.
    for (int i = 0; i < channels.sliders.size(); ++i) {
        const double level = channels.sliders.at(i)->realValue();
        if (supportsChannel(channels, i + 1) && channelLevel(channels, i + 1) != level)
            setChannelLevel(channels, i + 1, level);
    }
}

void AudioSettings::resetChannels(Channels& channels)
{
    if (channels.link)
        channels.link->resetSliders(0.0);
    for (SettingsSliderWithEditableValue* slider : qAsConst(channels.sliders)) {
        if (channels.link && (slider == channels.link->sliderA() || slider == channels.link->sliderB()))
            continue;
        slider->setRealValue(0.0);
    }
}

// ---- slots --------------------------------------------------------------------

void AudioSettings::onInputChanged(int input)
{
    updateAnalogAudioInputChannels(input);
    if (m_aesSection) {
        // Without its input row a section holding nothing else would show
        // an empty title.
        showSection(m_aesSection, m_aesOutput || input == kAesEbu);
        if (m_aesInput)
            showRowContaining(m_aesInput, input == kAesEbu);
    }
    if (ImageGroupButton* embedded = m_inputButtons.value(kEmbedded))
        embedded->setVisible(!isAnalogVideo(uint32_t(device().getVideoInputConnection())));
    if (m_inputSection) {
        showSection(m_inputSection, true);
        int visible = 0;
        for (ImageGroupButton* button : qAsConst(m_inputButtons)) {
            if (!button->isHidden())
                ++visible;
        }
        if (visible <= 1)
            showSection(m_inputSection, false);
    }
    if (m_micSection)
        showSection(m_micSection, input == kMicrophone);

    // A hidden button gives its column back. Each picture row lines up on
    // its own: the output switch's long captions would push the input row
    // past the tab's width.
    for (QGridLayout* grid : contentWidget()->findChildren<QGridLayout*>()) {
        bool pictures = false;
        for (int i = 0; i < grid->count() && !pictures; ++i)
            pictures = qobject_cast<ImageGroupButton*>(grid->itemAt(i)->widget()) != nullptr;
        if (!pictures)
            continue;
        for (int c = 0; c < grid->columnCount(); ++c)
            grid->setColumnMinimumWidth(c, 0);
        align({ grid }, kAlignAllToWidest, false);
    }
}

void AudioSettings::onAnalogConsumerLevelsClicked()
{
    const int input = m_inputGroup && m_inputGroup->checkedId() != -1 ? m_inputGroup->checkedId() : currentInput();
    updateAnalogAudioInputChannels(input);
    updateAnalogAudioOutputChannels();
}

void AudioSettings::onResetAnalogAudioInputLevels()
{
    resetChannels(m_in);
}

void AudioSettings::onResetAnalogAudioOutputLevels()
{
    resetChannels(m_out);
}

void AudioSettings::onResetAESEBULevels()
{
    for (SettingsSliderWithEditableValue* slider : { m_aesInput, m_aesOutput }) {
        if (slider)
            slider->setRealValue(0.0);
    }
}

void AudioSettings::updateEmbeddedImage()
{
    ImageGroupButton* embedded = m_inputButtons.value(kEmbedded);
    if (!embedded)
        return;
    const int64_t video = device().getVideoInputConnection();
    if (isAnalogVideo(uint32_t(video)))
        return;
    // The connector that carries the embedded audio: SDI, HDMI, then optical.
    QString image;
    for (uint32_t flag : { 1u, 2u, 4u }) {
        if (video & flag) {
            image = kVideoConnections.value(flag).image;
            break;
        }
    }
    embedded->setImage(loadPicture(image));
}

void AudioSettings::onPropertyChanged()
{
    const int input = currentInput();
    checkImageButton(m_inputGroup, m_inputButtons, uint32_t(input));
    if (m_hifi) {
        const QSignalBlocker blocker(m_hifi);
        m_hifi->setChecked(device().getUseAnalogAudioConsumerLevels());
    }
    onInputChanged(input);
    updateEmbeddedImage();
    updateAnalogAudioOutputChannels();

    if (m_phantom) {
        const QSignalBlocker blocker(m_phantom);
        m_phantom->setChecked(device().getMicrophonePhantomPower());
    }
    AnalogLevelSliders::load(m_micGain, device().getMicrophoneInputGain());
    AnalogLevelSliders::load(m_headphone, device().getHeadphoneInputGain());
    AnalogLevelSliders::load(m_aesInput, device().getDigitalInputScale());
    AnalogLevelSliders::load(m_aesOutput, device().getDigitalOutputScale());
    if (m_outputSwitch) {
        QMap<uint32_t, ImageGroupButton*> buttons;
        for (QAbstractButton* button : m_outputSwitch->buttons()) {
            if (auto* image = qobject_cast<ImageGroupButton*>(button->parentWidget()))
                buttons.insert(uint32_t(m_outputSwitch->id(button)), image);
        }
        checkImageButton(m_outputSwitch, buttons, uint32_t(device().getAnalogAudioOutputSwitch()));
    }
}

void AudioSettings::onApplyChanges()
{
    if (m_inputGroup && hasChanged(*m_inputGroup) && m_inputGroup->checkedId() != -1)
        device().setAudioInputConnection(m_inputGroup->checkedId());
    for (int i = 0; i < m_in.sliders.size(); ++i) {
        if (hasChanged(*m_in.sliders.at(i)))
            device().setAnalogAudioInputScaleChannel(i + 1, m_in.sliders.at(i)->realValue());
    }
    if (m_hifi && hasChanged(*m_hifi))
        device().setUseAnalogAudioConsumerLevels(m_hifi->isChecked());
    if (m_phantom && hasChanged(*m_phantom))
        device().setMicrophonePhantomPower(m_phantom->isChecked());
    for (int i = 0; i < m_out.sliders.size(); ++i) {
        if (hasChanged(*m_out.sliders.at(i)))
            device().setAnalogAudioOutputScaleChannel(i + 1, m_out.sliders.at(i)->realValue());
    }
    if (m_micGain && hasChanged(*m_micGain))
        device().setMicrophoneInputGain(m_micGain->realValue());
    if (m_headphone && hasChanged(*m_headphone))
        device().setHeadphoneInputGain(m_headphone->realValue());
    if (m_aesInput && hasChanged(*m_aesInput))
        device().setDigitalInputScale(m_aesInput->realValue());
    if (m_aesOutput && hasChanged(*m_aesOutput))
        device().setDigitalOutputScale(m_aesOutput->realValue());
    if (m_outputSwitch && hasChanged(*m_outputSwitch) && m_outputSwitch->checkedId() != -1)
        CardRules::setAnalogAudioOutputSwitch(device(), uint32_t(m_outputSwitch->checkedId()));

    if (m_in.link)
        deviceSettings().setValue(m_in.linkKey, m_in.link->isLinked());
    if (m_out.link)
        deviceSettings().setValue(m_out.linkKey, m_out.link->isLinked());
}
