#pragma once

#include <QLabel>

// The value text of a label row.
class SettingsLabel : public QLabel
{
    Q_OBJECT
public:
    explicit SettingsLabel(QWidget* parent = nullptr);
};
