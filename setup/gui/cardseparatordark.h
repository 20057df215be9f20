#pragma once

#include "cardseparator.h"

// The full-width grey rule under a tab's header and between sections.
class CardSeparatorDark : public CardSeparator
{
    Q_OBJECT
public:
    explicit CardSeparatorDark(QWidget* parent = nullptr);
};
