#include "focustrap.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QScrollArea>
#include <QTimer>
#include <QWidget>

QList<FocusTrap*> FocusTrap::s_shown;

namespace {
bool takesTab(const QWidget* w)
{
    return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->focusProxy() && w->isVisible()
        && w->isEnabled();
}

bool inside(const QWidget* scope, const QWidget* w)
{
    return w && (w == scope || scope->isAncestorOf(w));
}

// Entering an exclusive group lands on its chosen button, as the arrows
// then move from there.
QWidget* entryOf(QWidget* target, const QWidget* from)
{
    auto* button = qobject_cast<QAbstractButton*>(target);
    QButtonGroup* group = button ? button->group() : nullptr;
    if (!group || !group->exclusive())
        return target;
    auto* fromButton = qobject_cast<const QAbstractButton*>(from);
    if (fromButton && fromButton->group() == group)
        return target;
    QAbstractButton* chosen = group->checkedButton();
    return chosen && chosen->isVisible() && chosen->isEnabled() ? chosen : target;
}

void showInScrollAreas(QWidget* w)
{
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(p))
            area->ensureWidgetVisible(w, 8, 8);
    }
}
} // namespace

FocusTrap::FocusTrap(QWidget* layer)
    : QObject(layer)
    , m_layer(layer)
{
    layer->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &FocusTrap::onFocusChanged);
    if (layer->isVisible())
        activate();
}

FocusTrap::~FocusTrap()
{
    deactivate();
}

QList<QWidget*> FocusTrap::tabChain(const QWidget* scope)
{
    QList<QWidget*> chain;
    if (!scope)
        return chain;
    // The chain runs round the whole window; the scope's controls may sit
    // anywhere in it (tabs built after the footer join at its end).
    QWidget* w = scope->nextInFocusChain();
    for (int guard = 0; w && w != scope && guard < 100000; ++guard, w = w->nextInFocusChain()) {
        if (scope->isAncestorOf(w) && takesTab(w))
            chain << w;
    }
    return chain;
}

void FocusTrap::placeAfter(QWidget* first, QWidget* second)
{
    if (!first || !second || first == second)
        return;
    const Qt::FocusPolicy policies[] = { first->focusPolicy(), second->focusPolicy() };
    first->setFocusPolicy(Qt::FocusPolicy(policies[0] | Qt::TabFocus));
    second->setFocusPolicy(Qt::FocusPolicy(policies[1] | Qt::TabFocus));
    QWidget::setTabOrder(first, second);
    first->setFocusPolicy(policies[0]);
    second->setFocusPolicy(policies[1]);
}

bool FocusTrap::focusFirstIn(QWidget* scope)
{
    const QList<QWidget*> chain = tabChain(scope);
    if (chain.isEmpty())
        return false;
    QWidget* first = entryOf(chain.first(), nullptr);
    first->setFocus(Qt::TabFocusReason);
    showInScrollAreas(first);
    return true;
}

bool FocusTrap::isHolding() const
{
    return !s_shown.isEmpty() && s_shown.last() == this;
}

bool FocusTrap::moveFocus(bool next)
{
    const QList<QWidget*> chain = tabChain(m_layer);
    if (chain.isEmpty())
        return false;
    QWidget* current = QApplication::focusWidget();
    const int at = chain.indexOf(current);
    QWidget* target = nullptr;
    if (at < 0)
        target = next ? chain.first() : chain.last();
    else
        target = chain.at((at + (next ? 1 : chain.size() - 1)) % chain.size());
    target = entryOf(target, current);
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    showInScrollAreas(target);
    return true;
}

void FocusTrap::focusInside()
{
    if (!isHolding() || inside(m_layer, QApplication::focusWidget()))
        return;
    QWidget* back = m_last;
    if ((!back || !inside(m_layer, back) || !back->isVisible() || !back->isEnabled()) && m_home) {
        back = m_home();
        if (back && back->isVisible() && inside(m_layer, back)) {
            back->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    if (!back || !inside(m_layer, back) || !back->isVisible() || !back->isEnabled()) {
        const QList<QWidget*> chain = tabChain(m_layer);
        back = chain.isEmpty() ? nullptr : entryOf(chain.first(), nullptr);
    }
    if (back) {
        back->setFocus(Qt::TabFocusReason);
        showInScrollAreas(back);
    } else {
        // Nothing to press: the layer itself holds the keys so that none
        // reaches the window behind.
        m_layer->setFocus(Qt::OtherFocusReason);
    }
}

bool FocusTrap::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_layer) {
        if (event->type() == QEvent::Show)
            activate();
        else if (event->type() == QEvent::Hide)
            deactivate();
    }
    return QObject::eventFilter(watched, event);
}

void FocusTrap::activate()
{
    if (s_shown.contains(this))
        return;
    QWidget* focus = QApplication::focusWidget();
    m_before = inside(m_layer, focus) ? nullptr : focus;
    s_shown.append(this);
    if (m_layer->focusPolicy() == Qt::NoFocus)
        m_layer->setFocusPolicy(Qt::ClickFocus);
    focusInside();
    // A layer fills its pages after it is shown: look again once they are.
    QTimer::singleShot(0, this, &FocusTrap::focusInside);
}

void FocusTrap::deactivate()
{
    const bool holding = isHolding();
    if (!s_shown.removeOne(this))
        return;
    QWidget* focus = QApplication::focusWidget();
    if (!holding || !(inside(m_layer, focus) || !focus))
        return;
    QWidget* back = m_before;
    if (back && back->isVisible() && back->isEnabled()
        && (s_shown.isEmpty() || inside(s_shown.last()->m_layer, back)))
        back->setFocus(Qt::OtherFocusReason);
    else if (!s_shown.isEmpty())
        s_shown.last()->focusInside();
}

void FocusTrap::onFocusChanged(QWidget*, QWidget* now)
{
    if (!isHolding() || !now)
        return;
    if (inside(m_layer, now)) {
        m_last = now;
        return;
    }
    // Popups and message boxes are windows of their own; only the window
    // behind the layer is out of bounds.
    if (now->window() != m_layer->window())
        return;
    focusInside();
}
