#pragma once

#include <QColor>
#include <QWidget>

// A line one pixel high in one colour, drawn between rows.
class CardSeparator : public QWidget
{
    Q_OBJECT
public:
    explicit CardSeparator(const QColor& colour, QWidget* parent = nullptr);
    QColor colour() const { return m_colour; }

private:
    QColor m_colour;
};
