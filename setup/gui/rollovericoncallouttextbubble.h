#pragma once

#include <QString>
#include <QWidget>

// The rounded dark bubble of a callout with its word-wrapped white text.
class RolloverIconCalloutTextBubble : public QWidget
{
    Q_OBJECT
public:
    explicit RolloverIconCalloutTextBubble(const QString& text, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);

    // Text wraps within this width before the padding is added.
    static constexpr int kWrapWidth = 212;
    static constexpr int kPadding = 8;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};
