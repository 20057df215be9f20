#include "buttonrowtbase.h"

#include <QAbstractButton>
#include <QButtonGroup>

ButtonRowTBase::ButtonRowTBase(QButtonGroup* group)
    : m_group(group)
{
}

bool ButtonRowTBase::exists() const
{
    return !m_group.isNull();
}

QButtonGroup* ButtonRowTBase::buttons() const
{
    return m_group;
}

bool ButtonRowTBase::set(int id)
{
    if (!m_group)
        return false;
    QAbstractButton* button = m_group->button(id);
    if (!button)
        return false;
    button->setChecked(true);
    return true;
}

bool ButtonRowTBase::setOrClear(int id)
{
    if (set(id))
        return true;
    if (!m_group || !m_group->checkedButton())
        return false;
    // An exclusive group keeps its checked button; it lets go while it is
    // not exclusive.
    const bool exclusive = m_group->exclusive();
    m_group->setExclusive(false);
    m_group->checkedButton()->setChecked(false);
    m_group->setExclusive(exclusive);
    return false;
}

bool ButtonRowTBase::get(int& id) const
{
    id = -1;
    if (!m_group || !m_group->checkedButton())
        return false;
    id = m_group->checkedId();
    return true;
}

bool ButtonRowTBase::setEnabled(bool enabled)
{
    if (!m_group)
        return false;
    for (QAbstractButton* button : m_group->buttons())
        button->setEnabled(enabled);
    return true;
}
