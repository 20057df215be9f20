#pragma once

#include <QScrollBar>

// A thin scroll bar drawn by a style sheet, for the dark views of the main
// window: a translucent handle on a transparent groove.
class CustomScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    static constexpr int kThickness = 8;

    explicit CustomScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    static QString styleSheetText(Qt::Orientation orientation);
};
