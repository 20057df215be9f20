#include "videoinputsettings.h"
#include "hidpipixmap.h"

#include "analoglevelsliders.h"
#include "buttonrowtbase.h"
#include "cardrules.h"
#include "displaymode.h"
#include "flatimagebutton.h"
#include "settingscheckbox.h"
#include "settingsradiobutton.h"
#include "settingssliderwitheditablevalue.h"
#include "sliderlink.h"
#include "staticdata.h"
#include "visiblezeltra.h"
#include "zeltradevicesettings.h"

#include <QButtonGroup>
#include <QPixmap>
#include <QSignalBlocker>

#include <utility>

const QString VideoInputSettings::kCbCrLinkedKey = QStringLiteral("AnalogVideoInputCbCrLinked");

VideoInputSettings::VideoInputSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    QVector<QPixmap> pixmaps;
    QVector<uint> flags;
    QStringList captions;
    for (uint32_t flag : CardRules::videoInputChoices(device)) {
        const VideoConnectionInfo info = kVideoConnections.value(flag);
        pixmaps << loadPicture(info.image);
        flags << flag;
        captions << info.caption;
    }
    const bool offersAnalog = CardRules::offersAnalogVideoInput(device);
    // A single connector leaves nothing to choose.
    if (flags.size() > 1) {
        addSection(tr("Input Connection"));
        m_inputGroup = addImageButtonGroup(pixmaps, flags, captions);
        nameSetting(m_inputGroup, "video-input");
        // After the choice is applied (with the audio input it brings): the
        // rows follow what the card took.
        connect(this, &SettingsTab::buttonGroupChoiceChanged, this, [this](QButtonGroup* group) {
            if (group == m_inputGroup)
                onVideoInputChanged(int(this->device().getVideoInputConnection()));
        });
    }

    if (device.hasExternalTimeCodeInput()) {
        beginCheckBoxGroup(QString());
        m_timecode = addCheckBoxGroupRow(tr("Use XLR Timecode Input"));
        nameSetting(m_timecode, "xlr-timecode");
        endCheckBoxGroup();
    }

    // Cards that switch between progressive and PsF by themselves need no choice.
    if (CardRules::offersCapturePsFChoice(device)) {
        m_sdiSection = addSection(tr("SDI Input"));
        m_capturePsF = beginRadioGroup(tr("1080p HD and 2K:"));
        addRadioButtonRow(tr("Captured as 1080p progressive video"), 0);
        addRadioButtonRow(tr("Captured as 1080PsF segmented video"), 1);
        endRadioGroup();
        nameSetting(m_capturePsF, "capture-1080p");
    }

    if (CardRules::offersAnalogVideoInputLevels(device)) {
        m_analogSection = addSection(tr("Analog Video Input Levels"));
        m_reset = addSectionButton(m_analogSection, QStringLiteral(":/Refresh"));
        connect(m_reset, &QAbstractButton::clicked, this, &VideoInputSettings::onResetVideoInputSliderLevels);
        double minimum = 0.0;
        double maximum = 0.0;
        device.getAnalogVideoInputGainLevelRange(minimum, maximum);
        m_y = addSliderRowWithEditableValue(tr("Y:"), minimum, maximum, 2, QString(), false, 0.0);
        m_chroma = addSliderRowWithEditableValue(tr("Chroma:"), minimum, maximum, 2, QString(), false, 0.0);
        connect(m_chroma, qOverload<double>(&SettingsSliderWithEditableValue::valueChanged), this,
                &VideoInputSettings::onVideoInputChromaChanged);
        beginRowGroup();
        m_cb = addSliderRowWithEditableValue(tr("Cb:"), minimum, maximum, 2, QString(), false, 0.0);
        m_cr = addSliderRowWithEditableValue(tr("Cr:"), minimum, maximum, 2, QString(), false, 0.0);
        endRowGroup();
        nameSetting(m_y, "video-input-y");
        nameSetting(m_chroma, "video-input-chroma");
        nameSetting(m_cb, "video-input-cb");
        nameSetting(m_cr, "video-input-cr");
        m_cbCrLink = linkSliders(m_cb, m_cr, SliderLink::Offset);
        m_cbCrLink->setLinked(deviceSettings().value(kCbCrLinkedKey, true).toBool());
        // Kept at once: the next refresh reads it back.
        connect(m_cbCrLink, &SliderLinkBase::onSliderLinkClicked, this,
                [this](bool linked) { deviceSettings().setValue(kCbCrLinkedKey, linked); });
        if (offersAnalog)
            buildNtscIre();
    } else if (offersAnalog) {
        m_analogSection = addSection(tr("Analog Video Input"));
        buildNtscIre();
    }

    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

