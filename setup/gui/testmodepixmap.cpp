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
    const auto fits = [&](int size) {
        font.setPointSize(size);
        const QFontMetrics metrics(font);
        const QRect bounds = wrap ? metrics.boundingRect(QRect(0, 0, width, height), flags, text)
                                  : metrics.boundingRect(text);
        return bounds.width() < width && bounds.height() < height;
    };
    // The text only grows with the size, so the largest size that fits is
    // found by halving. Each size tried loads a font of its own; trying all
    // from the top down cost more than the rest of a card's arrival.
    int fitting = 0, tooBig = 71;
    while (tooBig - fitting > 1) {
        const int size = (fitting + tooBig) / 2;
        (fits(size) ? fitting : tooBig) = size;
    }
    m_pointSize = fitting;
    if (m_pointSize == 0)
        return;
    font.setPointSize(m_pointSize);
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(QColor(220, 30, 30));
    // Nothing the text's line box overhangs may land outside the area.
    painter.setClipRect(QRect(x, y, width, height));
    painter.drawText(QRect(x, y, width, height), flags, text);
}
