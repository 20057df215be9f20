#pragma once

#include <QPointer>
#include <QWidget>

class FocusTrap;

// A card drawn over the dimmed main window: the background covers the
// whole window and the 620-pixel body sits centred 20 pixels below its top.
// Both follow every resize of the window. While shown the card holds the
// keyboard: Tab goes round its own controls only.
class ProductCardBase : public QWidget
{
    Q_OBJECT
public:
    explicit ProductCardBase(QWidget* window);

    QWidget* background() const { return m_background; }
    QWidget* body() const { return m_body; }
    QWidget* coveredWindow() const { return m_window; }

    void placeOverWindow();

    FocusTrap* focusTrap() const { return m_trap; }

    static constexpr int kBodyWidth = 620;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QPointer<QWidget> m_window;
    QWidget* m_background = nullptr;
    QWidget* m_body = nullptr;
    FocusTrap* m_trap = nullptr;
};
