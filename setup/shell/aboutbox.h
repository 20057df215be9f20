#pragma once

#include <QDialog>

// The small frameless About window; any click or losing focus closes it.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);

    static QString versionText();
    static QString rightsText();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Only a loss of focus closes the box, not the moments before it first
    // becomes active.
    bool m_wasActive = false;
};
