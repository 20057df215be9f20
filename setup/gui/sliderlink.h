#pragma once

#include "sliderlinkbase.h"

#include <QPointer>

class SettingsSliderWithEditableValue;

// Links two editable sliders: while linked, moving one moves the other.
// The control places itself beside the value fields and follows the sliders
// when they move, resize, show or hide.
class SliderLink : public SliderLinkBase
{
    Q_OBJECT
public:
    enum Type {
        Equal = 0,        // B follows A's value
        Offset = 1,       // B moves by A's change
        Proportional = 2, // B is mapped through the two ranges
    };

    // The control is a child of `parent`, normally the tab's content widget.
    SliderLink(SettingsSliderWithEditableValue* a, SettingsSliderWithEditableValue* b, Type type,
               QWidget* parent);

    Type type() const { return m_type; }
    SettingsSliderWithEditableValue* sliderA() const { return m_a; }
    SettingsSliderWithEditableValue* sliderB() const { return m_b; }
    // Sets both sliders to `value` without passing the move through the link.
    void resetSliders(double value);
    // Re-reads the sliders' places and visibility.
    void reposition();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onLinkClicked(bool linked);
    void onAChanged(double value);
    void onBChanged(double value);
    void follow(SettingsSliderWithEditableValue* changed, SettingsSliderWithEditableValue* other,
                double value, double changedAtLink, double otherAtLink);

    QPointer<SettingsSliderWithEditableValue> m_a;
    QPointer<SettingsSliderWithEditableValue> m_b;
    Type m_type;
    double m_aAtLink = 0.0;
    double m_bAtLink = 0.0;
    bool m_following = false;
};
