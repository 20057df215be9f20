#pragma once

#include <QPointer>
#include <QSlider>

#include "settingsslidervalue.h"


// A horizontal slider of a settings row. It ignores the mouse wheel and keys
// unless it has the keyboard focus, so that scrolling the page never changes
// a setting. With a value display it shows its value there, divided by the
// divider, with the decimal places and units given.
class SettingsSlider : public QSlider
{
    Q_OBJECT
public:
    explicit SettingsSlider(QWidget* parent = nullptr);

    void setValueDisplay(SettingsSliderValue* display);
    SettingsSliderValue* valueDisplay() const { return m_display; }

    void setMinMax(int minimum, int maximum);
    void setDecPlaces(int places);
    void setDivider(float divider);
    void setUnits(const QString& units);
    // The display text; "%1" is replaced by the number.
    void setFormat(const QString& format);
    void enableSliderAndLineEdit(bool enabled);

    QString displayText() const;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateDisplay();

    QPointer<SettingsSliderValue> m_display;
    int m_places = 0;
    float m_divider = 1.0f;
    QString m_units;
    QString m_format = QStringLiteral("%1");
};
