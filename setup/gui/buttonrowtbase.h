#pragma once

#include <QList>
#include <QPointer>

class QButtonGroup;

// Access to the buttons of a built radio or image row by id. Wraps nothing
// when the page did not build the row; every operation then reports failure.
class ButtonRowTBase
{
public:
    explicit ButtonRowTBase(QButtonGroup* group = nullptr);

    bool exists() const;
    QButtonGroup* buttons() const;
    // Checks the button with `id`; false if there is none.
    bool set(int id);
    // As set(), but with no button of `id` none stays checked: a value the
    // row has no button for is shown as no choice, not as the last one.
    bool setOrClear(int id);
    // The checked id; -1 and false when none is checked.
    bool get(int& id) const;
    bool setEnabled(bool enabled);

private:
    QPointer<QButtonGroup> m_group;
};
