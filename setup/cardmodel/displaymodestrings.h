#pragma once

#include <cstdint>

#include <QMap>
#include <QString>

#include "displaymode.h"

class ZeltraCard;

// Connection arguments with one of the two top bits set always apply the
// conversion mapping (the down-converted or second-link view of an output).
inline constexpr uint32_t kConnectionForceMapping = 0xC0000000u;
inline constexpr uint32_t kConnectionMask = 0x3FFFFFFFu;

// Shown where a format is not known or not carried.
QString displayModeNoValue();
// Translated "Unknown".
QString displayModeUnknown();

// The format at the card's input, short name; "-" when unknown.
QString getVideoInputDisplayMode(ZeltraCard* device);
// The format carried by one output connection, after what the card's output
// conversion and the connection itself do to it; connection 0 is the current
// output connection. "-" when the connection carries nothing known.
QString getVideoOutputDisplayMode(ZeltraCard* device, uint32_t connection);
// The format at the reference input; "-" when not found.
QString getVideoReferenceInputDisplayString(ZeltraCard* device);
// Translated "Locked" or "-".
QString getVideoReferenceInputLockStatus(ZeltraCard* device);

// The card's row of the list view: the input connection and its format
// ("SDI: 1080i50"), the output format, the reference format; "-" for what
// the card lacks.
QString getVideoInSummary(ZeltraCard* device);
QString getOutputFormatSummary(ZeltraCard* device);
QString getGenlockSummary(ZeltraCard* device);

// The mode an output connection shows for the output mode, given the output
// conversion mode, whether the card has a separate down-converted output
// setting ('socn') and whether all analog outputs down-convert.
uint32_t mapOutputDisplayMode(uint32_t connection, uint32_t outputMode, uint32_t conversionMode,
    bool hasConversionSetting, bool downConvertAllAnalog);

// Short name of the mode as the connection carries it; "-" when the
// connection cannot carry it or the mode is not in the table.
QString formatDisplayMode(uint32_t connection, uint32_t mode, uint32_t flags, const QMap<uint32_t, DisplayMode>& table);
