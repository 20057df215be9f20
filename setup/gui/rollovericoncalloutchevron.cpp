#include "rollovericoncalloutchevron.h"

#include "colourpalette.h"

#include <QPainter>
#include <QPainterPath>

RolloverIconCalloutChevron::RolloverIconCalloutChevron(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(11, 6);
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(QStringLiteral("QWidget { background: transparent; border: none; }"));
}

void RolloverIconCalloutChevron::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ColourPalette::kNightskyGray);
    const QPointF triangle[3] = {QPointF(0, 6), QPointF(6, 0), QPointF(11, 6)};
    painter.drawPolygon(triangle, 3);
}
