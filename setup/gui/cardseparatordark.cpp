#include "cardseparatordark.h"

#include "colourpalette.h"

CardSeparatorDark::CardSeparatorDark(QWidget* parent)
    : CardSeparator(ColourPalette::kBonesGray, parent)
{
}
