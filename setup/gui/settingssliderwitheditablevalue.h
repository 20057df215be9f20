#pragma once

#include "settingslineedit.h"

#include <QLineEdit>
#include <QWidget>

class FlatImageButton;
class QAction;
class QDoubleValidator;
class QLabel;
class SettingsSlider;

// A slider with a value field that the user may also type into, an optional
// units label and a default button. The slider works in fixed point: a real
// value v sits at round(v * 10^decimals).
class SettingsSliderWithEditableValue : public QWidget
{
    Q_OBJECT
public:
    // The value field. Committing (Return, Enter, focus loss) first puts
    // right what cannot be read as a value in range.
    class SettingsSliderLineEdit : public QLineEdit
    {
    public:
        explicit SettingsSliderLineEdit(SettingsSliderWithEditableValue* owner);
        // Refills an entry that is no number (empty, a sign or a dot alone)
        // with the slider's value and pulls a number outside the
        // validator's range to the nearest bound.
        void userDoneEdit();

        void setStatusIconEnabled(bool enabled);
        bool isStatusIconEnabled() const { return m_statusIconEnabled; }
        // As for a settings line edit: an alert while the text is not
        // acceptable, a tick while it is and the field has focus.
        SettingsLineEdit::StatusIcon statusIcon() const { return m_icon; }
        // Text set with signals blocked does not reach textChanged, so
        // whoever sets it calls this.
        void updateStatusIcon();

    protected:
        void focusInEvent(QFocusEvent* event) override;
        void keyPressEvent(QKeyEvent* event) override;
        void focusOutEvent(QFocusEvent* event) override;

    private:
        SettingsSliderWithEditableValue* m_owner;
        QAction* m_statusAction = nullptr;
        // Off unless a page asks: the field is narrow.
        bool m_statusIconEnabled = false;
        SettingsLineEdit::StatusIcon m_icon = SettingsLineEdit::kNoIcon;
    };

    explicit SettingsSliderWithEditableValue(QWidget* parent = nullptr);

    void setMinimum(double minimum);
    void setMaximum(double maximum);
    void setDecimalPlaces(int places);
    void setLabel(const QString& text);
    void setDefaultEnabled(bool enabled);
    void setDefaultValue(double value);
    void setMaxLength(int length);
    void setStatusIconEnabled(bool enabled);

    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    int decimalPlaces() const { return m_decimals; }
    bool isDefaultEnabled() const { return m_defaultEnabled; }
    double defaultValue() const { return m_defaultValue; }
    int getLabelWidth() const;

    double realValue() const { return m_value; }
    double previousRealValue() const { return m_previous; }
    bool hasPreviousValue() const { return m_hasPrevious; }
    // Shows `value` clamped to the range and emits the change signals.
    void setRealValue(double value);
    // Records a change to `value` for previousRealValue() without showing it.
    void updatePreviousValue(double value);
    // Moves by `delta`. Past a bound it stops there, sets `remainder` to the
    // part of the move beyond the bound and returns false.
    bool incrementValue(double delta, double& remainder);

    void setSliderEnabled(bool enabled);
    bool sliderEnabled() const;
    void setValueDisplayVisible(bool visible);
    // Emits valueChanged() alone, for a value set with signals blocked.
    void notifyValueChanged();

    SettingsSlider* slider() const { return m_slider; }
    SettingsSliderLineEdit* valueField() const { return m_field; }
    QLabel* unitsLabel() const { return m_units; }
    FlatImageButton* defaultButton() const { return m_defaultButton; }

signals:
    void valueChanged(double value);
    void valueChanged();
    void actionTriggered(int action);

public slots:
    void onSliderValueChanged(int position);
    void onEditableValueChanged();
    void onDefaultClicked();

private:
    void replaceValidator();
    void fitRange();
    void showValue(double value);
    void updateDefaultButton();
    QString format(double value) const;
    double quantise(double value) const;

    SettingsSlider* m_slider = nullptr;
    SettingsSliderLineEdit* m_field = nullptr;
    QLabel* m_units = nullptr;
    FlatImageButton* m_defaultButton = nullptr;
    QDoubleValidator* m_validator = nullptr;
    double m_minimum = 0.0;
    double m_maximum = 100.0;
    int m_decimals = 2;
    double m_defaultValue = 0.0;
    bool m_defaultEnabled = false;
    double m_value = 0.0;
    double m_previous = 0.0;
    bool m_hasPrevious = false;
};
