#include "comboboxtbase.h"

#include "settingscombobox.h"

#include <QSignalBlocker>

ComboBoxTBase::ComboBoxTBase(SettingsComboBox* combo)
    : m_combo(combo)
{
}

bool ComboBoxTBase::exists() const
{
    return !m_combo.isNull();
}

SettingsComboBox* ComboBoxTBase::combo() const
{
    return m_combo;
}

bool ComboBoxTBase::set(int value)
{
    if (!m_combo)
        return false;
    const int index = m_combo->findData(value, Qt::UserRole);
    if (index < 0)
        return false;
    const QSignalBlocker blocker(m_combo.data());
    m_combo->setCurrentIndex(index);
    return true;
}

bool ComboBoxTBase::setOrClear(int value)
{
    if (set(value))
        return true;
    if (m_combo) {
        const QSignalBlocker blocker(m_combo.data());
        m_combo->setCurrentIndex(-1);
    }
    return false;
}

bool ComboBoxTBase::get(int& value) const
{
    if (!m_combo || m_combo->currentIndex() < 0)
        return false;
    bool ok = false;
    const int data = m_combo->currentData(Qt::UserRole).toInt(&ok);
    if (!ok || data < 0)
        return false;
    value = data;
    return true;
}

bool ComboBoxTBase::setLabel(int value, const QString& text)
{
    if (!m_combo)
        return false;
    const int index = m_combo->findData(value, Qt::UserRole);
    if (index < 0)
        return false;
    m_combo->setItemText(index, text);
    return true;
}
