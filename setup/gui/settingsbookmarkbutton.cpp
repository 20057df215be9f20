#include "settingsbookmarkbutton.h"
#include "hidpipixmap.h"

#include "colourpalette.h"
#include "commongui.h"

#include <QPainter>

SettingsBookmarkButton::SettingsBookmarkButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
    setFixedSize(145, 24);
    setFont(CommonGui::font(CommonGui::kSemiboldMedium));
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void SettingsBookmarkButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (hasFocus())
        painter.setPen(QPen(ColourPalette::kAccentColour, 1.5));
    else
        painter.setPen(underMouse() || isDown() ? ColourPalette::kWolfGray : ColourPalette::kBonesGray);
    painter.setBrush(isDown() ? ColourPalette::kMilkGray : QColor(Qt::white));
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(ColourPalette::kWinterSkyGray);
    painter.setFont(font());
    painter.drawText(rect().adjusted(10, 0, -24, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
    const QPixmap arrow = loadPicture(QStringLiteral(":/Dropdown_Arrow"));
    const QSize s = arrow.size() / arrow.devicePixelRatio();
    painter.drawPixmap(width() - 10 - s.width(), (height() - s.height()) / 2, arrow);
}
