#pragma once

#include <QString>

// Style sheets shared by the controls of the settings tabs.
namespace SettingsStyle {
QString lineEdit();
QString radioButton();
QString checkBox();
QString comboBox();
QString slider();
} // namespace SettingsStyle
