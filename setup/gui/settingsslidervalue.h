#pragma once

#include <QLabel>

// The value display beside a plain settings slider.
class SettingsSliderValue : public QLabel
{
    Q_OBJECT
public:
    explicit SettingsSliderValue(QWidget* parent = nullptr);
};
