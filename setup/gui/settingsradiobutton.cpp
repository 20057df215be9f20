#include "settingsradiobutton.h"

#include "commongui.h"
#include "settingsstyle.h"

SettingsRadioButton::SettingsRadioButton(const QString& text, QWidget* parent)
    : QRadioButton(text, parent)
{
    setFont(CommonGui::font(CommonGui::kRegularMedium));
    setFocusPolicy(Qt::TabFocus);
    setStyleSheet(SettingsStyle::radioButton());
    setFixedHeight(19);
    adjustSize();
}
