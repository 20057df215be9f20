// The firmware that this release of the software carries for each model.

#include "visiblezeltra.h"

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
    { 46, 62, 0x2b, "Ondavia Meridian 4K Board A" },
    { 48, 62, 0x2b, "Ondavia Meridian 4K Board B" },
    { 69, 76, 0x2d, "Ondavia Atlas 12G" },
};

// Rows that are shipped but not reported: boards for factory use and models
// the utility does not show.
constexpr uint16_t kUnreportedRows[] = { 7, 9, 10, 11, 14, 26 };

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

QVector<VisibleZeltra::InstalledFirmware> VisibleZeltra::getInstalledFirmwareList()
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
