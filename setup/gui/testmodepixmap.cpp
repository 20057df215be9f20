#include "testmodepixmap.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

TestModePixmap::TestModePixmap(const QPixmap& pixmap, int width, int height, int x, int y, bool wrap)
    : QPixmap(pixmap.isNull() ? QPixmap(std::max(1, width), std::max(1, height)) : pixmap)
{
    if (pixmap.isNull())
        fill(Qt::transparent);
    const QString text = tr("TEST MODE");
    const int flags = wrap ? int(Qt::AlignCenter | Qt::TextWordWrap) : int(Qt::AlignLeft | Qt::AlignTop);
    QFont font(QStringLiteral("Helvetica"));
    font.setBold(true);
    for (int size = 70; size > 0; --size) {
        font.setPointSize(size);
        const QFontMetrics metrics(font);
        const QRect bounds = wrap ? metrics.boundingRect(QRect(0, 0, width, height), flags, text)
                                  : metrics.boundingRect(text);
        if (bounds.width() < width && bounds.height() < height) {
            m_pointSize = size;
            break;
        }
    }
    if (m_pointSize == 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(QColor(220, 30, 30));
    // Nothing the text's line box overhangs may land outside the area.
    painter.setClipRect(QRect(x, y, width, height));
    painter.drawText(QRect(x, y, width, height), flags, text);
}
