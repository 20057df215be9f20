#include "cardsettingscatalogue.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QSet>

#include "cardrules.h"
#include "displaymode.h"
#include "staticdata.h"
#include "zeltracard.h"

using Kind = CardSetting::Kind;
using Choice = CardSetting::Choice;
using CardRules::Level;

namespace {

const QString kVideoOutput = QStringLiteral("Video Output");
const QString kVideoInput = QStringLiteral("Video Input");
const QString kAudio = QStringLiteral("Audio");
const QString kConversions = QStringLiteral("Conversions");
const QString kConnectors = QStringLiteral("Connectors");
const QString kSerialPort = QStringLiteral("Serial Port");
const QString kAbout = QStringLiteral("About");

QString codeText(int64_t value)
{
    const uint32_t code = uint32_t(value);
    QString text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((code >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E)
            return QString::number(value);
        text += QLatin1Char(c);
    }
    return text;
}

// Names made unique the same way on every run: a repeated name takes the
// code of its value.
void addChoice(QVector<Choice>& choices, QString name, int64_t value, const QString& label)
{
    for (const Choice& other : qAsConst(choices)) {
        if (other.name == name) {
            name += QLatin1Char('-') + CardSettingsCatalogue::slug(codeText(value));
            break;
        }
    }
    choices.append({ name, value, label });
}

CardSetting choice(const QString& name, const QString& tab, QVector<Choice> choices,
                   std::function<int64_t(ZeltraCard&)> read, std::function<void(ZeltraCard&, int64_t)> write)
{
    CardSetting setting;
    setting.name = name;
    setting.tab = tab;
    setting.kind = Kind::Choice;
    setting.choices = std::move(choices);
    setting.read = [read](ZeltraCard& card) { return QVariant(qlonglong(read(card))); };
    setting.write = [write](ZeltraCard& card, const QVariant& value) { write(card, value.toLongLong()); };
    return setting;
}

CardSetting flag(const QString& name, const QString& tab, std::function<bool(ZeltraCard&)> read,
                 std::function<void(ZeltraCard&, bool)> write)
{
    CardSetting setting;
    setting.name = name;
    setting.tab = tab;
    setting.kind = Kind::Flag;
    setting.read = [read](ZeltraCard& card) { return QVariant(qlonglong(read(card) ? 1 : 0)); };
    setting.write = [write](ZeltraCard& card, const QVariant& value) { write(card, value.toLongLong() != 0); };
    return setting;
}

CardSetting number(const QString& name, const QString& tab, double minimum, double maximum, int decimals,
                   const QString& unit, std::function<double(ZeltraCard&)> read,
                   std::function<void(ZeltraCard&, double)> write)
{
    CardSetting setting;
    setting.name = name;
    setting.tab = tab;
    setting.kind = Kind::Number;
    setting.minimum = minimum;
    setting.maximum = maximum;
    setting.decimals = decimals;
    setting.unit = unit;
    setting.read = [read](ZeltraCard& card) { return QVariant(read(card)); };
    setting.write = [write](ZeltraCard& card, const QVariant& value) { write(card, value.toDouble()); };
    return setting;
}

CardSetting text(const QString& name, std::function<QString(ZeltraCard&)> read,
                 std::function<void(ZeltraCard&, const QString&)> write)
{
    CardSetting setting;
    setting.name = name;
    setting.tab = kAbout;
    setting.kind = Kind::Text;
    setting.maxLength = CardRules::kMaxNoteLength;
    setting.read = [read](ZeltraCard& card) { return QVariant(read(card)); };
    setting.write = [write](ZeltraCard& card, const QVariant& value) { write(card, value.toString()); };
    return setting;
}

// Two choices of a radio group.
QVector<Choice> pair(const char* first, int64_t firstValue, const char* second, int64_t secondValue)
{
    return { { QLatin1String(first), firstValue, QString() }, { QLatin1String(second), secondValue, QString() } };
}

QVector<Choice> connectionChoices(const QVector<uint32_t>& flags, bool audio)
{
    QVector<Choice> choices;
    for (uint32_t flag : flags) {
        const QString caption = audio ? kAudioConnections.value(flag).caption : kVideoConnections.value(flag).caption;
        addChoice(choices, CardSettingsCatalogue::slug(caption), flag, caption);
    }
    return choices;
}

// Conversion modes by group: "none", else the group's name and the mode's.
QVector<Choice> conversionChoices(ZeltraCard& card, bool output)
{
    const QMap<uint32_t, ConversionModeInfo>& table = output ? kVideoOutputConversionModes
                                                             : kVideoInputConversionModes;
    const QVector<ConversionModeGroup>& all = output ? kVideoOutputConversionModeGroups
                                                     : kVideoInputConversionModeGroups;
    const QVector<ConversionModeGroup> offered = CardRules::conversionGroups(card, output);
    // Names come from every group, so that a mode's name does not depend on
    // which others the card supports.
    QVector<Choice> named;
    QSet<int64_t> seen;
    for (const ConversionModeGroup& group : all) {
        for (uint32_t mode : group.modes) {
            if (seen.contains(mode))
                continue;
            seen.insert(mode);
            const QString label = table.value(mode).label.isEmpty() ? codeText(mode) : table.value(mode).label;
            // A label that names the conversion itself ("HD 720p to HD 1080i")
            // needs no group before it.
            const QString name = CardRules::isNoConversionGroup(group) ? QStringLiteral("none")
                : label.contains(QLatin1String(" to "))
                ? CardSettingsCatalogue::slug(label)
                : CardSettingsCatalogue::slug(group.name + QLatin1Char(' ') + label);
            addChoice(named, name, mode, CardRules::isNoConversionGroup(group) ? label : group.name + QStringLiteral(": ") + label);
        }
    }
    QVector<Choice> choices;
    for (const Choice& candidate : qAsConst(named)) {
        for (const ConversionModeGroup& group : offered) {
            if (CardRules::conversionModes(card, output, group).contains(uint32_t(candidate.value))) {
                choices << candidate;
                break;
            }
        }
    }
    return choices;
}

void addVideoOutput(ZeltraCard& card, QVector<CardSetting>& out)
{
    QVector<Choice> standards;
    for (const DisplayMode& mode : card.getVideoOutputDisplayModesInDisplayOrder())
        addChoice(standards, CardSettingsCatalogue::slug(mode.getName(0u)), mode.getModeId(), mode.getName(0u));
    out << choice(QStringLiteral("default-video-standard"), kVideoOutput, standards,
                  [](ZeltraCard& c) { return c.getDefaultVideoOutputDisplayMode(); },
                  [](ZeltraCard& c, int64_t v) { c.setVideoOutputDisplayMode(v); });
    if (card.supportsFieldFlickerRemoval())
        out << choice(QStringLiteral("when-paused"), kVideoOutput, pair("full-frame", 0, "single-field", 1),
                      [](ZeltraCard& c) { return c.getFieldFlickerRemovalIsEnabled() ? 1 : 0; },
                      [](ZeltraCard& c, int64_t v) { c.setFieldFlickerRemovalIsEnabled(v == 1); });
    if (card.supportsIdleOutput())
        out << choice(QStringLiteral("video-playback"), kVideoOutput,
                      pair("black", zeltraCode("blac"), "freeze-frame", zeltraCode("lafa")),
                      [](ZeltraCard& c) { return c.getVideoOutputIdleOperation(); },
                      [](ZeltraCard& c, int64_t v) { c.setVideoOutputIdleOperation(v); });
    if (card.supportsDisablingCapturePassthrough())
        out << choice(QStringLiteral("during-capture"), kVideoOutput, pair("playback-video", 2, "input-video", 3),
                      [](ZeltraCard& c) { return c.getCapturePassthroughIsDisabled() ? 2 : 3; },
                      [](ZeltraCard& c, int64_t v) { c.setCapturePassthroughDisabled(v == 2); });
    if (CardRules::hasSdiOutput(card)) {
        if (card.supports444SDI())
            out << choice(QStringLiteral("sdi-color-space"), kVideoOutput, pair("rgb-444", 4, "ycbcr-422", 5),
                          [](ZeltraCard& c) { return c.get444SDIIsEnabled() ? 4 : 5; },
                          [](ZeltraCard& c, int64_t v) { c.set444SDIIsEnabled(v == 4); });
        if (card.supportsSMPTELevelAOutput())
            out << choice(QStringLiteral("3g-sdi-level"), kVideoOutput, pair("level-a", 6, "level-b", 7),
                          [](ZeltraCard& c) { return c.getSMPTELevelAOutput() ? 6 : 7; },
                          [](ZeltraCard& c, int64_t v) { c.setSMPTELevelAOutput(v == 6); });
        if (card.supportsOutputPsF())
            out << choice(QStringLiteral("output-1080p"), kVideoOutput, pair("progressive", 8, "psf", 9),
                          [](ZeltraCard& c) { return c.getOutput1080pAsPsF() ? 9 : 8; },
                          [](ZeltraCard& c, int64_t v) { c.setOutput1080pAsPsF(v == 9); });
        if (card.supportsSDIDualLink()) {
            QVector<Choice> links = pair("single", zeltraCode("lcsl"), "dual", zeltraCode("lcdl"));
            if (card.supportsSDIQuadLink())
                links.append({ QStringLiteral("quad"), zeltraCode("lcql"), QString() });
            out << choice(QStringLiteral("sdi-link"), kVideoOutput, links,
                          [](ZeltraCard& c) { return c.getSDILinkConfiguration(); },
                          [](ZeltraCard& c, int64_t v) { c.setSDILinkConfiguration(v); });
        }
    }
    if (card.supportsHDMI3DPackingFormat()) {
        QVector<Choice> formats;
        for (const Video3DPackingFormat& format : qAsConst(kVideo3DPackingFormats))
            addChoice(formats, CardSettingsCatalogue::slug(format.label), format.value, format.label);
        out << choice(QStringLiteral("hdmi-3d-output"), kVideoOutput, formats,
                      [](ZeltraCard& c) { return c.getHDMI3DPackingFormat(); },
                      [](ZeltraCard& c, int64_t v) { c.setHDMI3DPackingFormat(v); });
    }
    QVector<uint32_t> switchable;
    card.getSwitchableAnalogVideoOutputs(switchable);
    if (!switchable.isEmpty()) {
        uint32_t shown = 0;
        for (uint32_t flag : qAsConst(switchable))
            shown |= flag;
        CardSetting outputs = choice(QStringLiteral("analog-video-outputs"), kVideoOutput,
                                     connectionChoices(switchable, false),
                                     [shown](ZeltraCard& c) { return c.getVideoOutputConnection() & shown; },
                                     [shown](ZeltraCard& c, int64_t v) {
                                         CardRules::setAnalogVideoOutputs(c, shown, uint32_t(v));
                                     });
        outputs.kind = Kind::Set;
        out << outputs;
    }
    if (card.supportsAnalogVideoOutputGain()) {
        double minimum = 0.0;
        double maximum = 0.0;
        card.getAnalogVideoOutputGainLevelRange(minimum, maximum);
        const std::pair<const char*, Level> levels[] = { { "video-output-y", Level::Y },
                                                         { "video-output-chroma", Level::Chroma },
                                                         { "video-output-cb", Level::Cb },
                                                         { "video-output-cr", Level::Cr } };
        for (const auto& [name, level] : levels) {
            if (level != Level::Y && !CardRules::offersVideoOutputChroma(card))
                break;
            const Level l = level;
            out << number(QLatin1String(name), kVideoOutput, minimum, maximum, 2, QString(),
                          [l](ZeltraCard& c) { return CardRules::videoOutputLevel(c, l); },
                          [l](ZeltraCard& c, double v) { CardRules::setVideoOutputLevel(c, l, v); });
        }
        out << flag(QStringLiteral("betacam-levels"), kVideoOutput, CardRules::betacamLevels,
                    CardRules::setBetacamLevels);
    }
    if (card.hasAnalogVideoOutputs())
        out << choice(QStringLiteral("video-output-ntsc-ire"), kVideoOutput, pair("japan", 0, "usa", 1),
                      [](ZeltraCard& c) { return CardRules::ntscIreIsUsa(c) ? 1 : 0; },
                      [](ZeltraCard& c, int64_t v) { CardRules::setNtscIre(c, v == 1); });
    if (card.supportsReferenceInput()) {
        const double bound = CardRules::referenceOffsetBound(card);
        out << number(QStringLiteral("reference-offset"), kVideoOutput, -bound, bound, 0, QStringLiteral("pixels"),
                      [](ZeltraCard& c) { return double(c.getReferenceInputSamples()); }, CardRules::setReferenceOffset);
    }
}

void addVideoInput(ZeltraCard& card, QVector<CardSetting>& out)
{
    const QVector<uint32_t> inputs = CardRules::videoInputChoices(card);
    // A single connector leaves nothing to choose.
    if (inputs.size() > 1)
        out << choice(QStringLiteral("video-input"), kVideoInput, connectionChoices(inputs, false),
                      [](ZeltraCard& c) { return c.getVideoInputConnection(); },
                      [](ZeltraCard& c, int64_t v) { CardRules::setVideoInput(c, uint32_t(v)); });
    if (card.hasExternalTimeCodeInput())
        out << flag(QStringLiteral("xlr-timecode"), kVideoInput, [](ZeltraCard& c) { return c.getUseLTCTimecode(); },
                    [](ZeltraCard& c, bool v) { c.setUseLTCTimecode(v); });
    if (CardRules::offersCapturePsFChoice(card))
        out << choice(QStringLiteral("capture-1080p"), kVideoInput, pair("progressive", 0, "psf", 1),
                      [](ZeltraCard& c) { return c.getCapture1080pAsPsF() ? 1 : 0; },
                      [](ZeltraCard& c, int64_t v) { c.setCapture1080pAsPsF(v == 1); });
    if (CardRules::offersAnalogVideoInputLevels(card)) {
        double minimum = 0.0;
        double maximum = 0.0;
        card.getAnalogVideoInputGainLevelRange(minimum, maximum);
        const std::pair<const char*, Level> levels[] = { { "video-input-y", Level::Y },
                                                         { "video-input-chroma", Level::Chroma },
                                                         { "video-input-cb", Level::Cb },
                                                         { "video-input-cr", Level::Cr } };
        for (const auto& [name, level] : levels) {
            const Level l = level;
            out << number(
                QLatin1String(name), kVideoInput, minimum, maximum, 2, QString(),
                [l](ZeltraCard& c) { return CardRules::videoInputLevel(c, l, uint32_t(c.getVideoInputConnection())); },
                [l](ZeltraCard& c, double v) {
                    CardRules::setVideoInputLevel(c, l, uint32_t(c.getVideoInputConnection()), v);
                });
        }
    }
    if (CardRules::offersAnalogVideoInput(card))
        out << choice(QStringLiteral("video-input-ntsc-ire"), kVideoInput, pair("japan", 0, "usa", 1),
                      [](ZeltraCard& c) { return CardRules::ntscIreIsUsa(c) ? 1 : 0; },
                      [](ZeltraCard& c, int64_t v) { CardRules::setNtscIre(c, v == 1); });
}

void addChannels(ZeltraCard& card, bool input, QVector<CardSetting>& out)
{
    double minimum = 0.0;
    double maximum = 0.0;
    CardRules::analogAudioLevelRange(card, input, minimum, maximum);
    const int count = CardRules::analogAudioChannelCount(card, input);
    for (int n = 1; n <= count; ++n) {
        const QString name = QStringLiteral("audio-%1-channel-%2").arg(input ? "input" : "output").arg(n);
        out << number(name, kAudio, minimum, maximum, 2, QStringLiteral("dB"),
                      [input, n](ZeltraCard& c) {
                          return input ? c.getAnalogAudioInputScaleChannel(n) : c.getAnalogAudioOutputScaleChannel(n);
                      },
                      [input, n](ZeltraCard& c, double v) {
                          if (input)
                              c.setAnalogAudioInputScaleChannel(n, v);
                          else
                              c.setAnalogAudioOutputScaleChannel(n, v);
                      });
    }
}

void addAudio(ZeltraCard& card, QVector<CardSetting>& out)
{
    const QVector<uint32_t> inputs = CardRules::audioInputChoices(card);
    if (!inputs.isEmpty())
        out << choice(QStringLiteral("audio-input"), kAudio, connectionChoices(inputs, true),
                      [](ZeltraCard& c) { return c.getAudioInputConnection(); },
                      [](ZeltraCard& c, int64_t v) { c.setAudioInputConnection(v); });
    const bool hifi = card.getUseAnalogAudioConsumerLevels();
    if (card.supportsAnalogAudioConsumerLevels()) {
        out << flag(QStringLiteral("hifi-audio-levels"), kAudio,
                    [](ZeltraCard& c) { return c.getUseAnalogAudioConsumerLevels(); },
                    [](ZeltraCard& c, bool v) { c.setUseAnalogAudioConsumerLevels(v); });
        if (CardRules::offersAnalogAudioInputChannels(card, hifi, uint32_t(card.getAudioInputConnection())))
            addChannels(card, true, out);
    }
    if (card.supportsMicrophoneGainControl())
        out << number(QStringLiteral("microphone-level"), kAudio, 0.0, 64.0, 0, QStringLiteral("dB"),
                      [](ZeltraCard& c) { return c.getMicrophoneInputGain(); },
                      [](ZeltraCard& c, double v) { c.setMicrophoneInputGain(v); });
    if (card.supportsMicrophonePhantomPower())
        out << flag(QStringLiteral("phantom-power"), kAudio, [](ZeltraCard& c) { return c.getMicrophonePhantomPower(); },
                    [](ZeltraCard& c, bool v) { c.setMicrophonePhantomPower(v); });
    if (CardRules::offersAesInputLevel(card))
        out << number(QStringLiteral("aes-input-level"), kAudio, -12.0, 12.0, 2, QStringLiteral("dB"),
                      [](ZeltraCard& c) { return c.getDigitalInputScale(); },
                      [](ZeltraCard& c, double v) { c.setDigitalInputScale(v); });
    if (CardRules::offersAesOutputLevel(card))
        out << number(QStringLiteral("aes-output-level"), kAudio, -12.0, 12.0, 2, QStringLiteral("dB"),
                      [](ZeltraCard& c) { return c.getDigitalOutputScale(); },
                      [](ZeltraCard& c, double v) { c.setDigitalOutputScale(v); });
    if (CardRules::offersAnalogAudioOutputChannels(card, hifi))
        addChannels(card, false, out);
    if (card.supportsSwitchableAnalogAudioOutputs())
        out << choice(QStringLiteral("analog-audio-output"), kAudio,
                      { { QStringLiteral("4-analog-2-aes"), zeltraCode("anlg"), QStringLiteral("4 Analog & 2 AES/EBU") },
                        { QStringLiteral("2-analog-6-aes"), zeltraCode("aes "), QStringLiteral("2 Analog & 6 AES/EBU") } },
                      [](ZeltraCard& c) { return c.getAnalogAudioOutputSwitch(); },
                      [](ZeltraCard& c, int64_t v) { CardRules::setAnalogAudioOutputSwitch(c, uint32_t(v)); });
    if (card.supportsHeadphoneGainControl())
        out << number(QStringLiteral("headphone-volume"), kAudio, 0.0, 1.0, 2, QString(),
                      [](ZeltraCard& c) { return c.getHeadphoneInputGain(); },
                      [](ZeltraCard& c, double v) { c.setHeadphoneInputGain(v); });
}

void addConversions(ZeltraCard& card, QVector<CardSetting>& out)
{
    for (bool output : { false, true }) {
        if (CardRules::conversionGroups(card, output).isEmpty())
            continue;
        out << choice(output ? QStringLiteral("output-conversion") : QStringLiteral("input-conversion"), kConversions,
                      conversionChoices(card, output),
                      [output](ZeltraCard& c) { return output ? c.getOutputConversionMode() : c.getInputConversionMode(); },
                      [output](ZeltraCard& c, int64_t v) { CardRules::setConversionMode(c, output, uint32_t(v)); });
    }
    if (CardRules::offersConvertAnalogOutputs(card))
        out << flag(QStringLiteral("convert-analog-outputs"), kConversions,
                    [](ZeltraCard& c) { return c.getDownConversionOnAllAnalogOutputs(); },
                    [](ZeltraCard& c, bool v) { c.setDownConversionOnAllAnalogOutputs(v); });
}

void addConnectors(ZeltraCard& card, QVector<CardSetting>& out)
{
    QVector<Choice> choices;
    for (const CardRules::DuplexChoice& duplex : CardRules::duplexChoices(card))
        choices.append({ duplex.mode == zeltraCode("fdup") ? QStringLiteral("full-duplex") : QStringLiteral("half-duplex"),
                         duplex.mode, duplex.label });
    if (choices.isEmpty())
        return;
    out << choice(QStringLiteral("connector-mapping"), kConnectors, choices,
                  [](ZeltraCard& c) {
                      ZeltraCard* mapping = CardRules::duplexMappingDevice(c);
                      return mapping ? mapping->getDuplexMode() : 0;
                  },
                  [](ZeltraCard& c, int64_t v) {
                      if (ZeltraCard* mapping = CardRules::duplexMappingDevice(c))
                          mapping->setDuplexMode(uint32_t(v));
                  });
}

void addAbout(ZeltraCard& card, QVector<CardSetting>& out)
{
    if (!CardRules::offersProductNotes(card))
        return;
    out << text(QStringLiteral("label"), [](ZeltraCard& c) { return c.getInformationLabel(); },
                [](ZeltraCard& c, const QString& v) { c.setInformationLabel(v); });
    out << text(QStringLiteral("serial-number"), [](ZeltraCard& c) { return c.getInformationSerialNumber(); },
                [](ZeltraCard& c, const QString& v) { c.setInformationSerialNumber(v); });
    out << text(QStringLiteral("purchased-from"), [](ZeltraCard& c) { return c.getInformationCompany(); },
                [](ZeltraCard& c, const QString& v) { c.setInformationCompany(v); });
    out << text(QStringLiteral("seller-phone"), [](ZeltraCard& c) { return c.getInformationPhone(); },
                [](ZeltraCard& c, const QString& v) { c.setInformationPhone(v); });
    out << text(QStringLiteral("seller-email"), [](ZeltraCard& c) { return c.getInformationEMail(); },
                [](ZeltraCard& c, const QString& v) { c.setInformationEMail(v); });
    out << text(QStringLiteral("purchase-date"), [](ZeltraCard& c) { return c.getInformationDate(); },
                [](ZeltraCard& c, const QString& v) { c.setInformationDate(v); });
}

} // namespace

