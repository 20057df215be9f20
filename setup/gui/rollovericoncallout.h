#pragma once

#include <QWidget>

class RolloverIconCalloutChevron;
class RolloverIconCalloutTextBubble;

// The floating explanation of a rollover icon: a chevron above a text bubble.
class RolloverIconCallout : public QWidget
{
    Q_OBJECT
public:
    explicit RolloverIconCallout(const QString& text, QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;

private:
    RolloverIconCalloutChevron* m_chevron = nullptr;
    RolloverIconCalloutTextBubble* m_bubble = nullptr;
};
