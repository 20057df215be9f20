#pragma once

#include "settingssliderwitheditablevalue.h"

// An editable slider whose value field accepts a wider (or narrower) range
// than the slider travels: typed values are bounded by the value range, the
// slider by its own range.
class ZeltraSettingsSliderWithEditableValueAndIndependantRanges : public SettingsSliderWithEditableValue
{
    Q_OBJECT
public:
    explicit ZeltraSettingsSliderWithEditableValueAndIndependantRanges(QWidget* parent = nullptr);

    void setMinimum(double valueMinimum, double sliderMinimum);
    void setMaximum(double valueMaximum, double sliderMaximum);
    void setMaxInputTextLength(int length);

    double sliderMinimum() const { return m_sliderMinimum; }
    double sliderMaximum() const { return m_sliderMaximum; }

private:
    double m_sliderMinimum = 0.0;
    double m_sliderMaximum = 100.0;
};
