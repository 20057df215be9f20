#pragma once

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

// The band across the top of the main window: the product title on the left
// and the logo on the right, over a dark vertical gradient.
class WindowHeader : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHeight = 76;
    static constexpr int kTitleLeft = 29;
    static constexpr int kLogoRightInset = 23;

    explicit WindowHeader(QWidget* parent = nullptr);

    QString title() const { return m_title; }
    QRect textRect() const;
    QPoint logoPosition() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The title and logo places depend only on the size; worked out once per
    // size rather than on every paint.
    void computeGeometry() const;

    QString m_title;
    QPixmap m_logo;
    mutable QSize m_computedFor;
    mutable QRect m_textRect;
    mutable QPoint m_logoPosition;
};
