#include "settingssliderwitheditablevalue.h"
#include "hidpipixmap.h"

#include "colourpalette.h"
#include "commongui.h"
#include "flatimagebutton.h"
#include "settingsslider.h"
#include "settingsstyle.h"

#include <QAction>
#include <QDoubleValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QScopeGuard>
#include <QSignalBlocker>

#include <limits>

namespace {
constexpr int kSliderWidth = 250;
constexpr int kFieldX = 262;
constexpr int kFieldWidth = 56;
constexpr int kUnitsX = 322;
constexpr int kDefaultX = 384;
constexpr int kWidth = 405;
constexpr int kHeight = 31;
} // namespace

SettingsSliderWithEditableValue::SettingsSliderLineEdit::SettingsSliderLineEdit(
    SettingsSliderWithEditableValue* owner)
    : QLineEdit(owner)
    , m_owner(owner)
{
    m_statusAction = addAction(QIcon(), QLineEdit::TrailingPosition);
    m_statusAction->setVisible(false);
    connect(this, &QLineEdit::textChanged, this, &SettingsSliderLineEdit::updateStatusIcon);
}

void SettingsSliderWithEditableValue::SettingsSliderLineEdit::setStatusIconEnabled(bool enabled)
{
    m_statusIconEnabled = enabled;
    updateStatusIcon();
}

void SettingsSliderWithEditableValue::SettingsSliderLineEdit::updateStatusIcon()
{
    SettingsLineEdit::StatusIcon icon = SettingsLineEdit::kNoIcon;
    if (!hasAcceptableInput())
        icon = SettingsLineEdit::kAlertIcon;
    else if (hasFocus())
        icon = SettingsLineEdit::kOkIcon;
    m_icon = icon;
    const bool show = m_statusIconEnabled && icon != SettingsLineEdit::kNoIcon;
    if (show)
        m_statusAction->setIcon(QIcon(loadPicture(icon == SettingsLineEdit::kAlertIcon ? QStringLiteral(":/Field_Icon_Alert")
                                                                                        : QStringLiteral(":/Field_Icon_OK"))));
    m_statusAction->setVisible(show);
}

void SettingsSliderWithEditableValue::SettingsSliderLineEdit::userDoneEdit()
{
    // Rewriting the text must not hide that the user edited it.
    const bool edited = isModified();
    const auto keepEdited = qScopeGuard([this, edited] { setModified(edited); });
    // The validator lets a lone sign or dot ("", "+", "-.", ...) stand as a
    // start of typing; committed, it is no number and would leave the field
    // stuck, so the current value comes back.
    bool number = false;
    text().trimmed().toDouble(&number);
    if (!number) {
        const QSignalBlocker blocker(this);
        setText(m_owner->format(m_owner->realValue()));
    }
    const auto* range = qobject_cast<const QDoubleValidator*>(validator());
    if (!range)
        return;
    bool ok = false;
    const double value = text().toDouble(&ok);
    if (!ok)
        return;
    double bound = value;
    if (value > range->top())
        bound = range->top();
    else if (value < range->bottom())
        bound = range->bottom();
    if (bound != value) {
        const QSignalBlocker blocker(this);
        setText(QStringLiteral("%1").arg(bound, 0, 'f', range->decimals(), QLatin1Char(' ')));
    }
    updateStatusIcon();
}

void SettingsSliderWithEditableValue::SettingsSliderLineEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        userDoneEdit();
    QLineEdit::keyPressEvent(event);
}

void SettingsSliderWithEditableValue::SettingsSliderLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    updateStatusIcon();
}

void SettingsSliderWithEditableValue::SettingsSliderLineEdit::focusOutEvent(QFocusEvent* event)
{
    userDoneEdit();
    QLineEdit::focusOutEvent(event);
    updateStatusIcon();
}

