#include "sliderlink.h"

#include "settingssliderwitheditablevalue.h"

#include <QEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include <cmath>

SliderLink::SliderLink(SettingsSliderWithEditableValue* a, SettingsSliderWithEditableValue* b, Type type,
                       QWidget* parent)
    : SliderLinkBase(parent)
    , m_a(a)
    , m_b(b)
    , m_type(type)
{
    connect(this, &SliderLinkBase::onSliderLinkClicked, this, &SliderLink::onLinkClicked);
    for (SettingsSliderWithEditableValue* s : {a, b}) {
        if (!s)
            continue;
        s->installEventFilter(this);
        s->valueField()->installEventFilter(this);
        // Any widget between the slider and our parent may move it.
        for (QWidget* w = s->parentWidget(); w && w != parent; w = w->parentWidget())
            w->installEventFilter(this);
    }
    if (a)
        connect(a, qOverload<double>(&SettingsSliderWithEditableValue::valueChanged), this,
                &SliderLink::onAChanged);
    if (b)
        connect(b, qOverload<double>(&SettingsSliderWithEditableValue::valueChanged), this,
                &SliderLink::onBChanged);
    reposition();
}

void SliderLink::onLinkClicked(bool linked)
{
    if (linked && m_a && m_b) {
        m_aAtLink = m_a->realValue();
        m_bAtLink = m_b->realValue();
    }
}

void SliderLink::onAChanged(double value)
{
    if (isLinked() && !m_following && m_a && m_b)
        follow(m_a, m_b, value, m_aAtLink, m_bAtLink);
}

void SliderLink::onBChanged(double value)
{
    if (isLinked() && !m_following && m_a && m_b)
        follow(m_b, m_a, value, m_bAtLink, m_aAtLink);
}

void SliderLink::follow(SettingsSliderWithEditableValue* changed, SettingsSliderWithEditableValue* other,
                        double value, double changedAtLink, double otherAtLink)
{
    m_following = true;
    switch (m_type) {
    case Equal: {
        const QSignalBlocker blocker(other);
        other->setRealValue(value);
        break;
    }
    case Offset: {
        const double before = changed->previousRealValue();
        const double delta = value - before;
        double remainder = 0.0;
        bool inRange = true;
        {
            const QSignalBlocker blocker(other);
            inRange = other->incrementValue(delta, remainder);
        }
        if (!inRange) {
            // Give back the part of the move that the other slider could not take.
            const QSignalBlocker blocker(changed);
            changed->setRealValue(before + (delta - remainder));
            changed->notifyValueChanged();
        }
        break;
    }
    case Proportional: {
        const double changedRange = changed->maximum() - changed->minimum();
        const double otherRange = other->maximum() - other->minimum();
        if (changedRange <= 0.0 || otherRange <= 0.0)
            break;
        // The values of `changed` that map into the other's range.
        const double low = changedAtLink + (other->minimum() - otherAtLink) * changedRange / otherRange;
        const double high = changedAtLink + (other->maximum() - otherAtLink) * changedRange / otherRange;
        const double limited = qBound(std::min(low, high), value, std::max(low, high));
        if (std::fabs(limited - value) > 0.1) {
            const QSignalBlocker blocker(changed);
            changed->setRealValue(limited);
            changed->notifyValueChanged();
        }
        const double mapped = otherAtLink + (limited - changedAtLink) * otherRange / changedRange;
        const QSignalBlocker blocker(other);
        other->setRealValue(qBound(other->minimum(), mapped, other->maximum()));
        break;
    }
    }
    other->notifyValueChanged();
    m_following = false;
}

void SliderLink::resetSliders(double value)
{
    m_following = true;
    for (SettingsSliderWithEditableValue* s : {m_a.data(), m_b.data()}) {
        if (!s)
            continue;
        {
            const QSignalBlocker blocker(s);
            s->setRealValue(value);
        }
        s->notifyValueChanged();
    }
    m_following = false;
    if (isLinked() && m_a && m_b) {
        m_aAtLink = m_a->realValue();
        m_bAtLink = m_b->realValue();
    }
}

void SliderLink::reposition()
{
    QWidget* area = parentWidget();
    if (!m_a || !m_b || !area) {
        hide(); // a slider's row was removed
        return;
    }
    QLineEdit* fieldA = m_a->valueField();
    QLineEdit* fieldB = m_b->valueField();
    const bool shown = m_a->isVisibleTo(area) && m_b->isVisibleTo(area) && fieldA->isVisibleTo(area)
                       && fieldB->isVisibleTo(area);
    if (!shown) {
        hide();
        return;
    }
    const QPoint a = fieldA->mapTo(area, QPoint(fieldA->width(), fieldA->height() / 2));
    const QPoint b = fieldB->mapTo(area, QPoint(0, fieldB->height() / 2));
    const int top = std::min(a.y(), b.y());
    const int distance = std::abs(b.y() - a.y());
    setSpan(distance);
    // Centred between the two fields, so the bars reach their centre lines.
    move(a.x() + 32, top + distance / 2 - height() / 2);
    show();
    raise();
}

bool SliderLink::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::LayoutRequest:
        reposition();
        break;
    default:
        break;
    }
    return SliderLinkBase::eventFilter(watched, event);
}
