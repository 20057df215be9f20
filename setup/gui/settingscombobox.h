#pragma once

#include <QComboBox>

// A combo box of a settings row. It ignores the mouse wheel unless it has
// the keyboard focus, so that scrolling the page never changes a setting.
class SettingsComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit SettingsComboBox(QWidget* parent = nullptr);

    // Sets or clears the item's enabled flag; false for a bad index.
    bool setIndexEnabled(int index, bool enabled);
    bool isIndexEnabled(int index) const;

protected:
    void changeEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};
