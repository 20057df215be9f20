#include "cardseparator.h"

#include "colourpalette.h"

CardSeparator::CardSeparator(const QColor& colour, QWidget* parent)
    : QWidget(parent)
    , m_colour(colour)
{
    setFixedHeight(1);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("QWidget { background: %1; border: none; }")
                      .arg(ColourPalette::toHtmlQString(colour)));
}
