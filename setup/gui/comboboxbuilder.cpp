#include "comboboxbuilder.h"

#include "settingscombobox.h"
#include "settingstab.h"

#include <QSignalBlocker>

void ComboBoxBuilder::add(const QString& label, int value)
{
    m_items.append(qMakePair(label, value));
}

SettingsComboBox* ComboBoxBuilder::build(SettingsTab& tab, const QString& label, int width) const
{
    SettingsComboBox* combo = tab.addComboBoxRow(label, width);
    const QSignalBlocker blocker(combo);
    for (const auto& item : m_items)
        combo->addItem(item.first, item.second);
    return combo;
}
