#pragma once

#include <QScrollArea>

// The vertical scroll area of a settings tab with a thin translucent bar.
// The content always takes the viewport's width.
class CardScrollArea : public QScrollArea
{
    Q_OBJECT
public:
    explicit CardScrollArea(QWidget* parent = nullptr);

    static QString scrollBarStyleSheet();

protected:
    void resizeEvent(QResizeEvent* event) override;
};
