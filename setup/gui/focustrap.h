#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// Keeps the keyboard inside a layer drawn over the main window (a card's
// window, an in-window dialog) while the layer is shown. The window behind
// stays in the widget tree, so without this Tab would walk on into its
// hidden controls and Space would press them. Tab and Shift+Tab go round
// the layer's own controls, focus that escapes to the window behind is
// brought back, and when the layer goes the focus returns to where it was
// before the layer came. Of several shown layers the one shown last holds
// the keyboard.
class FocusTrap : public QObject
{
    Q_OBJECT
public:
    // Lives as a child of `layer`; the layer calls moveFocus() from its
    // focusNextPrevChild().
    explicit FocusTrap(QWidget* layer);
    ~FocusTrap() override;

    // The controls of `scope` that Tab reaches now, in focus-chain order.
    static QList<QWidget*> tabChain(const QWidget* scope);
    // QWidget::setTabOrder() for any two widgets: Qt leaves a widget
    // without a focus policy where it is (a label ending a block, a
    // group's button that lent its Tab stop to another).
    static void placeAfter(QWidget* first, QWidget* second);
    // Gives the focus to the first control of `scope` (in a group, its
    // chosen button); false when it has none.
    static bool focusFirstIn(QWidget* scope);
    // Moves to the next or previous control of the layer, round at the
    // ends; false when the layer has none.
    bool moveFocus(bool next);
    // Gives the focus to the layer's first control unless it is inside
    // the layer already.
    void focusInside();
    bool isHolding() const;
    // Where the focus goes when the layer comes: a widget that holds the
    // keys without being a control (so that a wheel turned over the first
    // control does not change it); Tab goes on from there. Without one, or
    // when it gives null, the first control takes the focus.
    void setHome(std::function<QWidget*()> home) { m_home = std::move(home); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activate();
    void deactivate();
    void onFocusChanged(QWidget* old, QWidget* now);

    QWidget* m_layer = nullptr;
    QPointer<QWidget> m_before;
    QPointer<QWidget> m_last;
    std::function<QWidget*()> m_home;
    static QList<FocusTrap*> s_shown;
};
