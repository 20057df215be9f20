#include "videooutputsettings.h"
#include "hidpipixmap.h"

#include "analoglevelsliders.h"
#include "buttonrowtbase.h"
#include "cardrules.h"
#include "comboboxtbase.h"
#include "displaymode.h"
#include "flatimagebutton.h"
#include "settingscheckbox.h"
#include "settingscombobox.h"
#include "settingsradiobutton.h"
#include "settingssliderwitheditablevalue.h"
#include "sliderlink.h"
#include "staticdata.h"
#include "visiblezeltra.h"
#include "zeltraapi.h"
#include "zeltradevicesettings.h"
#include "zeltrasettingssliderwitheditablevalueandindependantranges.h"

#include <QButtonGroup>
#include <QIcon>
#include <QPixmap>
#include <QSignalBlocker>

#include <utility>

const QString VideoOutputSettings::kCbCrLinkedKey = QStringLiteral("AnalogVideoOutputCbCrLinked");

namespace {
constexpr uint32_t kAnalogConnections = 8 | 16 | 32;
} // namespace

VideoOutputSettings::VideoOutputSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    buildGeneral();
    buildSdiOutput();
    if (device.supportsHDMI3DPackingFormat()) {
        addSection(tr("HDMI Output"));
        m_packing3D = addComboBoxRow(tr("3D output:"), 240);
        for (const Video3DPackingFormat& format : qAsConst(kVideo3DPackingFormats))
            m_packing3D->addItem(QIcon(loadPicture(format.icon)), format.label, int(format.value));
        nameSetting(m_packing3D, "hdmi-3d-output");
    }
    buildAnalogOutput();
    buildReference();

    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

void VideoOutputSettings::buildGeneral()
{
    addSection(tr("General"));
    m_defaultStandard = addComboBoxRow(tr("Default video standard:"), 240);
    for (const DisplayMode& mode : device().getVideoOutputDisplayModesInDisplayOrder())
        m_defaultStandard->addItem(mode.getName(0u), int(mode.getModeId()));
    addIconWithRolloverText(loadPicture(QStringLiteral(":/Info")), tr("Startup Video Output will use this setting."),
                            m_defaultStandard);
    nameSetting(m_defaultStandard, "default-video-standard");

    if (device().supportsFieldFlickerRemoval()) {
        m_whenPaused = beginRadioGroup(tr("When paused:"));
        addRadioButtonRow(tr("Display a full frame on video output"), 0);
        addRadioButtonRow(tr("Display a single field on video output"), 1);
        endRadioGroup();
        nameSetting(m_whenPaused, "when-paused");
    }
    if (device().supportsIdleOutput()) {
        m_playback = beginRadioGroup(tr("Video playback:"));
        addRadioButtonRow(tr("Displays black output when not playing"), int(zeltraCode("blac")));
        addRadioButtonRow(tr("Displays freeze frame when not playing"), int(zeltraCode("lafa")));
        endRadioGroup();
        nameSetting(m_playback, "video-playback");
    }
    if (device().supportsDisablingCapturePassthrough()) {
        m_duringCapture = beginRadioGroup(tr("During capture:"));
        addRadioButtonRow(tr("Video output displays playback video"), 2);
        addRadioButtonRow(tr("Video output displays input video"), 3);
        endRadioGroup();
        nameSetting(m_duringCapture, "during-capture");
    }
}

void VideoOutputSettings::ensureSdiSection()
{
    if (!m_sdiSection)
        m_sdiSection = addSection(tr("SDI Output"));
}

