#include "cardpopupmenu.h"

#include "colourpalette.h"
#include "commongui.h"
#include "mainwindowmenu.h"

#include <QActionGroup>

CardPopupMenu::CardPopupMenu(QWidget* parent)
    : QMenu(parent)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFont(CommonGui::font(CommonGui::kRegular));
    setStyleSheet(styleSheetText());
}

QString CardPopupMenu::styleSheetText()
{
    return MainWindowMenu::styleSheetText();
}

QAction* CardPopupMenu::addOption(const QString& text, int value, bool checkable)
{
    QAction* action = addAction(text);
    action->setData(value);
    action->setCheckable(checkable);
    if (checkable && m_group)
        m_group->addAction(action);
    connect(action, &QAction::triggered, this, [this, value] { emit menuOptionPressed(value); });
    return action;
}

void CardPopupMenu::beginExclusiveGroup()
{
    m_group = new QActionGroup(this);
    m_group->setExclusive(true);
}

void CardPopupMenu::endExclusiveGroup()
{
    m_group = nullptr;
}

QAction* CardPopupMenu::optionAction(int value) const
{
    for (QAction* action : actions()) {
        if (!action->isSeparator() && action->data().isValid() && action->data().toInt() == value)
            return action;
    }
    return nullptr;
}

bool CardPopupMenu::selectOption(int value)
{
    QAction* action = optionAction(value);
    if (!action || !action->isCheckable())
        return false;
    action->setChecked(true);
    return true;
}

void CardPopupMenu::raiseBelow(QWidget* widget, int gap)
{
    if (!widget)
        return;
    popup(widget->mapToGlobal(QPoint(0, widget->height() + gap)));
}

void CardPopupMenu::raiseAbove(QWidget* widget, int gap)
{
    if (!widget)
        return;
    popup(widget->mapToGlobal(QPoint(0, -gap - sizeHint().height())));
}
