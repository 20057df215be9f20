#pragma once

#include <QPair>
#include <QString>
#include <QVector>

class SettingsComboBox;
class SettingsTab;

// Collects the items of a combo box, then adds it as one row.
class ComboBoxBuilder
{
public:
    void add(const QString& label, int value);
    SettingsComboBox* build(SettingsTab& tab, const QString& label, int width) const;

private:
    QVector<QPair<QString, int>> m_items;
};
