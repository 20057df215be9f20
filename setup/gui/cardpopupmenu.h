#pragma once

#include <QMenu>

class QActionGroup;

// A white rounded menu whose options carry integer values. Options may be
// checkable, alone or in exclusive groups.
class CardPopupMenu : public QMenu
{
    Q_OBJECT
public:
    explicit CardPopupMenu(QWidget* parent = nullptr);

    // Adds an option; `checkable` options join the current exclusive group
    // when one is open.
    QAction* addOption(const QString& text, int value, bool checkable = false);
    void beginExclusiveGroup();
    void endExclusiveGroup();
    // Checks the checkable option carrying `value`; false if there is none.
    bool selectOption(int value);
    QAction* optionAction(int value) const;

    // Pops up with the top edge `gap` pixels below `widget`.
    void raiseBelow(QWidget* widget, int gap = 0);
    // Pops up with the bottom edge `gap` pixels above `widget`.
    void raiseAbove(QWidget* widget, int gap = 0);

    static QString styleSheetText();

signals:
    void menuOptionPressed(int value);

private:
    QActionGroup* m_group = nullptr;
};
