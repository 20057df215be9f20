#include "rollovericoncallouttextbubble.h"

#include "colourpalette.h"
#include "commongui.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

RolloverIconCalloutTextBubble::RolloverIconCalloutTextBubble(const QString& text, QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(QStringLiteral("QWidget { background: transparent; border: none; }"));
    setFont(CommonGui::font(CommonGui::kRegular));
    setText(text);
}

void RolloverIconCalloutTextBubble::setText(const QString& text)
{
    m_text = text;
    const QRect bounds = QFontMetrics(font()).boundingRect(
        QRect(0, 0, kWrapWidth, 10000), Qt::TextWordWrap | Qt::AlignHCenter, m_text);
    setFixedSize(bounds.width() + 2 * kPadding, bounds.height() + 2 * kPadding);
    update();
}

void RolloverIconCalloutTextBubble::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ColourPalette::kNightskyGray);
    painter.drawRoundedRect(rect(), 4, 4);
    painter.setPen(Qt::white);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_text);
}
