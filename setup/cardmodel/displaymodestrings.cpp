#include "displaymodestrings.h"

#include <initializer_list>

#include <QCoreApplication>

#include "staticdata.h"
#include "zeltracard.h"

namespace {

constexpr uint32_t c(const char (&code)[5])
{
    return zeltraCode(code);
}

bool isOneOf(uint32_t value, std::initializer_list<uint32_t> values)
{
    for (uint32_t candidate : values) {
        if (candidate == value)
            return true;
    }
    return false;
}

// Conversions that turn HD into SD.
bool isDownConversion(uint32_t conversion)
{
    return isOneOf(conversion, { c("HWam"), c("HWcc"), c("HWlb"), c("amph"), c("h2sd"), c("ltbx") });
}

// The SD mode a down-conversion produces. Cards without a separate
// down-converted output setting down-convert more of the HD rates.
uint32_t downConverted(uint32_t mode, bool hasConversionSetting)
{
    if (isOneOf(mode, { c("23ps"), c("Hi59"), c("Hp59"), c("hp59") }))
        return c("ntsc");
    if (isOneOf(mode, { c("Hi50"), c("Hp50"), c("hp50") }))
        return c("pal ");
    if (hasConversionSetting) {
        if (isOneOf(mode, { c("Hp30"), c("Hp60"), c("hp60"), c("Hp29"), c("2k23"), c("Hi60") }))
            return c("ntsc");
        if (isOneOf(mode, { c("Hp25"), c("24ps"), c("2k24"), c("2k25") }))
            return c("pal ");
    }
    return mode;
}

// What a component output makes of modes it cannot carry as they are.
uint32_t componentMode(uint32_t mode)
{
    if (isOneOf(mode, { c("2d23"), c("4d23"), c("4k23") }))
        return c("23ps");
    if (isOneOf(mode, { c("2d24"), c("4d24"), c("4k24") }))
        return c("24ps");
    if (isOneOf(mode, { c("2d25"), c("4d25"), c("4k25") }))
        return c("Hp25");
    if (isOneOf(mode, { c("2k23"), c("2k24"), c("2k25") }))
        return kDisplayModeUnknown;
    switch (mode) {
    case c("4k29"):
        return c("Hp29");
    case c("4k30"):
        return c("Hp30");
    case c("4k50"):
    case c("Hp50"):
        return c("Hi50");
    case c("4k59"):
    case c("Hp59"):
        return c("Hi59");
    case c("4k60"):
    case c("Hp60"):
        return c("Hi60");
    default:
        return mode;
    }
}

uint32_t digitalOutputMode(uint32_t mode, uint32_t conversion, bool hasConversionSetting)
{
    if (isOneOf(conversion, { c("720c"), c("xcap") })) {
        switch (mode) {
        case c("hp50"):
            return c("Hi50");
        case c("hp60"):
            return c("Hi60");
        case c("hp59"):
            return c("Hi59");
        default:
            return mode;
        }
    }
    if (isDownConversion(conversion))
        return downConverted(mode, hasConversionSetting);
    if (conversion == c("HWud")) {
        switch (mode) {
        case c("4k23"):
            return c("23ps");
        case c("4k24"):
            return c("24ps");
        case c("4k25"):
            return c("Hp25");
        case c("4k29"):
            return c("Hp29");
        case c("4k30"):
            return c("Hp30");
        case c("4k50"):
            return c("Hp50");
        case c("4k59"):
            return c("Hp59");
        case c("4k60"):
            return c("Hp60");
        default:
            return mode;
        }
    }
    if (isOneOf(conversion, { c("u41i"), c("ua1i"), c("up1i") })) {
        if (mode == c("pal "))
            return c("Hi50");
        if (mode == c("ntsc"))
            return c("Hi59");
        return mode;
    }
    if (isOneOf(conversion, { c("u47p"), c("ua7p"), c("up7p") })) {
        if (mode == c("pal "))
            return c("hp50");
        if (mode == c("ntsc"))
            return c("hp59");
        return mode;
    }
    return mode;
}

// First mode of the table, in identifier order, that matches.
template <typename Predicate>
const DisplayMode* findFirst(const QMap<uint32_t, DisplayMode>& table, Predicate&& matches)
{
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        if (matches(it.value()))
            return &it.value();
    }
    return nullptr;
}

} // namespace

QString displayModeNoValue()
{
    return QStringLiteral("-");
}

QString displayModeUnknown()
{
    return QCoreApplication::translate("DisplayMode", "Unknown");
}

uint32_t mapOutputDisplayMode(uint32_t connection, uint32_t outputMode, uint32_t conversionMode,
    bool hasConversionSetting, bool downConvertAllAnalog)
{
    if (isAnalogVideo(connection)) {
        if (isDownConversion(conversionMode))
            return downConvertAllAnalog ? downConverted(outputMode, hasConversionSetting) : outputMode;
        if (connection == 8)
            return componentMode(outputMode);
        // Composite and S-Video carry SD only.
        if (isOneOf(outputMode, { c("ntsc"), c("ntsp"), c("pal "), c("palp") }))
            return outputMode;
        return kDisplayModeUnknown;
    }
    if (connection == 2)
        return outputMode;
    return digitalOutputMode(outputMode, conversionMode, hasConversionSetting);
}