SettingsSliderWithEditableValue::SettingsSliderWithEditableValue(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);

    m_slider = new SettingsSlider(this);
    m_slider->setGeometry(0, (kHeight - 20) / 2, kSliderWidth, 20);

    m_field = new SettingsSliderLineEdit(this);
    m_field->setGeometry(kFieldX, 4, kFieldWidth, 23);
    m_field->setFont(CommonGui::font(CommonGui::kSemiboldMedium));
    m_field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_field->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_field->setStyleSheet(SettingsStyle::lineEdit());

    m_units = CommonGui::label(CommonGui::kRegularMedium, ColourPalette::kRaincloudGray, this);
    m_units->setGeometry(kUnitsX, 0, kDefaultX - kUnitsX - 4, kHeight);
    m_units->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    const QPixmap refresh = loadPicture(QStringLiteral(":/Refresh"));
    m_defaultButton = new FlatImageButton(this);
    m_defaultButton->setImage(CommonGui::createTransparentIcon(refresh, CommonGui::kRestingOpacity));
    m_defaultButton->setHoverImage(refresh);
    m_defaultButton->setPressedImage(refresh);
    m_defaultButton->setGeometry(kDefaultX, (kHeight - 20) / 2, 20, 20);
    m_defaultButton->setToolTip(tr("Restore the default value"));
    m_defaultButton->setAccessibleName(m_defaultButton->toolTip());
    m_defaultButton->setFocusPolicy(Qt::TabFocus);
    m_defaultButton->hide();

    replaceValidator();
    m_slider->setRange(CommonGui::toFixedPoint(m_minimum, m_decimals),
                       CommonGui::toFixedPoint(m_maximum, m_decimals));
    m_value = m_minimum;
    showValue(m_value);

    connect(m_slider, &QSlider::valueChanged, this, &SettingsSliderWithEditableValue::onSliderValueChanged);
    connect(m_slider, &QSlider::actionTriggered, this, &SettingsSliderWithEditableValue::actionTriggered);
    connect(m_field, &QLineEdit::editingFinished, this, &SettingsSliderWithEditableValue::onEditableValueChanged);
    connect(m_defaultButton, &QAbstractButton::clicked, this, &SettingsSliderWithEditableValue::onDefaultClicked);
}

QString SettingsSliderWithEditableValue::format(double value) const
{
    return QStringLiteral("%1").arg(value, 0, 'f', m_decimals, QLatin1Char(' '));
}

double SettingsSliderWithEditableValue::quantise(double value) const
{
    // The value is what the slider can hold, so realValue() and the slider
    // never disagree.
    return CommonGui::fromFixedPoint(CommonGui::toFixedPoint(value, m_decimals), m_decimals);
}

void SettingsSliderWithEditableValue::replaceValidator()
{
    auto* fresh = new QDoubleValidator(m_minimum, m_maximum, m_decimals, m_field);
    fresh->setNotation(QDoubleValidator::StandardNotation);
    fresh->setLocale(QLocale::c());
    m_field->setValidator(fresh);
    delete m_validator;
    m_validator = fresh;
    m_field->updateStatusIcon();
}

void SettingsSliderWithEditableValue::fitRange()
{
    // The slider holds the range in an int of fixed point; bounds beyond
    // it would make the value and the slider disagree, so they saturate.
    m_minimum = qMax(m_minimum, CommonGui::fromFixedPoint(std::numeric_limits<int>::min(), m_decimals));
    m_maximum = qMin(m_maximum, CommonGui::fromFixedPoint(std::numeric_limits<int>::max(), m_decimals));
}

void SettingsSliderWithEditableValue::setMinimum(double minimum)
{
    m_minimum = minimum;
    fitRange();
    replaceValidator();
    m_slider->setMinimum(CommonGui::toFixedPoint(minimum, m_decimals));
}

void SettingsSliderWithEditableValue::setMaximum(double maximum)
{
    m_maximum = maximum;
    fitRange();
    replaceValidator();
    m_slider->setMaximum(CommonGui::toFixedPoint(maximum, m_decimals));
}

void SettingsSliderWithEditableValue::setDecimalPlaces(int places)
{
    m_decimals = qBound(0, places, 6);
    const double minimum = m_minimum;
    const double maximum = m_maximum;
    fitRange();
    replaceValidator();
    if (minimum != m_minimum || maximum != m_maximum)
        m_slider->setRange(CommonGui::toFixedPoint(m_minimum, m_decimals),
                           CommonGui::toFixedPoint(m_maximum, m_decimals));
}

