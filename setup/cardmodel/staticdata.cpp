#include "staticdata.h"

#include "zeltraapi.h"

#include <QCoreApplication>

#include <cstddef>

QVector<quint64> kExcludedDevices;
QMap<uint32_t, VideoConnectionInfo> kVideoConnections;
QMap<uint32_t, AudioConnectionInfo> kAudioConnections;
QVector<Video3DPackingFormat> kVideo3DPackingFormats;

QMap<uint32_t, ConversionModeInfo> kVideoInputConversionModes;
QVector<uint32_t> kVideoInputConversionModesDownScale1080;
QVector<uint32_t> kVideoInputConversionModesDownScale720;
QVector<uint32_t> kVideoInputConversionModesUpScale;
QVector<ConversionModeGroup> kVideoInputConversionModeGroups;

QMap<uint32_t, ConversionModeInfo> kVideoOutputConversionModes;
QVector<uint32_t> kVideoOutputConversionModesDownScale;
QVector<uint32_t> kVideoOutputConversionModesUpScale_720;
QVector<uint32_t> kVideoOutputConversionUpScale_1080;
QVector<uint32_t> kVideoOutputConversionModesCross;
QVector<uint32_t> kVideoOutputConversionModesCross_720;
QVector<uint32_t> kVideoOutputConversionModes2KDownScale;
QVector<uint32_t> kVideoOutputConversionModesUHDToHD;
QVector<ConversionModeGroup> kVideoOutputConversionModeGroups;

