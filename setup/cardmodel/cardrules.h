#pragma once

#include <cstdint>

#include <QString>
#include <QVector>

#include "staticdata.h"

class ZeltraCard;

// What the settings of a card offer and what a change of one writes to the
// card. The settings window's tabs and ondavia-ctl both decide through these
// functions, so that the two always offer the same settings and a change
// reaches the card the same way from either.
namespace CardRules {

// ---- Video input -------------------------------------------------------------

// The video inputs offered, in connection-table order; a choice only with
// more than one.
QVector<uint32_t> videoInputChoices(const ZeltraCard& card);
bool offersCapturePsFChoice(const ZeltraCard& card);
bool offersAnalogVideoInputLevels(const ZeltraCard& card);
bool offersAnalogVideoInput(const ZeltraCard& card);
// Whether the card took the input. An input the card takes brings the audio
// input that goes with it (setDefaultAudioInput).
bool setVideoInput(ZeltraCard& card, uint32_t connection);
// Embedded audio for SDI, HDMI and optical; for an analog video input the
// first of AES/EBU, XLR and RCA the card has, else analog. Tells the audio
// tab to rebuild its rows (resetAudioInputs).
int64_t defaultAudioInput(const ZeltraCard& card, uint32_t videoConnection);
void setDefaultAudioInput(ZeltraCard& card, uint32_t videoConnection);

// The analog level rows of both video tabs.
enum class Level { Y, Chroma, Cb, Cr };
// Written for the analog input `connection`. Chroma moves Cb and Cr with it.
void setVideoInputLevel(ZeltraCard& card, Level level, uint32_t connection, double value);
double videoInputLevel(const ZeltraCard& card, Level level, uint32_t connection);

// ---- Video output ------------------------------------------------------------

bool hasSdiOutput(const ZeltraCard& card);
// Written to every analog output the card has. Chroma moves Cb and Cr with
// it on a card with a component output.
void setVideoOutputLevel(ZeltraCard& card, Level level, double value);
double videoOutputLevel(const ZeltraCard& card, Level level);
bool offersVideoOutputChroma(const ZeltraCard& card);
// Switches the `shown` analog outputs of the output set to `on`; the other
// outputs stay as they are.
void setAnalogVideoOutputs(ZeltraCard& card, uint32_t shown, uint32_t on);
// The typed range of the reference offset (the slider keeps +-511).
double referenceOffsetBound(const ZeltraCard& card);
void setReferenceOffset(ZeltraCard& card, double pixels);

// ---- Shared by both video tabs ------------------------------------------------

// NTSC black level: bit 0 of the analog video output flags, shown on both
// tabs; the other bits are kept.
bool ntscIreIsUsa(const ZeltraCard& card);
void setNtscIre(ZeltraCard& card, bool usa);
bool betacamLevels(const ZeltraCard& card);
void setBetacamLevels(ZeltraCard& card, bool on);

// ---- Audio -------------------------------------------------------------------

// The audio inputs shown: XLR or RCA stand for the analog input.
int64_t formatAnalogAudioFlags(int64_t flags);
QVector<uint32_t> audioInputChoices(const ZeltraCard& card);
// Analog channel rows: the count shown (at most 4), whether the rows exist
// now (levels not HiFi, an analog input other than the microphone), and the
// card's range (+-12 dB where it reports none).
int analogAudioChannelCount(const ZeltraCard& card, bool input);
bool offersAnalogAudioInputChannels(const ZeltraCard& card, bool hifi, uint32_t audioInput);
bool offersAnalogAudioOutputChannels(const ZeltraCard& card, bool hifi);
void analogAudioLevelRange(const ZeltraCard& card, bool input, double& minimum, double& maximum);
bool offersAesInputLevel(const ZeltraCard& card);
bool offersAesOutputLevel(const ZeltraCard& card);
void setAnalogAudioOutputSwitch(ZeltraCard& card, uint32_t outputs);

// ---- Conversions -------------------------------------------------------------

// The groups offered for input or output conversion; empty when there is
// nothing to choose.
QVector<ConversionModeGroup> conversionGroups(const ZeltraCard& card, bool output);
// The modes of one group the card supports, in the group's order.
QVector<uint32_t> conversionModes(const ZeltraCard& card, bool output, const ConversionModeGroup& group);
bool isNoConversionGroup(const ConversionModeGroup& group);
// First group holding the mode; -1 when none does.
int conversionGroupOf(const QVector<ConversionModeGroup>& groups, uint32_t mode);
void setConversionMode(ZeltraCard& card, bool output, uint32_t mode);
// The "Convert Analog Outputs" row exists while an output group with modes is chosen.
bool offersConvertAnalogOutputs(const ZeltraCard& card);

// ---- Connectors and deck control ---------------------------------------------

// The device whose connector mapping is shown: the card itself when it
// configures duplex, else its paired sub-device; null without a pair.
ZeltraCard* duplexMappingDevice(ZeltraCard& card);
struct DuplexChoice {
    QString label;
    uint32_t mode;
};
// What the connector menu offers, in menu order.
QVector<DuplexChoice> duplexChoices(ZeltraCard& card);
bool offersDeckControlChoice(const ZeltraCard& card);

// ---- Product notes -----------------------------------------------------------

constexpr int kMaxNoteLength = 4096;
bool offersProductNotes(const ZeltraCard& card);
// A complete lower-case e-mail address; the empty text counts as one.
bool isEMailAddress(const QString& text);
// Whether `text` can still become an address by typing on.
bool isPartialEMailAddress(const QString& text);

// ---- Tabs --------------------------------------------------------------------

bool offersVideoOutputTab(const ZeltraCard& card);
bool offersVideoInputTab(const ZeltraCard& card);
bool offersAudioTab(const ZeltraCard& card);
bool offersConnectorsTab(const ZeltraCard& card);
bool offersSerialPortTab(const ZeltraCard& card);

} // namespace CardRules