QString formatDisplayMode(uint32_t connection, uint32_t mode, uint32_t flags, const QMap<uint32_t, DisplayMode>& table)
{
    const auto found = table.constFind(mode);
    if (found == table.cend())
        return displayModeNoValue();
    const DisplayMode* shown = &found.value();
    const long width = shown->getWidth();
    const long height = shown->getHeight();
    const uint32_t rate = shown->getWholeFrameRate();

    switch (connection) {
    case 2: {
        // HDMI has no 2048-wide rasters: the sink gets the 1920-wide mode.
        if (width == 2048) {
            shown = findFirst(table, [&](const DisplayMode& m) {
                return m.isProgressive() && m.getWidth() == 1920 && m.getHeight() == height
                    && m.getWholeFrameRate() == rate;
            });
            if (!shown)
                return displayModeNoValue();
        }
        // Nor PsF: segmented frames go out as interlaced (25, 29.97, 30) or
        // progressive (23.98, 24) frames of the same size and rate.
        if (flags & kDisplayModeFlagPsF) {
            flags &= ~kDisplayModeFlagPsF;
            const long shownWidth = shown->getWidth();
            const long shownHeight = shown->getHeight();
            bool interlaced = false;
            if (rate == 25 || rate == 29 || rate == 30)
                interlaced = true;
            else if (rate != 23 && rate != 24)
                return displayModeNoValue();
            shown = findFirst(table, [&](const DisplayMode& m) {
                return (interlaced ? m.isInterlaced() : m.isProgressive()) && m.getWidth() == shownWidth
                    && m.getHeight() == shownHeight && m.getWholeFrameRate() == rate;
            });
            if (!shown)
                return displayModeNoValue();
        }
        break;
    }
    case 8:
        if ((flags & kDisplayModeFlag3D) || width > 1920 || (width == 1920 && rate >= 31))
            return displayModeNoValue();
        break;
    case 16:
    case 32:
        if (width >= 721)
            return displayModeNoValue();
        break;
    default:
        break;
    }
    return shown->getShortName(flags);
}

QString getVideoInputDisplayMode(ZeltraCard* device)
{
    uint32_t mode = 0;
    uint32_t flags = 0;
    if (!device || !device->getVideoInputDisplayMode(mode, flags))
        return displayModeNoValue();
    const QMap<uint32_t, DisplayMode> modes = device->getVideoInputDisplayModes();
    const auto found = modes.constFind(mode);
    if (found == modes.cend())
        return displayModeNoValue();
    return found->getShortName(flags);
}

QString getVideoOutputDisplayMode(ZeltraCard* device, uint32_t connection)
{
    if (!device)
        return displayModeNoValue();
    const bool forceMapping = connection & kConnectionForceMapping;
    connection &= kConnectionMask;
    if (connection == 0)
        connection = uint32_t(device->getVideoOutputConnection());

    uint32_t mode = 0;
    uint32_t flags = 0;
    if (!device->getVideoOutputDisplayMode(mode, flags))
        return displayModeNoValue();

    const uint32_t conversion = uint32_t(device->getOutputConversionMode());
    const bool hasConversionSetting = device->supportsAttributeInt(zeltraCode("socn"));
    const bool downConvertAllAnalog = device->getDownConversionOnAllAnalogOutputs();
    const uint32_t mapped = mapOutputDisplayMode(connection, mode, conversion, hasConversionSetting, downConvertAllAnalog);
    if (forceMapping || !hasConversionSetting || isAnalogVideo(connection))
        mode = mapped;

    const QMap<uint32_t, DisplayMode> modes = device->getVideoOutputDisplayModes();
    if (!modes.contains(mode))
        return displayModeNoValue();
    return formatDisplayMode(connection, mode, flags, modes);
}

QString getVideoReferenceInputDisplayString(ZeltraCard* device)
{
    uint32_t mode = 0;
    uint32_t flags = 0;
    if (!device || !device->getGenlockDisplayMode(mode, flags))
        return displayModeNoValue();
    const QMap<uint32_t, DisplayMode> modes = device->getVideoOutputDisplayModes();
    const auto found = modes.constFind(mode);
    if (found == modes.cend())
        return displayModeNoValue();
    return found->getShortName(flags);
}

QString getVideoReferenceInputLockStatus(ZeltraCard* device)
{
    if (device && device->isReferenceSignalLocked())
        return QCoreApplication::translate("DisplayMode", "Locked");
    return QCoreApplication::translate("DisplayMode", "-");
}

QString getVideoInSummary(ZeltraCard* device)
{
    if (!device->supportsCapture())
        return displayModeNoValue();
    QString text = kVideoConnections.value(uint32_t(device->getVideoInputConnection())).caption;
    const QString format = getVideoInputDisplayMode(device);
    if (format != displayModeNoValue())
        text += QStringLiteral(": %1").arg(format);
    return text;
}

QString getOutputFormatSummary(ZeltraCard* device)
{
    return device->supportsPlayback() ? getVideoOutputDisplayMode(device, 0) : displayModeNoValue();
}

QString getGenlockSummary(ZeltraCard* device)
{
    return device->supportsReferenceInput() ? getVideoReferenceInputDisplayString(device) : displayModeNoValue();
}
