#pragma once

#include <QByteArray>
#include <QString>

class ZeltraCard;
struct SystemDetails;

// The HTML status report of one card and this computer, put together from the
// three report templates. Every value from the card or the system is
// HTML-escaped; only rendered rows and tables go in as they are.
class StatusReport
{
public:
    // "Morvane_Ondavia_Status_Report_yyyy-MM-dd_HH-mm-ss.html"
    static QString fileName(const class QDateTime& when);
    static QString pixelFormatName(uint32_t format);
    // Base64 of the bytes in lines of 36 characters joined by "<br/>".
    static QString edidText(const QByteArray& edid);

    static QString build(ZeltraCard& device, const SystemDetails& system);
};