void VideoOutputSettings::buildSdiOutput()
{
    // The SDI rows only make sense with an SDI output, whatever else the
    // card reports.
    if (!CardRules::hasSdiOutput(device()))
        return;
    if (device().supports444SDI()) {
        ensureSdiSection();
        m_colourSpace = beginRadioGroup(tr("Color space:"));
        addRadioButtonRow(tr("Video is converted to RGB 4:4:4:4"), 4);
        addRadioButtonRow(tr("Video is converted to Y, Cb, Cr 4:2:2"), 5);
        endRadioGroup();
        nameSetting(m_colourSpace, "sdi-color-space");
    }
    if (device().supportsSMPTELevelAOutput()) {
        ensureSdiSection();
        m_levelA = beginRadioGroup(tr("3G-SDI formats:"));
        addRadioButtonRow(tr("Are output as SMPTE Level A"), 6);
        addRadioButtonRow(tr("Are output as SMPTE Level B (Normal)"), 7);
        endRadioGroup();
        nameSetting(m_levelA, "3g-sdi-level");
    }
    if (device().supportsOutputPsF()) {
        ensureSdiSection();
        m_output1080p = beginRadioGroup(tr("1080p HD and 2K:"));
        addRadioButtonRow(tr("Are output as 1080p progressive video"), 8);
        addRadioButtonRow(tr("Are output as 1080PsF segmented video"), 9);
        endRadioGroup();
        nameSetting(m_output1080p, "output-1080p");
    }
    if (device().supportsSDIDualLink()) {
        ensureSdiSection();
        m_sdiConnector = beginRadioGroup(tr("SDI connector:"));
        addRadioButtonRow(tr("Single Link"), int(zeltraCode("lcsl")));
        addRadioButtonRow(tr("Dual Link"), int(zeltraCode("lcdl")));
        if (device().supportsSDIQuadLink())
            addRadioButtonRow(tr("Quad Link"), int(zeltraCode("lcql")));
        endRadioGroup();
        nameSetting(m_sdiConnector, "sdi-link");
    }
}

void VideoOutputSettings::buildAnalogOutput()
{
    QVector<uint32_t> switchable;
    device().getSwitchableAnalogVideoOutputs(switchable);
    if (!switchable.isEmpty()) {
        addSection(tr("Analog Video Output"));
        QVector<QPixmap> pixmaps;
        QVector<uint> flags;
        QStringList captions;
        for (uint32_t flag : qAsConst(switchable)) {
            const VideoConnectionInfo info = kVideoConnections.value(flag);
            pixmaps << loadPicture(info.image);
            flags << flag;
            captions << info.caption;
        }
        m_analogOutputs = addImageButtonGroup(pixmaps, flags, captions);
        // Several analog outputs can be active at once. The tab's repaint of
        // an exclusive group would fade the other checked buttons; each
        // button keeps its own look instead.
        m_analogOutputs->setExclusive(false);
        nameSetting(m_analogOutputs, "analog-video-outputs");
        disconnect(m_analogOutputs, qOverload<QAbstractButton*, bool>(&QButtonGroup::buttonToggled), this,
                   &SettingsTab::onImageGroupButtonToggled);
    }

    if (device().supportsAnalogVideoOutputGain()) {
        m_levelsSection = addSection(tr("Analog Video Output Levels"));
        m_levelsReset = addSectionButton(m_levelsSection, QStringLiteral(":/Refresh"));
        connect(m_levelsReset, &QAbstractButton::clicked, this, &VideoOutputSettings::onResetVideoOutputSliderLevels);
        double minimum = 0.0;
        double maximum = 0.0;
        device().getAnalogVideoOutputGainLevelRange(minimum, maximum);
        m_y = addSliderRowWithEditableValue(tr("Y:"), minimum, maximum, 2, QString(), false, 0.0);
        nameSetting(m_y, "video-output-y");
        if (CardRules::offersVideoOutputChroma(device())) {
            m_chroma = addSliderRowWithEditableValue(tr("Chroma:"), minimum, maximum, 2, QString(), false, 0.0);
            connect(m_chroma, qOverload<double>(&SettingsSliderWithEditableValue::valueChanged), this,
                    &VideoOutputSettings::onVideoOutputChromaChanged);
            beginRowGroup();
            m_cb = addSliderRowWithEditableValue(tr("Cb:"), minimum, maximum, 2, QString(), false, 0.0);
            m_cr = addSliderRowWithEditableValue(tr("Cr:"), minimum, maximum, 2, QString(), false, 0.0);
            endRowGroup();
            nameSetting(m_chroma, "video-output-chroma");
            nameSetting(m_cb, "video-output-cb");
            nameSetting(m_cr, "video-output-cr");
            m_cbCrLink = linkSliders(m_cb, m_cr, SliderLink::Offset);
            m_cbCrLink->setLinked(deviceSettings().value(kCbCrLinkedKey, true).toBool());
            // Kept at once: the next refresh reads it back.
            connect(m_cbCrLink, &SliderLinkBase::onSliderLinkClicked, this,
                    [this](bool linked) { deviceSettings().setValue(kCbCrLinkedKey, linked); });
        }
        beginCheckBoxGroup(QString());
        m_betacam = addCheckBoxGroupRow(tr("Use Betacam Levels"));
        nameSetting(m_betacam, "betacam-levels");
        endCheckBoxGroup();
    }

    if (device().hasAnalogVideoOutputs()) {
        m_ntscIre = beginRadioGroup(tr("NTSC IRE:"));
        SettingsRadioButton* japan = addRadioButtonRow(tr("0.0 (Japan)"), 10);
        addRadioButtonRow(tr("7.5 (USA)"), 11);
        endRadioGroup();
        nameSetting(m_ntscIre, "video-output-ntsc-ire");
        japan->adjustSize();
        addIconWithRolloverText(loadPicture(QStringLiteral(":/Info")),
                                tr("The NTSC IRE option on the Video Input tab will be changed accordingly."), japan);
    }
}

