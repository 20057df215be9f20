#include "settingsslidervalue.h"

#include "colourpalette.h"
#include "commongui.h"

SettingsSliderValue::SettingsSliderValue(QWidget* parent)
    : QLabel(parent)
{
    setFont(CommonGui::font(CommonGui::kSemiboldMedium));
    QPalette p = palette();
    p.setColor(QPalette::WindowText, ColourPalette::kWinterSkyGray);
    setPalette(p);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFixedSize(70, 19);
}
