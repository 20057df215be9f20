#pragma once

#include <QDialog>

class QPushButton;

// The small About window: icon, name, version and rights, with a Close
// button; a click anywhere on it, Escape or losing focus closes it too.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);

    static QString versionText();
    static QString rightsText();

    QPushButton* closeButton() const { return m_close; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Only a loss of focus closes the box, not the moments before it first
    // becomes active.
    bool m_wasActive = false;
    QPushButton* m_close = nullptr;
};
