#include "statusreport.h"

#include "displaymodestrings.h"
#include "qtexttemplate.h"
#include "staticdata.h"
#include "systeminfoquery.h"
#include "zeltracard.h"

#include <QDateTime>

namespace {

constexpr int kEdidLineLength = 36;

class ReportBuilder
{
public:
    ReportBuilder()
        : m_table(true)
        , m_row(true)
    {
        m_table.load(QStringLiteral(":/SystemReportTable"));
        m_row.load(QStringLiteral(":/SystemReportTableRow"));
    }

    void addRow(const QString& col1, const QString& col2, bool escapeCol1 = true,
        const QString& col1Style = QString())
    {
        m_row.setValue(QStringLiteral("Col1"), col1, escapeCol1);
        m_row.setValue(QStringLiteral("Col1Style"), col1Style);
        m_row.setValue(QStringLiteral("Col2"), col2);
        m_rows += m_row.render();
    }

    bool hasRows() const { return !m_rows.isEmpty(); }

    // The table of the rows collected so far; the rows start again.
    QString takeTable(const QString& name)
    {
        m_table.setValue(QStringLiteral("TableName"), name);
        m_table.setValue(QStringLiteral("TableRows"), m_rows, false);
        m_rows.clear();
        return m_table.render();
    }

private:
    QTextTemplate m_table;
    QTextTemplate m_row;
    QString m_rows;
};

QString modeName(const QMap<uint32_t, DisplayMode>& modes, bool known, uint32_t mode, uint32_t flags)
{
    if (!known || !modes.contains(mode))
        return displayModeUnknown();
    return modes.value(mode).getName(flags);
}

QString enabled(bool on)
{
    return on ? QObject::tr("Enabled") : QObject::tr("Disabled");
}

} // namespace

QString StatusReport::fileName(const QDateTime& when)
{
    return QStringLiteral("Morvane_Ondavia_Status_Report_%1_%2.html")
        .arg(when.toString(QStringLiteral("yyyy-MM-dd")), when.toString(QStringLiteral("HH-mm-ss")));
}

QString StatusReport::pixelFormatName(uint32_t format)
{
    switch (format) {
    case 32: return QStringLiteral("8-bit ARGB");
    case 0x32767579: return QStringLiteral("8-bit YUV 4:2:2");
    case 0x42475241: return QStringLiteral("8-bit BGRA");
    case 0x52313062: return QStringLiteral("10-bit RGB BE'");
    case 0x5231306C: return QStringLiteral("10-bit RGB LE");
    case 0x52313242: return QStringLiteral("12-bit RGB BE");
    case 0x5231324C: return QStringLiteral("12-bit RGB LE");
    case 0x72323130: return QStringLiteral("10-bit RGB");
    case 0x76323130: return QStringLiteral("10-bit YUV 4:2:2");
    default: return QString();
    }
}

QString StatusReport::edidText(const QByteArray& edid)
{
    // Base64 holds only letters, digits, '+', '/' and '=': nothing to escape.
    const QString base64 = QString::fromLatin1(edid.toBase64());
    QStringList lines;
    for (int i = 0; i < base64.size(); i += kEdidLineLength)
        lines << base64.mid(i, kEdidLineLength);
    return lines.join(QStringLiteral("<br/>"));
}

