#include "cardseparatordarkmiddle.h"

#include "cardseparatordark.h"
#include "tighthboxlayout.h"

CardSeparatorDarkMiddle::CardSeparatorDarkMiddle(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(1);
    auto* row = new TightHBoxLayout(this);
    auto* line = new CardSeparatorDark(this);
    line->setFixedSize(560, 1);
    row->addStretch();
    row->addWidget(line);
    row->addStretch();
}