void VideoInputSettings::buildNtscIre()
{
    m_ntscIre = beginRadioGroup(tr("NTSC IRE:"));
    SettingsRadioButton* japan = addRadioButtonRow(tr("0.0 (Japan)"), 2);
    addRadioButtonRow(tr("7.5 (USA)"), 3);
    endRadioGroup();
    nameSetting(m_ntscIre, "video-input-ntsc-ire");
    japan->adjustSize();
    addIconWithRolloverText(loadPicture(QStringLiteral(":/Info")),
                            tr("The NTSC IRE option on the Video Output tab will be changed accordingly."), japan);
}

void VideoInputSettings::onVideoInputChanged(int connection)
{
    const uint32_t flag = uint32_t(connection);
    const bool analog = isAnalogVideo(flag);
    showSection(m_sdiSection, flag == 1);
    // Showing a section shows all its rows; the rows that do not fit this
    // input are hidden again below.
    showSection(m_analogSection, analog);
    if (analog && m_y) {
        const bool gain = device().supportsAnalogVideoInputGain(flag);
        m_reset->setVisible(gain);
        if (gain) {
            AnalogLevelSliders::load(m_y, device().getAnalogVideoInputGainLevel(flag));
            showRowContaining(m_y, true);
            const bool component = flag == 8;
            if (component) {
                AnalogLevelSliders::load(m_cb, device().getAnalogVideoInputCbLevel(flag));
                AnalogLevelSliders::load(m_cr, device().getAnalogVideoInputCrLevel(flag));
            } else {
                AnalogLevelSliders::load(m_chroma, device().getAnalogVideoInputChromaGainLevel(flag));
            }
            showRowContaining(m_chroma, !component);
            showRowContaining(m_cb, component);
            showRowContaining(m_cr, component);
            m_cbCrLink->setLinked(deviceSettings().value(kCbCrLinkedKey, true).toBool());
        } else {
            for (SettingsSliderWithEditableValue* slider : { m_y, m_chroma, m_cb, m_cr })
                showRowContaining(slider, false);
        }
    }
    if (m_ntscIre) {
        showRowContaining(m_ntscIre->buttons().first(), analog);
        ButtonRowTBase(m_ntscIre).set(CardRules::ntscIreIsUsa(device()) ? 3 : 2);
    }
}

void VideoInputSettings::onSetDefaultAudioInput(int connection)
{
    CardRules::setDefaultAudioInput(device(), uint32_t(connection));
}

void VideoInputSettings::onResetVideoInputSliderLevels()
{
    AnalogLevelSliders::reset(m_y, m_chroma, m_cbCrLink);
}

void VideoInputSettings::onVideoInputChromaChanged(double value)
{
    if (m_cbCrLink)
        m_cbCrLink->resetSliders(value);
}

void VideoInputSettings::onPropertyChanged()
{
    const int connection = int(device().getVideoInputConnection());
    ButtonRowTBase(m_inputGroup).setOrClear(connection);
    onVideoInputChanged(connection);
    if (m_timecode) {
        const QSignalBlocker blocker(m_timecode);
        m_timecode->setChecked(device().getUseLTCTimecode());
    }
    ButtonRowTBase(m_capturePsF).set(device().getCapture1080pAsPsF() ? 1 : 0);
}

void VideoInputSettings::onApplyChanges()
{
    int checked = -1;
    const uint32_t input = ButtonRowTBase(m_inputGroup).get(checked) ? uint32_t(checked)
                                                                       : uint32_t(device().getVideoInputConnection());
    if (m_inputGroup && hasChanged(*m_inputGroup)) {
        CardRules::setVideoInput(device(), input);
        onVideoInputChanged(int(device().getVideoInputConnection()));
    }
    if (m_timecode && hasChanged(*m_timecode))
        device().setUseLTCTimecode(m_timecode->isChecked());
    if (m_capturePsF && hasChanged(*m_capturePsF))
        device().setCapture1080pAsPsF(m_capturePsF->checkedId() == 1);
    using CardRules::Level;
    const std::pair<SettingsSliderWithEditableValue*, Level> levels[] = {
        { m_y, Level::Y }, { m_chroma, Level::Chroma }, { m_cb, Level::Cb }, { m_cr, Level::Cr }
    };
    for (const auto& [slider, level] : levels) {
        if (slider && hasChanged(*slider))
            CardRules::setVideoInputLevel(device(), level, input, slider->realValue());
    }
    if (m_cbCrLink)
        deviceSettings().setValue(kCbCrLinkedKey, m_cbCrLink->isLinked());
    if (m_ntscIre && hasChanged(*m_ntscIre))
        CardRules::setNtscIre(device(), m_ntscIre->checkedId() == 3);
}
