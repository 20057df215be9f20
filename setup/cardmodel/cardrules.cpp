#include "cardrules.h"

#include <cmath>

#include <QCoreApplication>
#include <QRegularExpression>

#include "displaymode.h"
#include "zeltracard.h"

namespace {

constexpr int64_t kNtscSetupBit = 1;
constexpr int64_t kBetacamBit = 2;
constexpr uint32_t kComponent = 8;
constexpr uint32_t kAnalogVideo[] = { 8, 16, 32 };

constexpr int64_t kEmbeddedAudio = 1;
constexpr int64_t kAesEbu = 2;
constexpr int64_t kAnalogAudio = 4;
constexpr int64_t kXlr = 8;
constexpr int64_t kRca = 16;
constexpr int64_t kMicrophone = 32;
constexpr int kMaxChannels = 4;
constexpr double kLevelMinimum = -12.0;
constexpr double kLevelMaximum = 12.0;

constexpr uint32_t kNoConversion = zeltraCode("none");
constexpr uint32_t kFullDuplex = zeltraCode("fdup");
constexpr uint32_t kHalfDuplex = zeltraCode("hdup");

int64_t withBit(int64_t flags, int64_t bit, bool set)
{
    return set ? (flags | bit) : (flags & ~bit);
}

} // namespace

