#include "settingslabel.h"

#include "colourpalette.h"
#include "commongui.h"

SettingsLabel::SettingsLabel(QWidget* parent)
    : QLabel(parent)
{
    setFont(CommonGui::font(CommonGui::kRegularMedium));
    QPalette p = palette();
    p.setColor(QPalette::WindowText, ColourPalette::kRaincloudGray);
    setPalette(p);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}
