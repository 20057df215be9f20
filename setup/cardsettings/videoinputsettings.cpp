#include "videoinputsettings.h"
#include "hidpipixmap.h"

#include "analoglevelsliders.h"
#include "buttonrowtbase.h"
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

const QString VideoInputSettings::kCbCrLinkedKey = QStringLiteral("AnalogVideoInputCbCrLinked");

VideoInputSettings::VideoInputSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    const int64_t inputs = device.getVideoInputConnections();
    QVector<QPixmap> pixmaps;
    QVector<uint> flags;
    QStringList captions;
    bool offersAnalog = false;
    for (auto it = kVideoConnections.cbegin(); it != kVideoConnections.cend(); ++it) {
        if (!(inputs & it.key()))
            continue;
        pixmaps << loadPicture(it->image);
        flags << it.key();
        captions << it->caption;
        offersAnalog = offersAnalog || isAnalogVideo(it.key());
    }
    // A single connector leaves nothing to choose.
    if (flags.size() > 1) {
        addSection(tr("Input Connection"));
        m_inputGroup = addImageButtonGroup(pixmaps, flags, captions);
        // After the choice is applied: an input the card refused moves
        // neither the audio input nor the rows shown.
        connect(this, &SettingsTab::buttonGroupChoiceChanged, this, [this](QButtonGroup* group, int id) {
            if (group != m_inputGroup)
                return;
            const int held = int(this->device().getVideoInputConnection());
            if (held == id)
                onSetDefaultAudioInput(id);
            onVideoInputChanged(held);
        });
    }

    if (device.hasExternalTimeCodeInput()) {
        beginCheckBoxGroup(QString());
        m_timecode = addCheckBoxGroupRow(tr("Use XLR Timecode Input"));
        endCheckBoxGroup();
    }

    // Cards that switch between progressive and PsF by themselves need no choice.
    if (device.supportsCapturePsF() && !device.supportsPsFAutoSwitching()) {
        m_sdiSection = addSection(tr("SDI Input"));
        m_capturePsF = beginRadioGroup(tr("1080p HD and 2K:"));
        addRadioButtonRow(tr("Captured as 1080p progressive video"), 0);
        addRadioButtonRow(tr("Captured as 1080PsF segmented video"), 1);
        endRadioGroup();
    }

    const bool gain = device.supportsAnalogVideoInputGain(8) || device.supportsAnalogVideoInputGain(16)
        || device.supportsAnalogVideoInputGain(32);
    if (gain) {
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
        ButtonRowTBase(m_ntscIre).set((device().getAnalogVideoOutputFlags() & 1) ? 3 : 2);
    }
}

void VideoInputSettings::onSetDefaultAudioInput(int connection)
{
    int64_t audio = 1; // embedded, for SDI, HDMI and optical
    if (isAnalogVideo(uint32_t(connection))) {
        const int64_t available = device().getAudioInputConnections();
        audio = 4;
        for (int64_t preferred : { 2, 8, 16 }) { // AES/EBU, XLR, RCA
            if (available & preferred) {
                audio = preferred;
                break;
            }
        }
    }
    device().setAudioInputConnection(audio);
    emit device().resetAudioInputs();
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
        device().setVideoInputConnection(input);
        onVideoInputChanged(int(device().getVideoInputConnection()));
    }
    if (m_timecode && hasChanged(*m_timecode))
        device().setUseLTCTimecode(m_timecode->isChecked());
    if (m_capturePsF && hasChanged(*m_capturePsF))
        device().setCapture1080pAsPsF(m_capturePsF->checkedId() == 1);
    if (m_y && hasChanged(*m_y))
        device().setAnalogVideoInputGainLevel(input, m_y->realValue());
    if (m_chroma && hasChanged(*m_chroma))
        device().setAnalogVideoInputChromaGainLevel(input, m_chroma->realValue());
    if (m_cb && hasChanged(*m_cb))
        device().setAnalogVideoInputCbLevel(input, m_cb->realValue());
    if (m_cr && hasChanged(*m_cr))
        device().setAnalogVideoInputCrLevel(input, m_cr->realValue());
    if (m_cbCrLink)
        deviceSettings().setValue(kCbCrLinkedKey, m_cbCrLink->isLinked());
    if (m_ntscIre && hasChanged(*m_ntscIre)) {
        const int64_t flags = device().getAnalogVideoOutputFlags();
        device().setAnalogVideoOutputFlags(m_ntscIre->checkedId() == 3 ? (flags | 1) : (flags & ~int64_t(1)));
    }
}
