#include "staticdata.h"

#include "zeltraapi.h"

#include <QCoreApplication>

QVector<quint64> kExcludedDevices;
QMap<uint32_t, VideoConnectionInfo> kVideoConnections;
QMap<uint32_t, AudioConnectionInfo> kAudioConnections;
QVector<Video3DPackingFormat> kVideo3DPackingFormats;

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

} // namespace

void initialiseStaticData()
{
    fillExcludedDevices();
    fillVideoConnections();
    fillAudioConnections();
    fillVideo3DPackingFormats();
}