// ---- CardSetting ---------------------------------------------------------------

QString CardSetting::kindName() const
{
    switch (kind) {
    case Kind::Choice: return QStringLiteral("choice");
    case Kind::Set: return QStringLiteral("set");
    case Kind::Flag: return QStringLiteral("flag");
    case Kind::Number: return QStringLiteral("number");
    case Kind::Text: return QStringLiteral("text");
    }
    return {};
}

QString CardSetting::format(const QVariant& value) const
{
    switch (kind) {
    case Kind::Choice:
        for (const Choice& c : choices) {
            if (c.value == value.toLongLong())
                return c.name;
        }
        return codeText(value.toLongLong());
    case Kind::Set: {
        QStringList names;
        for (const Choice& c : choices) {
            if (value.toLongLong() & c.value)
                names << c.name;
        }
        return names.isEmpty() ? QStringLiteral("none") : names.join(QLatin1Char(','));
    }
    case Kind::Flag:
        return value.toLongLong() ? QStringLiteral("on") : QStringLiteral("off");
    case Kind::Number:
        return QString::number(value.toDouble(), 'f', decimals);
    case Kind::Text:
        return value.toString();
    }
    return {};
}

bool CardSetting::parse(const QString& input, QVariant& value, QString& error) const
{
    const QString t = input.trimmed();
    switch (kind) {
    case Kind::Choice:
        for (const Choice& c : choices) {
            if (c.name == t.toLower()) {
                value = qlonglong(c.value);
                return true;
            }
        }
        break;
    case Kind::Set: {
        int64_t bits = 0;
        if (t.toLower() != QLatin1String("none")) {
            for (const QString& part : t.toLower().split(QLatin1Char(','))) {
                const auto found = std::find_if(choices.cbegin(), choices.cend(),
                                                [&](const Choice& c) { return c.name == part.trimmed(); });
                if (found == choices.cend()) {
                    error = QStringLiteral("'%1' is not one of %2").arg(part.trimmed(), allowedText());
                    return false;
                }
                bits |= found->value;
            }
        }
        value = qlonglong(bits);
        return true;
    }
    case Kind::Flag: {
        const QString lower = t.toLower();
        for (const char* on : { "on", "true", "yes", "1" }) {
            if (lower == QLatin1String(on)) {
                value = qlonglong(1);
                return true;
            }
        }
        for (const char* off : { "off", "false", "no", "0" }) {
            if (lower == QLatin1String(off)) {
                value = qlonglong(0);
                return true;
            }
        }
        break;
    }
    case Kind::Number: {
        bool ok = false;
        const double number = t.toDouble(&ok);
        // As the value field takes it: a number within the range, with no
        // more decimals than it shows.
        const double scale = std::pow(10.0, decimals);
        if (!ok || !std::isfinite(number) || number < minimum || number > maximum
            || std::fabs(std::round(number * scale) - number * scale) > 1e-6) {
            error = QStringLiteral("'%1' is not a number in %2").arg(t, allowedText());
            return false;
        }
        value = number;
        return true;
    }
    case Kind::Text:
        if (input.size() > maxLength) {
            error = QStringLiteral("the text is longer than %1 characters").arg(maxLength);
            return false;
        }
        if (name == QLatin1String("seller-email") && !CardRules::isEMailAddress(input)) {
            error = QStringLiteral("'%1' is not a lower-case e-mail address").arg(input);
            return false;
        }
        value = input;
        return true;
    }
    error = QStringLiteral("'%1' is not one of %2").arg(t, allowedText());
    return false;
}

