#include "zeltrasettingssliderwitheditablevalueandindependantranges.h"

#include "commongui.h"
#include "settingsslider.h"

ZeltraSettingsSliderWithEditableValueAndIndependantRanges::ZeltraSettingsSliderWithEditableValueAndIndependantRanges(
    QWidget* parent)
    : SettingsSliderWithEditableValue(parent)
{
}

void ZeltraSettingsSliderWithEditableValueAndIndependantRanges::setMinimum(double valueMinimum, double sliderMinimum)
{
    m_sliderMinimum = sliderMinimum;
    // The base bounds the value and its field; the slider then gets its own.
    SettingsSliderWithEditableValue::setMinimum(valueMinimum);
    slider()->setMinimum(CommonGui::toFixedPoint(sliderMinimum, decimalPlaces()));
}

void ZeltraSettingsSliderWithEditableValueAndIndependantRanges::setMaximum(double valueMaximum, double sliderMaximum)
{
    m_sliderMaximum = sliderMaximum;
    SettingsSliderWithEditableValue::setMaximum(valueMaximum);
    slider()->setMaximum(CommonGui::toFixedPoint(sliderMaximum, decimalPlaces()));
}

void ZeltraSettingsSliderWithEditableValueAndIndependantRanges::setMaxInputTextLength(int length)
{
    setMaxLength(length);
}
