#include "settingscheckbox.h"

#include "commongui.h"
#include "settingsstyle.h"

SettingsCheckBox::SettingsCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent)
{
    setFont(CommonGui::font(CommonGui::kRegularMedium));
    setFocusPolicy(Qt::TabFocus);
    setStyleSheet(SettingsStyle::checkBox());
    setFixedHeight(19);
    adjustSize();
}