bool CardSetting::holds(const QVariant& held, const QVariant& wanted) const
{
    switch (kind) {
    case Kind::Number:
        return std::fabs(held.toDouble() - wanted.toDouble()) < 0.5 * std::pow(10.0, -decimals);
    case Kind::Text:
        return held.toString() == wanted.toString();
    default:
        return held.toLongLong() == wanted.toLongLong();
    }
}

QString CardSetting::allowedText() const
{
    switch (kind) {
    case Kind::Choice:
    case Kind::Set: {
        QStringList names;
        for (const Choice& c : choices)
            names << c.name;
        return kind == Kind::Set ? QStringLiteral("none or a list of ") + names.join(QLatin1Char(',')) : names.join(QLatin1Char('|'));
    }
    case Kind::Flag:
        return QStringLiteral("on|off");
    case Kind::Number: {
        QString range = QStringLiteral("%1..%2").arg(QString::number(minimum, 'f', decimals),
                                                      QString::number(maximum, 'f', decimals));
        if (!unit.isEmpty())
            range += QLatin1Char(' ') + unit;
        return range;
    }
    case Kind::Text:
        return QStringLiteral("text of at most %1 characters").arg(maxLength);
    }
    return {};
}

// ---- Catalogue -----------------------------------------------------------------

namespace CardSettingsCatalogue {

QVector<CardSetting> settings(ZeltraCard& card)
{
    QVector<CardSetting> out;
    if (!card.isInitialised())
        return out;
    if (CardRules::offersVideoOutputTab(card))
        addVideoOutput(card, out);
    if (CardRules::offersVideoInputTab(card))
        addVideoInput(card, out);
    if (CardRules::offersAudioTab(card))
        addAudio(card, out);
    addConversions(card, out);
    if (CardRules::offersConnectorsTab(card))
        addConnectors(card, out);
    if (CardRules::offersSerialPortTab(card))
        out << choice(QStringLiteral("deck-control-port"), kSerialPort, pair("remote-1", 1, "remote-2", 2),
                      // Port 1 is the only value naming the first port.
                      [](ZeltraCard& c) { return c.getDeckControlConnection() == 1 ? 1 : 2; },
                      [](ZeltraCard& c, int64_t v) { c.setDeckControlConnection(v); });
    addAbout(card, out);
    return out;
}

QStringList tabTitles()
{
    return { kVideoOutput, kVideoInput, kAudio, kConversions, kConnectors, kSerialPort, kAbout };
}

QString slug(const QString& text)
{
    QString out;
    for (const QChar c : text.toLower()) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            out += c;
        else if (!out.isEmpty() && !out.endsWith(QLatin1Char('-')))
            out += QLatin1Char('-');
    }
    while (out.endsWith(QLatin1Char('-')))
        out.chop(1);
    return out;
}

} // namespace CardSettingsCatalogue