namespace {

void fillExcludedDevices()
{
    // Repeated entries are harmless: the table is only searched.
    kExcludedDevices = { 53, 49, 56, 39, 45, 39, 39, 12, 26, 29, 33, 74 };
}

void fillVideoConnections()
{
    // Video captions are connector names and stay untranslated.
    kVideoConnections.clear();
    kVideoConnections.insert(1, { QStringLiteral("SDI"), QStringLiteral(":/InputSDI"), QStringLiteral(":/InputSDISmall") });
    kVideoConnections.insert(2, { QStringLiteral("HDMI"), QStringLiteral(":/InputHDMI"), QStringLiteral(":/InputHDMISmall") });
    kVideoConnections.insert(4, { QStringLiteral("Optical"), QStringLiteral(":/InputFibre"), QStringLiteral(":/InputFibreSmall") });
    kVideoConnections.insert(8, { QStringLiteral("Component"), QStringLiteral(":/InputComponent"), QStringLiteral(":/InputComponentSmall") });
    kVideoConnections.insert(16, { QStringLiteral("Composite"), QStringLiteral(":/InputComposite"), QStringLiteral(":/InputCompositeSmall") });
    kVideoConnections.insert(32, { QStringLiteral("S Video"), QStringLiteral(":/InputSVideo"), QStringLiteral(":/InputSVideoSmall") });
}

void fillAudioConnections()
{
    static const struct {
        uint32_t flag;
        const char* caption;
        const char* image;
    } rows[] = {
        { 1, QT_TRANSLATE_NOOP("AudioConnections", "Embedded"), ":/AudioSDIORHDMI" },
        { 2, QT_TRANSLATE_NOOP("AudioConnections", "AES/EBU"), ":/AudioAES" },
        { 4, QT_TRANSLATE_NOOP("AudioConnections", "Analog"), ":/AudioXLR" },
        { 8, QT_TRANSLATE_NOOP("AudioConnections", "XLR"), ":/AudioXLR" },
        { 16, QT_TRANSLATE_NOOP("AudioConnections", "RCA"), ":/AudioRCA" },
        { 32, QT_TRANSLATE_NOOP("AudioConnections", "Microphone"), ":/AudioMic" },
    };
    kAudioConnections.clear();
    for (const auto& row : rows)
        kAudioConnections.insert(row.flag,
            { QCoreApplication::translate("AudioConnections", row.caption), QString::fromLatin1(row.image) });
}

void fillVideo3DPackingFormats()
{
    static const struct {
        uint32_t value;
        const char* label;
        const char* icon;
    } rows[] = {
        { zeltraCode("tabo"), QT_TRANSLATE_NOOP("Video3DPackingFormats", "Top and Bottom"), ":/3DTopAndBottom" },
        { zeltraCode("frpk"), QT_TRANSLATE_NOOP("Video3DPackingFormats", "Frame Packing"), ":/3DFramePacking" },
        { zeltraCode("sbsh"), QT_TRANSLATE_NOOP("Video3DPackingFormats", "Side by Side"), ":/3DSideBySide" },
        { zeltraCode("left"), QT_TRANSLATE_NOOP("Video3DPackingFormats", "Left Eye"), ":/3DLeft" },
        { zeltraCode("lbyl"), QT_TRANSLATE_NOOP("Video3DPackingFormats", "Line by Line"), ":/3DLineByLine" },
        { zeltraCode("righ"), QT_TRANSLATE_NOOP("Video3DPackingFormats", "Right Eye"), ":/3DRight" },
    };
    kVideo3DPackingFormats.clear();
    for (const auto& row : rows)
        kVideo3DPackingFormats.append({ row.value, QCoreApplication::translate("Video3DPackingFormats", row.label),
                                        QString::fromLatin1(row.icon) });
}

struct ConversionModeRow {
    uint32_t mode;
    const char* label;
    const char* image;
};

template <size_t N>
void fillConversionModes(QMap<uint32_t, ConversionModeInfo>& table, const ConversionModeRow (&rows)[N])
{
    table.clear();
    for (const ConversionModeRow& row : rows)
        table.insert(row.mode, { QCoreApplication::translate("ConversionModes", row.label),
                                 QString::fromLatin1(row.image) });
}

void fillInputConversions()
{
    static const ConversionModeRow rows[] = {
        { zeltraCode("10lb"), QT_TRANSLATE_NOOP("ConversionModes", "Letterbox"), ":/HDToSDLetterBox" },
        { zeltraCode("10am"), QT_TRANSLATE_NOOP("ConversionModes", "Anamorphic"), ":/HDToSDAnamorphic" },
        { zeltraCode("72lb"), QT_TRANSLATE_NOOP("ConversionModes", "Letterbox"), ":/HDToSDLetterBox" },
        { zeltraCode("72am"), QT_TRANSLATE_NOOP("ConversionModes", "Anamorphic"), ":/HDToSDAnamorphic" },
        { zeltraCode("lbup"), QT_TRANSLATE_NOOP("ConversionModes", "Pillarbox"), ":/SDToHDPillarbox" },
        { zeltraCode("amup"), QT_TRANSLATE_NOOP("ConversionModes", "Anamorphic"), ":/SDToHDAnamorphic" },
        { zeltraCode("none"), QT_TRANSLATE_NOOP("ConversionModes", "None"), "" },
    };
    fillConversionModes(kVideoInputConversionModes, rows);
    kVideoInputConversionModesDownScale1080 = { zeltraCode("10lb"), zeltraCode("10am") };
    kVideoInputConversionModesDownScale720 = { zeltraCode("72lb"), zeltraCode("72am") };
    kVideoInputConversionModesUpScale = { zeltraCode("lbup"), zeltraCode("amup") };
    // Group names are format names and stay untranslated.
    kVideoInputConversionModeGroups = {
        { QStringLiteral("None"), { zeltraCode("none") } },
        { QStringLiteral("HD (1080) to SD"), kVideoInputConversionModesDownScale1080 },
        { QStringLiteral("HD (720) to SD"), kVideoInputConversionModesDownScale720 },
        { QStringLiteral("SD to HD"), kVideoInputConversionModesUpScale },
    };
}

void fillOutputConversions()
{
    static const ConversionModeRow rows[] = {
        { zeltraCode("ltbx"), QT_TRANSLATE_NOOP("ConversionModes", "Letterbox"), ":/HDToSDLetterBox" },
        { zeltraCode("amph"), QT_TRANSLATE_NOOP("ConversionModes", "Anamorphic"), ":/HDToSDAnamorphic" },
        { zeltraCode("720c"), QT_TRANSLATE_NOOP("ConversionModes", "HD 720p to HD 1080i"), ":/HDToSDLetterBox" },
        { zeltraCode("HWlb"), QT_TRANSLATE_NOOP("ConversionModes", "Letterbox"), ":/HDToSDLetterBox" },
        { zeltraCode("HWam"), QT_TRANSLATE_NOOP("ConversionModes", "Anamorphic"), ":/HDToSDAnamorphic" },
        { zeltraCode("HWcc"), QT_TRANSLATE_NOOP("ConversionModes", "Center Cut"), ":/HDToSDCenterCut" },
        { zeltraCode("xcap"), QT_TRANSLATE_NOOP("ConversionModes", "HD 720p to HD 1080i"), ":/HDToSDLetterBox" },
        { zeltraCode("ua7p"), QT_TRANSLATE_NOOP("ConversionModes", "16:9 Zoom"), ":/SDToHD169" },
        { zeltraCode("ua1i"), QT_TRANSLATE_NOOP("ConversionModes", "16:9 Zoom"), ":/SDToHD169" },
        { zeltraCode("u47p"), QT_TRANSLATE_NOOP("ConversionModes", "14:9 Zoom"), ":/SDToHD149" },
        { zeltraCode("u41i"), QT_TRANSLATE_NOOP("ConversionModes", "14:9 Zoom"), ":/SDToHD149" },
        { zeltraCode("up7p"), QT_TRANSLATE_NOOP("ConversionModes", "Pillarbox"), ":/SDToHDPillarbox" },
        { zeltraCode("up1i"), QT_TRANSLATE_NOOP("ConversionModes", "Pillarbox"), ":/SDToHDPillarbox" },
        { zeltraCode("HWud"), QT_TRANSLATE_NOOP("ConversionModes", "UHD 2160p to HD 1080p"), "" },
        { zeltraCode("none"), QT_TRANSLATE_NOOP("ConversionModes", "None"), "" },
    };
    fillConversionModes(kVideoOutputConversionModes, rows);
    kVideoOutputConversionModesDownScale = { zeltraCode("ltbx"), zeltraCode("amph"), zeltraCode("HWlb"),
                                             zeltraCode("HWam"), zeltraCode("HWcc") };
    kVideoOutputConversionModesUpScale_720 = { zeltraCode("ua7p"), zeltraCode("u47p"), zeltraCode("up7p") };
    kVideoOutputConversionUpScale_1080 = { zeltraCode("ua1i"), zeltraCode("u41i"), zeltraCode("up1i") };
    kVideoOutputConversionModesCross = { zeltraCode("xcap") };
    kVideoOutputConversionModesCross_720 = { zeltraCode("720c") };
    // 'h2sd' has no row of its own: its button shows neither caption nor picture.
    kVideoOutputConversionModes2KDownScale = { zeltraCode("h2sd") };
    kVideoOutputConversionModesUHDToHD = { zeltraCode("HWud") };
    kVideoOutputConversionModeGroups = {
        { QStringLiteral("None"), { zeltraCode("none") } },
        { QStringLiteral("HD to SD"), kVideoOutputConversionModesDownScale },
        { QStringLiteral("SD to HD 720p"), kVideoOutputConversionModesUpScale_720 },
        { QStringLiteral("SD to HD 1080i"), kVideoOutputConversionUpScale_1080 },
        { QStringLiteral("HD 720 to HD 1080"), kVideoOutputConversionModesCross },
        { QStringLiteral("HD 720 to HD 1080"), kVideoOutputConversionModesCross_720 },
        { QStringLiteral("2K to SD"), kVideoOutputConversionModes2KDownScale },
        { QStringLiteral("UHD 2160p to HD 1080p"), kVideoOutputConversionModesUHDToHD },
    };
}

} // namespace

void initialiseStaticData()
{
    fillExcludedDevices();
    fillVideoConnections();
    fillAudioConnections();
    fillVideo3DPackingFormats();
    fillInputConversions();
    fillOutputConversions();
}