void VideoOutputSettings::buildReference()
{
    if (!device().supportsReferenceInput())
        return;
    CardSection* section = addSection(tr("Reference Input"));
    m_referenceReset = addSectionButton(section, QStringLiteral(":/Refresh"));
    connect(m_referenceReset, &QAbstractButton::clicked, this,
            &VideoOutputSettings::onResetReferenceInputSliderLevels);
    // A full-frame reference takes offsets of up to a frame, typed; the
    // slider keeps the fine range either way.
    const double bound = CardRules::referenceOffsetBound(device());
    m_reference = addSettingsSliderWithEditableValueAndIndependantRanges(tr("Offset:"), -bound, bound, -511.0, 511.0,
                                                                         0, tr("Pixels"));
    nameSetting(m_reference, "reference-offset");
}

void VideoOutputSettings::onVideoOutputChanged()
{
    const uint32_t connection = uint32_t(device().getVideoOutputConnection());
    if (m_analogOutputs) {
        for (QAbstractButton* button : m_analogOutputs->buttons())
            button->setChecked(connection & uint32_t(m_analogOutputs->id(button)));
    }
    ButtonRowTBase(m_whenPaused).set(device().getFieldFlickerRemovalIsEnabled() ? 1 : 0);
    ButtonRowTBase(m_duringCapture).set(device().getCapturePassthroughIsDisabled() ? 2 : 3);
    ButtonRowTBase(m_colourSpace).set(device().get444SDIIsEnabled() ? 4 : 5);
    ButtonRowTBase(m_levelA).set(device().getSMPTELevelAOutput() ? 6 : 7);
    ButtonRowTBase(m_output1080p).set(device().getOutput1080pAsPsF() ? 9 : 8);

    if (m_y) {
        if (m_betacam) {
            const QSignalBlocker blocker(m_betacam);
            m_betacam->setChecked(CardRules::betacamLevels(device()));
        }
        AnalogLevelSliders::load(m_y, device().getAnalogVideoOutputGainLevel(connection));
        showRowContaining(m_y, true);
        if (m_chroma) {
            const bool component = connection & 8;
            if (component) {
                AnalogLevelSliders::load(m_cb, device().getAnalogVideoOutputCbLevel(connection));
                AnalogLevelSliders::load(m_cr, device().getAnalogVideoOutputCrLevel(connection));
                m_cbCrLink->setLinked(deviceSettings().value(kCbCrLinkedKey, true).toBool());
            } else {
                AnalogLevelSliders::load(m_chroma, device().getAnalogVideoOutputChromaGainLevel(connection));
            }
            showRowContaining(m_chroma, !component);
            showRowContaining(m_cb, component);
            showRowContaining(m_cr, component);
        }
    }
    if (m_ntscIre) {
        showRowContaining(m_ntscIre->buttons().first(), connection & kAnalogConnections);
        ButtonRowTBase(m_ntscIre).set(CardRules::ntscIreIsUsa(device()) ? 11 : 10);
    }
}

void VideoOutputSettings::onResetVideoOutputSliderLevels()
{
    AnalogLevelSliders::reset(m_y, m_chroma, m_cbCrLink);
}