void SettingsSliderWithEditableValue::setLabel(const QString& text)
{
    m_units->setText(text);
}

void SettingsSliderWithEditableValue::setDefaultEnabled(bool enabled)
{
    m_defaultEnabled = enabled;
    updateDefaultButton();
}

void SettingsSliderWithEditableValue::setDefaultValue(double value)
{
    m_defaultValue = value;
}

void SettingsSliderWithEditableValue::setMaxLength(int length)
{
    m_field->setMaxLength(length);
}

void SettingsSliderWithEditableValue::setStatusIconEnabled(bool enabled)
{
    m_field->setStatusIconEnabled(enabled);
}

int SettingsSliderWithEditableValue::getLabelWidth() const
{
    return m_units->fontMetrics().horizontalAdvance(m_units->text());
}

void SettingsSliderWithEditableValue::updatePreviousValue(double value)
{
    if (!m_hasPrevious) {
        m_previous = value;
        m_hasPrevious = true;
    } else {
        m_previous = m_value;
    }
}

void SettingsSliderWithEditableValue::showValue(double value)
{
    m_value = value;
    {
        const QSignalBlocker blocker(m_field);
        m_field->setText(format(value));
    }
    m_field->updateStatusIcon();
}

void SettingsSliderWithEditableValue::onSliderValueChanged(int position)
{
    const double value = CommonGui::fromFixedPoint(position, m_decimals);
    updatePreviousValue(value);
    showValue(value);
    emit valueChanged(value);
    emit valueChanged();
}

void SettingsSliderWithEditableValue::onEditableValueChanged()
{
    // Qt also reports a focus loss after Return, or without any edit; only
    // an edit is a change of value.
    if (!m_field->isModified())
        return;
    m_field->setModified(false);
    bool ok = false;
    const double typed = m_field->text().toDouble(&ok);
    if (!ok) {
        showValue(m_value);
        return;
    }
    const double value = quantise(qBound(m_minimum, typed, m_maximum));
    updatePreviousValue(value);
    showValue(value);
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(CommonGui::toFixedPoint(value, m_decimals));
    }
    emit valueChanged(value);
    emit valueChanged();
}

void SettingsSliderWithEditableValue::setRealValue(double value)
{
    updatePreviousValue(value);
    const double clamped = quantise(qBound(m_minimum, value, m_maximum));
    showValue(clamped);
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(CommonGui::toFixedPoint(clamped, m_decimals));
    }
    emit valueChanged(clamped);
    emit valueChanged();
}

bool SettingsSliderWithEditableValue::incrementValue(double delta, double& remainder)
{
    const double target = m_value + delta;
    if (target > m_maximum) {
        remainder = target - m_maximum;
        setRealValue(m_maximum);
        return false;
    }
    if (target < m_minimum) {
        remainder = target - m_minimum;
        setRealValue(m_minimum);
        return false;
    }
    remainder = 0.0;
    setRealValue(target);
    return true;
}

void SettingsSliderWithEditableValue::setSliderEnabled(bool enabled)
{
    m_slider->setEnabled(enabled);
    m_field->setEnabled(enabled);
    updateDefaultButton();
}

bool SettingsSliderWithEditableValue::sliderEnabled() const
{
    return m_slider->isEnabled();
}

void SettingsSliderWithEditableValue::setValueDisplayVisible(bool visible)
{
    m_field->setVisible(visible);
    m_units->setVisible(visible);
}

void SettingsSliderWithEditableValue::notifyValueChanged()
{
    emit valueChanged();
}

void SettingsSliderWithEditableValue::updateDefaultButton()
{
    m_defaultButton->setVisible(m_defaultEnabled);
    m_defaultButton->setEnabled(m_defaultEnabled && m_slider->isEnabled());
}

void SettingsSliderWithEditableValue::onDefaultClicked()
{
    if (!m_defaultEnabled || !m_slider->isEnabled())
        return;
    m_slider->setValue(CommonGui::toFixedPoint(m_defaultValue, m_decimals));
}
