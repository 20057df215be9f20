#pragma once

#include <QCheckBox>

// A check box of a settings row, drawn with the toolkit's images.
class SettingsCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit SettingsCheckBox(const QString& text, QWidget* parent = nullptr);
};
