// The firmware that this release of the software carries for each model.

#include "zeltracard.h"

#include <algorithm>
#include <iterator>

#include <QCoreApplication>

namespace {

struct FirmwareRow {
    uint16_t key;
    uint8_t modelId;
    uint8_t version;
    const char* name;
};

// One row per firmware image shipped with the software. Several models share
// a board, so a model may appear under more than one name.
constexpr FirmwareRow kFirmwareRows[] = {
    { 1, 12, 0x1c, "Ondavia Studio SD" },
    { 2, 26, 0x21, "Ondavia Studio HD" },
    { 3, 27, 0x22, "Ondavia Mini Recorder" },
    { 4, 29, 0x1f, "Ondavia Mini Monitor" },
    { 5, 30, 0x23, "Ondavia Studio HD Extreme" },
    { 6, 33, 0x24, "Ondavia Bridge" },
    { 7, 39, 0x27, "Ondavia Legacy SD" },
    { 8, 44, 0x26, "Ondavia Bridge Pro" },
    { 9, 45, 0x25, "Ondavia Bridge Lite" },
    { 10, 49, 0x28, "Ondavia Studio 3G" },
    { 11, 53, 0x29, "Ondavia Studio 3G Lite" },
    { 12, 54, 0x2a, "Ondavia Stream Recorder" },
    { 13, 55, 0x2a, "Ondavia Stream Player" },
    { 14, 56, 0x2b, "Ondavia Converter Box" },
    { 15, 57, 0x2b, "Ondavia Analog Bridge" },
    { 16, 58, 0x2c, "Ondavia Field Monitor" },
    { 17, 61, 0x2d, "Ondavia Meridian 4K" },
    { 18, 63, 0x2c, "Ondavia Meridian HD" },
    { 19, 64, 0x20, "Ondavia Duo Link" },
    { 20, 67, 0x23, "Ondavia Beacon Play" },
    { 21, 68, 0x2e, "Ondavia Prism Lite" },
    { 22, 70, 0x2f, "Ondavia Stream Studio" },
    { 23, 71, 0x27, "Ondavia Quartet" },
    { 24, 72, 0x28, "Ondavia Deckhand" },
    { 25, 73, 0x29, "Ondavia Pocket Capture" },
    { 26, 74, 0x2f, "Ondavia Test Fixture" },
    { 27, 75, 0x30, "Ondavia Pocket Play" },
    { 28, 76, 0x2c, "Ondavia Atlas 12G" },
    { 29, 77, 0x2d, "Ondavia Prism Analog" },
    { 30, 79, 0x2e, "Ondavia Prism HiFi" },
    { 31, 85, 0x31, "Ondavia Prism HiFi 4K" },
    { 32, 86, 0x31, "Ondavia Prism Studio" },
    { 33, 90, 0x2f, "Ondavia Harbor Recorder" },
    { 34, 91, 0x36, "Ondavia Vista Recorder" },
    { 35, 92, 0x25, "Ondavia Relay Recorder" },
    { 36, 93, 0x2c, "Ondavia Canvas Recorder" },
    { 37, 94, 0x33, "Ondavia Lumen Recorder" },
    { 38, 95, 0x22, "Ondavia Tidewater Recorder" },
    { 39, 96, 0x29, "Ondavia Keystone Recorder" },
    { 40, 97, 0x30, "Ondavia Summit Recorder" },
    { 41, 98, 0x37, "Ondavia Cinder Recorder" },
    { 42, 99, 0x26, "Ondavia Orbit Recorder" },
    { 43, 100, 0x2d, "Ondavia Atlas Recorder" },
    { 44, 101, 0x34, "Ondavia Prism Recorder" },
    { 45, 102, 0x23, "Ondavia Meridian Recorder" },
    { 46, 62, 0x2b, "Ondavia Meridian 4K Board A" },
    { 47, 103, 0x31, "Ondavia Beacon Recorder" },
    { 48, 62, 0x2b, "Ondavia Meridian 4K Board B" },
    { 49, 104, 0x27, "Ondavia Pocket Recorder" },
    { 50, 105, 0x2e, "Ondavia Harbor Player" },
    { 51, 106, 0x35, "Ondavia Vista Player" },
    { 52, 107, 0x24, "Ondavia Relay Player" },
    { 53, 108, 0x2b, "Ondavia Canvas Player" },
    { 54, 109, 0x32, "Ondavia Lumen Player" },
    { 55, 110, 0x21, "Ondavia Tidewater Player" },
    { 56, 111, 0x28, "Ondavia Keystone Player" },
    { 57, 112, 0x2f, "Ondavia Summit Player" },
    { 58, 113, 0x36, "Ondavia Cinder Player" },
    { 59, 114, 0x25, "Ondavia Orbit Player" },
    { 60, 115, 0x2c, "Ondavia Atlas Player" },
    { 61, 116, 0x33, "Ondavia Prism Player" },
    { 62, 117, 0x22, "Ondavia Meridian Player" },
    { 63, 118, 0x29, "Ondavia Beacon Player" },
    { 64, 119, 0x30, "Ondavia Pocket Player" },
    { 65, 120, 0x37, "Ondavia Harbor Pro" },
    { 66, 121, 0x26, "Ondavia Vista Pro" },
    { 67, 122, 0x2d, "Ondavia Relay Pro" },
    { 68, 123, 0x34, "Ondavia Canvas Pro" },
    { 69, 76, 0x2d, "Ondavia Atlas 12G" },
    { 70, 124, 0x2a, "Ondavia Lumen Pro" },
    { 71, 125, 0x31, "Ondavia Tidewater Pro" },
    { 72, 126, 0x20, "Ondavia Keystone Pro" },
    { 73, 127, 0x27, "Ondavia Summit Pro" },
    { 74, 128, 0x2e, "Ondavia Cinder Pro" },
    { 75, 129, 0x35, "Ondavia Orbit Pro" },
    { 76, 130, 0x24, "Ondavia Atlas Pro" },
    { 77, 131, 0x2b, "Ondavia Prism Pro" },
    { 78, 132, 0x32, "Ondavia Meridian Pro" },
    { 79, 133, 0x21, "Ondavia Beacon Pro" },
    { 80, 134, 0x28, "Ondavia Pocket Pro" },
    { 81, 135, 0x2f, "Ondavia Harbor Lite" },
    { 82, 136, 0x36, "Ondavia Vista Lite" },
    { 83, 137, 0x25, "Ondavia Relay Lite" },
    { 84, 138, 0x2c, "Ondavia Canvas Lite" },
    { 85, 139, 0x33, "Ondavia Lumen Lite" },
    { 86, 140, 0x22, "Ondavia Tidewater Lite" },
    { 87, 141, 0x29, "Ondavia Keystone Lite" },
};

// Rows that are shipped but not reported: boards for factory use and models
// the utility does not show.
constexpr uint16_t kUnreportedRows[] = {
    7, 9, 10, 11, 14, 26, 33, 35, 37, 40, 42, 44, 47, 50, 52, 55, 57, 59, 61, 63, 66, 68, 71, 73, 76, 79, 82, 85,
};

// Names that do not come from the row.
QString firmwareName(const FirmwareRow& row)
{
    switch (row.key) {
    case 46:
        return QCoreApplication::translate("InstalledFirmware", "Meridian Primary");
    case 48:
        return QCoreApplication::translate("InstalledFirmware", "Meridian Secondary");
    case 69:
        return QCoreApplication::translate("InstalledFirmware", "%1 2").arg(QString::fromLatin1(row.name));
    default:
        return QString::fromLatin1(row.name);
    }
}

} // namespace

QVector<ZeltraCard::InstalledFirmware> ZeltraCard::getInstalledFirmwareList()
{
    QVector<InstalledFirmware> list;
    for (const FirmwareRow& row : kFirmwareRows) {
        if (std::find(std::begin(kUnreportedRows), std::end(kUnreportedRows), row.key) != std::end(kUnreportedRows))
            continue;
        list.append({ firmwareName(row), row.modelId, row.version });
    }
    std::stable_sort(list.begin(), list.end(),
        [](const InstalledFirmware& a, const InstalledFirmware& b) { return a.name < b.name; });
    return list;
}