QString StatusReport::build(ZeltraCard& device, const SystemDetails& system)
{
    QTextTemplate page(false);
    page.load(QStringLiteral(":/SystemReport"));
    page.setValue(QStringLiteral("DeviceModelName"), device.modelName());
    ReportBuilder tables;

    if (device.supportsCapture()) {
        const uint32_t connection = uint32_t(device.getVideoInputConnection());
        if (kVideoConnections.contains(connection)) {
            uint32_t mode = 0, flags = 0;
            const bool known = device.getVideoInputDisplayMode(mode, flags);
            QString text = modeName(device.getVideoInputDisplayModes(), known, mode, flags);
            uint32_t format = 0;
            if (device.getVideoInputPixelFormat(format) && !pixelFormatName(format).isEmpty())
                text += QStringLiteral(", ") + pixelFormatName(format);
            tables.addRow(kVideoConnections.value(connection).caption, text);
            page.setValue(QStringLiteral("VideoInputTable"), tables.takeTable(QObject::tr("Video Input")), false);
        }
    }

    if (device.supportsPlayback()) {
        const int64_t outputs = device.getVideoOutputConnections();
        uint32_t mode = 0, flags = 0;
        const bool known = device.getVideoOutputDisplayMode(mode, flags);
        QString text = modeName(device.getVideoOutputDisplayModes(), known, mode, flags);
        uint32_t format = 0;
        if (known && device.getLastVideoOutputPixelFormat(format) && !pixelFormatName(format).isEmpty())
            text += QStringLiteral(", ") + pixelFormatName(format);
        for (auto it = kVideoConnections.cbegin(); it != kVideoConnections.cend(); ++it) {
            if (uint64_t(outputs) & it.key())
                tables.addRow(it.value().caption, text);
        }
        if (tables.hasRows())
            page.setValue(QStringLiteral("VideoOutputTable"), tables.takeTable(QObject::tr("Video Output")), false);
    }

    if (device.supportsReferenceInput()) {
        tables.addRow(getVideoReferenceInputDisplayString(&device),
            device.isReferenceSignalLocked() ? QObject::tr("Locked") : QStringLiteral("-"));
        page.setValue(QStringLiteral("ReferenceTable"), tables.takeTable(QObject::tr("Reference")), false);
    }

    QByteArray edid;
    if (device.getReceivedEDID(edid) && !edid.isEmpty()) {
        tables.addRow(edidText(edid), QString(), false, QStringLiteral("font-family: monospace;"));
        page.setValue(QStringLiteral("EDIDTable"), tables.takeTable(QObject::tr("HDMI EDID Data Received")), false);
    }

    page.setValue(QStringLiteral("OndaviaVersion"), QStringLiteral("Ondavia %1").arg(ZeltraCard::getAPIVersion()));

    if (device.supportsCapture() && device.supportsCapturePsF())
        tables.addRow(QObject::tr("Capture 1080p as PsF"), enabled(device.getCapture1080pAsPsF()));
    if (device.supportsPlayback() && device.supportsOutputPsF())
        tables.addRow(QObject::tr("Output 1080p as PsF"), enabled(device.getOutput1080pAsPsF()));
    if (device.supports444SDI())
        tables.addRow(QObject::tr("4:4:4 RGB"), enabled(device.get444SDIIsEnabled()));
    if (tables.hasRows())
        page.setValue(QStringLiteral("VideoOptionsTable"), tables.takeTable(QObject::tr("Video Options")), false);

    QString bus;
    switch (uint32_t(device.getDeviceInterface())) {
    case 0x70636920: bus = QStringLiteral("PCI"); break;
    case 0x7468756E: bus = QStringLiteral("Thunderbolt"); break;
    case 0x75736220: bus = QStringLiteral("USB"); break;
    default: bus = displayModeUnknown(); break;
    }
    tables.addRow(bus, QString());
    page.setValue(QStringLiteral("DeviceInterfaceTable"), tables.takeTable(QObject::tr("Device Interface")), false);

    int64_t width = 0;
    if (device.getPCIExpressLinkWidth(width))
        tables.addRow(QObject::tr("Link Width"), QStringLiteral("%1x").arg(width));
    int64_t speed = 0;
    if (device.getPCIExpressLinkSpeed(speed)) {
        const QString text = speed == 1 ? QStringLiteral("2.5 Gbps")
            : speed == 2                ? QStringLiteral("5 Gbps")
            : speed == 3                ? QStringLiteral("8 Gbps")
                                        : displayModeUnknown();
        tables.addRow(QObject::tr("Link Speed"), text);
    }
    if (tables.hasRows())
        page.setValue(QStringLiteral("PCIeStatusTable"), tables.takeTable(QObject::tr("PCIe Status")), false);

    page.setValue(QStringLiteral("MachineName"), system.hostName);
    if (!system.hardwareModel.isEmpty()) {
        tables.addRow(system.hardwareModel, QString());
        page.setValue(QStringLiteral("HardwareModelTable"), tables.takeTable(QObject::tr("Hardware Model")), false);
    }
    page.setValue(QStringLiteral("OperatingSystem"), system.systemVersion);
    page.setValue(QStringLiteral("PhysicalMemory"),
        QStringLiteral("%1 MiB").arg(system.physicalMemory / (1024 * 1024)));
    page.setValue(QStringLiteral("PhysicalProcessors"), QString::number(system.processorCount));
    return page.render();
}
