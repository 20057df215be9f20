#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

// The band across the top of the main window: product title and logo over a
// dark gradient.
class WindowHeader : public QWidget
{
    Q_OBJECT

public:
    explicit WindowHeader(QWidget* parent = nullptr);

    QString title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    QPixmap m_logo;
};
