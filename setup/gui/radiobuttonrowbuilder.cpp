#include "radiobuttonrowbuilder.h"

#include "settingstab.h"

void RadioButtonRowBuilder::add(const QString& label, int value)
{
    m_labels.append(label);
    m_values.append(value);
}

QButtonGroup* RadioButtonRowBuilder::build(SettingsTab& tab, const QString& label)
{
    m_buttons.clear();
    return tab.addRadioButtonGroup(label, &m_buttons, m_labels, m_values, m_columns);
}
