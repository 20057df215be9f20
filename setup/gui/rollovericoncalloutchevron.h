#pragma once

#include <QWidget>

// The small triangle that points from a callout's bubble up to its icon.
class RolloverIconCalloutChevron : public QWidget
{
    Q_OBJECT
public:
    explicit RolloverIconCalloutChevron(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
