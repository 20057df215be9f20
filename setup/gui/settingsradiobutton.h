#pragma once

#include <QRadioButton>

// A radio button of a settings row, drawn with the toolkit's images.
class SettingsRadioButton : public QRadioButton
{
    Q_OBJECT
public:
    explicit SettingsRadioButton(const QString& text, QWidget* parent = nullptr);
};
