#pragma once

#include "settingsslider.h"
#include "settingssliderwitheditablevalue.h"
#include "sliderlink.h"

#include <QSignalBlocker>

// Helpers shared by the level rows of the video and audio tabs (Y, Chroma and the
// linked Cb/Cr pair), whose sliders exist only for the connections that have them.
namespace AnalogLevelSliders {

// Shows the card's value without counting it as a change. A value being
// typed or dragged stays the user's until committed.
inline void load(SettingsSliderWithEditableValue* slider, double value)
{
    if (!slider)
        return;
    if ((slider->valueField()->hasFocus() && slider->valueField()->isModified()) || slider->slider()->isSliderDown())
        return;
    const QSignalBlocker blocker(slider);
    slider->setRealValue(value);
}

// Back to 0 dB: Y and Chroma, and the Cb/Cr pair with them.
inline void reset(SettingsSliderWithEditableValue* y, SettingsSliderWithEditableValue* chroma, SliderLink* cbCr)
{
    if (y)
        y->setRealValue(0.0);
    if (chroma)
        chroma->setRealValue(0.0);
    if (cbCr)
        cbCr->resetSliders(0.0);
}

} // namespace AnalogLevelSliders
