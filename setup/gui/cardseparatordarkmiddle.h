#pragma once

#include <QWidget>

// A row one pixel high with a 560-pixel grey rule centred in it.
class CardSeparatorDarkMiddle : public QWidget
{
    Q_OBJECT
public:
    explicit CardSeparatorDarkMiddle(QWidget* parent = nullptr);
};
