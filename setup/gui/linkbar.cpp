#include "linkbar.h"

#include "colourpalette.h"

#include <QPainter>

LinkBar::LinkBar(Direction direction, QWidget* parent)
    : QWidget(parent)
    , m_direction(direction)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LinkBar::setLinked(bool linked)
{
    m_linked = linked;
    update();
}

void LinkBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(m_linked ? ColourPalette::kAccentColour : ColourPalette::kWolfGray, 1.5);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    const qreal mid = width() / 2.0;
    // A corner from the value field's level to the button's centre line.
    if (m_direction == kUp) {
        painter.drawLine(QPointF(1, 1), QPointF(mid, 1));
        painter.drawLine(QPointF(mid, 1), QPointF(mid, height()));
    } else {
        painter.drawLine(QPointF(mid, 0), QPointF(mid, height() - 1));
        painter.drawLine(QPointF(mid, height() - 1), QPointF(1, height() - 1));
    }
}
