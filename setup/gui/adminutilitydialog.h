#pragma once

#include <QFrame>
#include <QPointer>
#include <QWidget>

class FocusTrap;

// An in-window dialog: a translucent sheet over the whole main window with a
// white rounded frame centred on it. Subclasses fill frame(). The dialog
// follows every resize of the window it covers and, while shown, holds the
// keyboard (see FocusTrap).
class AdminUtilityDialog : public QWidget
{
    Q_OBJECT
public:
    explicit AdminUtilityDialog(QWidget* window);

    QFrame* frame() const { return m_frame; }
    QWidget* coveredWindow() const { return m_window; }

    // Sizes the sheet to the window and centres the frame at its natural size.
    void placeOverWindow();
    // Places the dialog over the window, raises it and shows it.
    void showOverWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QPointer<QWidget> m_window;
    QFrame* m_frame = nullptr;
    FocusTrap* m_trap = nullptr;
};