void VideoOutputSettings::onVideoOutputChromaChanged(double value)
{
    if (m_cbCrLink)
        m_cbCrLink->resetSliders(value);
}

void VideoOutputSettings::onResetReferenceInputSliderLevels()
{
    if (m_reference)
        m_reference->setRealValue(0.0);
}

void VideoOutputSettings::onPropertyChanged()
{
    ComboBoxTBase(m_defaultStandard).setOrClear(int(device().getDefaultVideoOutputDisplayMode()));
    ButtonRowTBase(m_whenPaused).set(device().getFieldFlickerRemovalIsEnabled() ? 1 : 0);
    ButtonRowTBase(m_playback).setOrClear(int(device().getVideoOutputIdleOperation()));
    ButtonRowTBase(m_duringCapture).set(device().getCapturePassthroughIsDisabled() ? 2 : 3);
    ButtonRowTBase(m_colourSpace).set(device().get444SDIIsEnabled() ? 4 : 5);
    ButtonRowTBase(m_levelA).set(device().getSMPTELevelAOutput() ? 6 : 7);
    ButtonRowTBase(m_sdiConnector).setOrClear(int(device().getSDILinkConfiguration()));
    ComboBoxTBase(m_packing3D).setOrClear(int(device().getHDMI3DPackingFormat()));
    onVideoOutputChanged();
    AnalogLevelSliders::load(m_reference, double(device().getReferenceInputSamples()));
}

void VideoOutputSettings::onApplyChanges()
{
    if (changed(m_reference))
        CardRules::setReferenceOffset(device(), m_reference->realValue());
    if (changed(m_analogOutputs)) {
        // The connection is a set: the buttons switch only the analog
        // outputs they show, the digital outputs stay as they are.
        uint32_t shown = 0;
        uint32_t on = 0;
        for (QAbstractButton* button : m_analogOutputs->buttons()) {
            shown |= uint32_t(m_analogOutputs->id(button));
            if (button->isChecked())
                on |= uint32_t(m_analogOutputs->id(button));
        }
        CardRules::setAnalogVideoOutputs(device(), shown, on);
        onVideoOutputChanged();
    }
    int value = 0;
    if (changed(m_defaultStandard) && ComboBoxTBase(m_defaultStandard).get(value))
        device().setVideoOutputDisplayMode(uint32_t(value));
    if (changed(m_whenPaused))
        device().setFieldFlickerRemovalIsEnabled(m_whenPaused->checkedId() == 1);
    if (changed(m_duringCapture))
        device().setCapturePassthroughDisabled(m_duringCapture->checkedId() == 2);
    if (changed(m_sdiConnector) && m_sdiConnector->checkedId() != -1)
        device().setSDILinkConfiguration(uint32_t(m_sdiConnector->checkedId()));
    if (changed(m_colourSpace))
        device().set444SDIIsEnabled(m_colourSpace->checkedId() == 4);
    if (changed(m_levelA))
        device().setSMPTELevelAOutput(m_levelA->checkedId() == 6);
    if (changed(m_output1080p))
        device().setOutput1080pAsPsF(m_output1080p->checkedId() == 9);
    if (changed(m_playback) && m_playback->checkedId() != -1)
        device().setVideoOutputIdleOperation(uint32_t(m_playback->checkedId()));
    if (changed(m_packing3D) && ComboBoxTBase(m_packing3D).get(value))
        device().setHDMI3DPackingFormat(uint32_t(value));

    if (m_y) {
        using CardRules::Level;
        const std::pair<SettingsSliderWithEditableValue*, Level> levels[] = {
            { m_y, Level::Y }, { m_chroma, Level::Chroma }, { m_cb, Level::Cb }, { m_cr, Level::Cr }
        };
        for (const auto& [slider, level] : levels) {
            if (changed(slider))
                CardRules::setVideoOutputLevel(device(), level, slider->realValue());
        }
        if (m_cbCrLink)
            deviceSettings().setValue(kCbCrLinkedKey, m_cbCrLink->isLinked());
        if (changed(m_betacam))
            CardRules::setBetacamLevels(device(), m_betacam->isChecked());
    }
    if (changed(m_ntscIre))
        CardRules::setNtscIre(device(), m_ntscIre->checkedId() == 11);
}
