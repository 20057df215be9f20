#pragma once

#include <QPushButton>

// The rounded grey push button of cards and dialogs, styled by a gradient
// style sheet with pressed, toggled, disabled and default variants.
class CardPushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CardPushButton(QWidget* parent = nullptr);
    explicit CardPushButton(const QString& text, QWidget* parent = nullptr);

    static QString styleSheetText();
};