namespace CardRules {

// ---- Video input -------------------------------------------------------------

QVector<uint32_t> videoInputChoices(const ZeltraCard& card)
{
    const int64_t inputs = card.getVideoInputConnections();
    QVector<uint32_t> choices;
    for (auto it = kVideoConnections.cbegin(); it != kVideoConnections.cend(); ++it) {
        if (inputs & it.key())
            choices << it.key();
    }
    return choices;
}

bool offersCapturePsFChoice(const ZeltraCard& card)
{
    // Cards that switch between progressive and PsF by themselves need no choice.
    return card.supportsCapturePsF() && !card.supportsPsFAutoSwitching();
}

bool offersAnalogVideoInputLevels(const ZeltraCard& card)
{
    for (uint32_t connection : kAnalogVideo) {
        if (card.supportsAnalogVideoInputGain(connection))
            return true;
    }
    return false;
}

bool offersAnalogVideoInput(const ZeltraCard& card)
{
    for (uint32_t connection : videoInputChoices(card)) {
        if (isAnalogVideo(connection))
            return true;
    }
    return false;
}

bool setVideoInput(ZeltraCard& card, uint32_t connection)
{
    card.setVideoInputConnection(connection);
    // An input the card refused moves the audio input not.
    if (uint32_t(card.getVideoInputConnection()) != connection)
        return false;
    setDefaultAudioInput(card, connection);
    return true;
}

int64_t defaultAudioInput(const ZeltraCard& card, uint32_t videoConnection)
{
    if (!isAnalogVideo(videoConnection))
        return kEmbeddedAudio; // SDI, HDMI and optical carry their audio
    const int64_t available = card.getAudioInputConnections();
    for (int64_t preferred : { kAesEbu, kXlr, kRca }) {
        if (available & preferred)
            return preferred;
    }
    return kAnalogAudio;
}

void setDefaultAudioInput(ZeltraCard& card, uint32_t videoConnection)
{
    card.setAudioInputConnection(defaultAudioInput(card, videoConnection));
    emit card.resetAudioInputs();
}

void setVideoInputLevel(ZeltraCard& card, Level level, uint32_t connection, double value)
{
    switch (level) {
    case Level::Y:
        card.setAnalogVideoInputGainLevel(connection, value);
        break;
    case Level::Chroma:
        card.setAnalogVideoInputChromaGainLevel(connection, value);
        card.setAnalogVideoInputCbLevel(connection, value);
        card.setAnalogVideoInputCrLevel(connection, value);
        break;
    case Level::Cb:
        card.setAnalogVideoInputCbLevel(connection, value);
        break;
    case Level::Cr:
        card.setAnalogVideoInputCrLevel(connection, value);
        break;
    }
}

double videoInputLevel(const ZeltraCard& card, Level level, uint32_t connection)
{
    switch (level) {
    case Level::Y:
        return card.getAnalogVideoInputGainLevel(connection);
    case Level::Chroma:
        return card.getAnalogVideoInputChromaGainLevel(connection);
    case Level::Cb:
        return card.getAnalogVideoInputCbLevel(connection);
    case Level::Cr:
        return card.getAnalogVideoInputCrLevel(connection);
    }
    return 0.0;
}

// ---- Video output ------------------------------------------------------------

bool hasSdiOutput(const ZeltraCard& card)
{
    return card.getVideoOutputConnections() & 1;
}

void setVideoOutputLevel(ZeltraCard& card, Level level, double value)
{
    // One level serves every analog output of the card: each output's own
    // item is written. Component chroma is Cb and Cr.
    const uint32_t outputs = uint32_t(card.getVideoOutputConnections());
    if (level == Level::Y || level == Level::Chroma) {
        for (uint32_t flag : kAnalogVideo) {
            if (!(outputs & flag))
                continue;
            if (level == Level::Y)
                card.setAnalogVideoOutputGainLevel(flag, value);
            else if (flag != kComponent)
                card.setAnalogVideoOutputChromaGainLevel(flag, value);
        }
        if (level == Level::Y)
            return;
    }
    if (!(outputs & kComponent))
        return;
    if (level != Level::Cr)
        card.setAnalogVideoOutputCbLevel(outputs, value);
    if (level != Level::Cb)
        card.setAnalogVideoOutputCrLevel(outputs, value);
}

double videoOutputLevel(const ZeltraCard& card, Level level)
{
    const uint32_t connection = uint32_t(card.getVideoOutputConnection());
    switch (level) {
    case Level::Y:
        return card.getAnalogVideoOutputGainLevel(connection);
    case Level::Chroma:
        return card.getAnalogVideoOutputChromaGainLevel(connection);
    case Level::Cb:
        return card.getAnalogVideoOutputCbLevel(connection);
    case Level::Cr:
        return card.getAnalogVideoOutputCrLevel(connection);
    }
    return 0.0;
}

bool offersVideoOutputChroma(const ZeltraCard& card)
{
    return card.supportsAnalogVideoOutputGain() && !card.canOnlyAdjustOverallVideoOutputGain();
}

void setAnalogVideoOutputs(ZeltraCard& card, uint32_t shown, uint32_t on)
{
    // The connection is a set: the digital outputs stay as they are.
    card.setVideoOutputConnection((card.getVideoOutputConnection() & ~int64_t(shown)) | int64_t(on & shown));
}

double referenceOffsetBound(const ZeltraCard& card)
{
    // A full-frame reference takes offsets of up to a frame.
    return card.supportsFullFrameReferenceInput() ? 999999.0 : 511.0;
}

void setReferenceOffset(ZeltraCard& card, double pixels)
{
    card.setReferenceInputSamples(int64_t(std::trunc(pixels)));
}

// ---- Shared by both video tabs ------------------------------------------------

bool ntscIreIsUsa(const ZeltraCard& card)
{
    return card.getAnalogVideoOutputFlags() & kNtscSetupBit;
}

void setNtscIre(ZeltraCard& card, bool usa)
{
    card.setAnalogVideoOutputFlags(withBit(card.getAnalogVideoOutputFlags(), kNtscSetupBit, usa));
}

bool betacamLevels(const ZeltraCard& card)
{
    return card.getAnalogVideoOutputFlags() & kBetacamBit;
}

void setBetacamLevels(ZeltraCard& card, bool on)
{
    card.setAnalogVideoOutputFlags(withBit(card.getAnalogVideoOutputFlags(), kBetacamBit, on));
}

// ---- Audio -------------------------------------------------------------------

int64_t formatAnalogAudioFlags(int64_t flags)
{
    if (flags & (kXlr | kRca))
        flags &= ~kAnalogAudio;
    return flags;
}

QVector<uint32_t> audioInputChoices(const ZeltraCard& card)
{
    const int64_t connections = card.getAudioInputConnections();
    QVector<uint32_t> choices;
    if (connections == 0)
        return choices;
    const int64_t shown = formatAnalogAudioFlags(connections);
    for (auto it = kAudioConnections.cbegin(); it != kAudioConnections.cend(); ++it) {
        if (shown & it.key())
            choices << it.key();
    }
    return choices;
}

int analogAudioChannelCount(const ZeltraCard& card, bool input)
{
    // The card model addresses channels 1 to 4; more rows would reach nothing.
    const int64_t count = input ? card.getMaxAnalogAudioInputChannels() : card.getMaxAnalogAudioOutputChannels();
    return int(qBound<int64_t>(0, count, kMaxChannels));
}

bool offersAnalogAudioInputChannels(const ZeltraCard& card, bool hifi, uint32_t audioInput)
{
    return card.supportsAnalogAudioConsumerLevels() && !hifi && isAnalogAudio(audioInput)
        && audioInput != kMicrophone && card.supportsAnalogAudioInputScaleChannel(1);
}

bool offersAnalogAudioOutputChannels(const ZeltraCard& card, bool hifi)
{
    return card.supportsAnalogAudioConsumerLevels() && !hifi;
}

void analogAudioLevelRange(const ZeltraCard& card, bool input, double& minimum, double& maximum)
{
    // The card's own range where it reports one: a level it would refuse
    // cannot be chosen.
    minimum = kLevelMinimum;
    maximum = kLevelMaximum;
    card.getAnalogAudioScaleRange(input, minimum, maximum);
}

bool offersAesInputLevel(const ZeltraCard& card)
{
    return (card.getAudioOutputConnections() & kAesEbu) && card.supportsDigitalInputScale();
}

bool offersAesOutputLevel(const ZeltraCard& card)
{
    return (card.getAudioOutputConnections() & kAesEbu) && card.supportsDigitalOutputScale();
}

void setAnalogAudioOutputSwitch(ZeltraCard& card, uint32_t outputs)
{
    if (card.supportsSwitchableAnalogAudioOutputs())
        card.setAnalogAudioOutputSwitch(outputs);
}

// ---- Conversions -------------------------------------------------------------

QVector<ConversionModeGroup> conversionGroups(const ZeltraCard& card, bool output)
{
    if (!output)
        return card.supportsCapture() && card.supportsVideoInputConversion() ? kVideoInputConversionModeGroups
                                                                             : QVector<ConversionModeGroup>();
    QVector<ConversionModeGroup> groups;
    if (!card.supportsPlayback())
        return groups;
    for (const ConversionModeGroup& group : kVideoOutputConversionModeGroups) {
        if (!conversionModes(card, true, group).isEmpty())
            groups << group;
    }
    // A menu offering nothing but "None" is no choice.
    if (groups.size() == 1 && isNoConversionGroup(groups.first()))
        groups.clear();
    return groups;
}

QVector<uint32_t> conversionModes(const ZeltraCard& card, bool output, const ConversionModeGroup& group)
{
    QVector<uint32_t> modes;
    for (uint32_t mode : group.modes) {
        if (!output || card.supportsOutputConversionMode(mode))
            modes << mode;
    }
    return modes;
}

bool isNoConversionGroup(const ConversionModeGroup& group)
{
    return group.modes == QVector<uint32_t>{ kNoConversion };
}

int conversionGroupOf(const QVector<ConversionModeGroup>& groups, uint32_t mode)
{
    for (int i = 0; i < groups.size(); ++i) {
        if (groups.at(i).modes.contains(mode))
            return i;
    }
    return -1;
}

void setConversionMode(ZeltraCard& card, bool output, uint32_t mode)
{
    if (output)
        card.setOutputConversionMode(mode);
    else
        card.setInputConversionMode(mode);
}

bool offersConvertAnalogOutputs(const ZeltraCard& card)
{
    if (!card.supportsDownConversionOnAllAnalogOutputs())
        return false;
    const QVector<ConversionModeGroup> groups = conversionGroups(card, true);
    const int index = conversionGroupOf(groups, uint32_t(card.getOutputConversionMode()));
    return index >= 0 && !isNoConversionGroup(groups.at(index))
        && !conversionModes(card, true, groups.at(index)).isEmpty();
}

// ---- Connectors and deck control ---------------------------------------------

ZeltraCard* duplexMappingDevice(ZeltraCard& card)
{
    const int64_t paired = card.getPairedDevicePersistentId();
    if (paired == 0)
        return nullptr;
    return card.supportsDuplexModeConfiguration() ? &card : card.getSubDeviceByPersistentId(paired);
}

QVector<DuplexChoice> duplexChoices(ZeltraCard& card)
{
    ZeltraCard* mapping = duplexMappingDevice(card);
    if (!mapping)
        return {};
    int first = 0;
    int second = 0;
    mapping->getConnectorIds(first, second);
    // Connectors are counted from 1 on the card's bracket.
    ++first;
    ++second;
    // The tab's own texts: the context is written out in each call so that
    // the catalogue tool finds them.
    if (mapping == &card)
        return { { QCoreApplication::translate("ConnectorsSettings", "SDI %1 & SDI %2").arg(first).arg(second),
                   kFullDuplex },
                 { QCoreApplication::translate("ConnectorsSettings", "SDI %1").arg(first), kHalfDuplex } };
    // The partner keeps its connector in half duplex and has none while the
    // other sub-device takes both.
    return { { QCoreApplication::translate("ConnectorsSettings", "SDI %1").arg(second), kHalfDuplex },
             { QCoreApplication::translate("ConnectorsSettings", "None"), kFullDuplex } };
}

bool offersDeckControlChoice(const ZeltraCard& card)
{
    return (card.getDeckControlConnections() & 3) == 3;
}

// ---- Product notes -----------------------------------------------------------

bool offersProductNotes(const ZeltraCard& card)
{
    // The notes live in the card under its persistent identity.
    return card.supportsPersistentID();
}

bool isEMailAddress(const QString& text)
{
    static const QRegularExpression full(QStringLiteral("\\A[a-z0-9._%+-]+@[a-z0-9.-]+\\.[a-z]{2,4}\\z"));
    return text.isEmpty() || full.match(text).hasMatch();
}

bool isPartialEMailAddress(const QString& text)
{
    static const QRegularExpression partial(QStringLiteral("\\A[a-z0-9._%+-]*@?[a-z0-9.-]*\\.?[a-z]*\\z"));
    return partial.match(text).hasMatch();
}

// ---- Tabs --------------------------------------------------------------------

bool offersVideoOutputTab(const ZeltraCard& card)
{
    return card.supportsPlayback();
}

bool offersVideoInputTab(const ZeltraCard& card)
{
    return card.supportsCapture();
}

bool offersAudioTab(const ZeltraCard& card)
{
    return card.supportsAudioLevelAdjustment();
}

bool offersConnectorsTab(const ZeltraCard& card)
{
    return card.getPairedDevicePersistentId() != 0;
}

bool offersSerialPortTab(const ZeltraCard& card)
{
    return offersDeckControlChoice(card);
}

} // namespace CardRules
