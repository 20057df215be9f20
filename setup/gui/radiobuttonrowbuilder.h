#pragma once

#include <QStringList>
#include <QVector>

class QButtonGroup;
class SettingsRadioButton;
class SettingsTab;

// Collects the options of a grid radio group, then adds them as one row.
class RadioButtonRowBuilder
{
public:
    explicit RadioButtonRowBuilder(int columns = 2)
        : m_columns(columns)
    {
    }

    void add(const QString& label, int value);
    QButtonGroup* build(SettingsTab& tab, const QString& label);

    // The buttons made by build(), in the order added.
    const QVector<SettingsRadioButton*>& buttons() const { return m_buttons; }

private:
    QVector<SettingsRadioButton*> m_buttons;
    QStringList m_labels;
    QVector<int> m_values;
    int m_columns;
};
