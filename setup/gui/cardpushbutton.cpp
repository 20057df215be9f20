#include "cardpushbutton.h"

#include "colourpalette.h"
#include "commongui.h"

namespace {
QString colour(const QColor& c)
{
    return ColourPalette::toHtmlQString(c);
}
} // namespace

CardPushButton::CardPushButton(QWidget* parent)
    : CardPushButton(QString(), parent)
{
}

CardPushButton::CardPushButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
    setFont(CommonGui::font(CommonGui::kSemiboldMedium));
    setFocusPolicy(Qt::TabFocus);
    setStyleSheet(styleSheetText());
}

QString CardPushButton::styleSheetText()
{
    const QString accent = colour(ColourPalette::kAccentColour);
    const QString accentDark = colour(ColourPalette::kAccentColour.darker(120));
    return QStringLiteral(
               "QPushButton { color: %1; border: 1px solid %2; border-radius: 4px;"
               " padding: 0px 8px;"
               " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 %3); }"
               "QPushButton:hover { border-color: %4; }"
               "QPushButton:focus { border: 2px solid %5; padding: 0px 7px; }"
               "QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
               " stop:0 %2, stop:1 %3); }"
               "QPushButton:checked { color: white; border-color: %6;"
               " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %5, stop:1 %6); }"
               "QPushButton:default { color: white; border-color: %6;"
               " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %5, stop:1 %6); }"
               "QPushButton:default:pressed { background: %6; }"
               "QPushButton:default:focus { border: 2px solid %10; }"
               "QPushButton:disabled { color: %7; border-color: %8; background: %9; }")
        .arg(colour(ColourPalette::kWinterSkyGray), colour(ColourPalette::kWolfGray),
             colour(ColourPalette::kMilkGray), colour(ColourPalette::kSmokeGray), accent,
             accentDark, ColourPalette::toHtmlQString(ColourPalette::kRaincloudGray, ColourPalette::kDisabledAlpha),
             ColourPalette::toHtmlQString(ColourPalette::kWolfGray, ColourPalette::kDisabledAlpha),
             ColourPalette::toHtmlQString(ColourPalette::kMilkGray, ColourPalette::kDisabledAlpha))
        .arg(colour(ColourPalette::kStormGray));
}
