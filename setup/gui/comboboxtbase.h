#pragma once

#include <QPointer>
#include <QString>

class SettingsComboBox;

// Access to a built combo box by item value (the item's user data). Wraps
// nothing when the page did not build the row; every operation then
// reports failure.
class ComboBoxTBase
{
public:
    explicit ComboBoxTBase(SettingsComboBox* combo = nullptr);

    bool exists() const;
    SettingsComboBox* combo() const;
    // Selects the item carrying `value`, signals blocked; false if none does.
    bool set(int value);
    // As set(), but with no item of `value` nothing stays selected.
    bool setOrClear(int value);
    // The current item's value; false when it is negative or there is none.
    bool get(int& value) const;
    // Renames the item carrying `value`.
    bool setLabel(int value, const QString& text);

private:
    QPointer<SettingsComboBox> m_combo;
};
