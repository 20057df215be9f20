#include "settingsslider.h"

#include "settingsslidervalue.h"
#include "settingsstyle.h"

#include <QKeyEvent>
#include <QWheelEvent>

SettingsSlider::SettingsSlider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setStyleSheet(SettingsStyle::slider());
    setFixedHeight(20);
    connect(this, &QSlider::valueChanged, this, &SettingsSlider::updateDisplay);
}

void SettingsSlider::setValueDisplay(SettingsSliderValue* display)
{
    m_display = display;
    updateDisplay();
}

void SettingsSlider::setMinMax(int minimum, int maximum)
{
    setRange(minimum, maximum);
    updateDisplay();
}

void SettingsSlider::setDecPlaces(int places)
{
    m_places = qBound(0, places, 6);
    updateDisplay();
}

void SettingsSlider::setDivider(float divider)
{
    m_divider = divider == 0.0f ? 1.0f : divider;
    updateDisplay();
}

void SettingsSlider::setUnits(const QString& units)
{
    m_units = units;
    updateDisplay();
}

void SettingsSlider::setFormat(const QString& format)
{
    m_format = format.contains(QLatin1String("%1")) ? format : QStringLiteral("%1");
    updateDisplay();
}

void SettingsSlider::enableSliderAndLineEdit(bool enabled)
{
    setEnabled(enabled);
    if (m_display)
        m_display->setEnabled(enabled);
}

QString SettingsSlider::displayText() const
{
    const QString number = QString::number(value() / double(m_divider), 'f', m_places);
    QString text = m_format.arg(number);
    if (!m_units.isEmpty())
        text += QLatin1Char(' ') + m_units;
    return text;
}

void SettingsSlider::updateDisplay()
{
    if (m_display)
        m_display->setText(displayText());
}

void SettingsSlider::wheelEvent(QWheelEvent* event)
{
    if (hasFocus())
        QSlider::wheelEvent(event);
    else
        event->ignore();
}

void SettingsSlider::keyPressEvent(QKeyEvent* event)
{
    if (hasFocus())
        QSlider::keyPressEvent(event);
    else
        event->ignore();
}
