#include "sliderlinkbase.h"

#include "flatimagebutton.h"
#include "linkbar.h"

#include <QEvent>
#include <QSignalBlocker>

#include <cmath>

SliderLinkBase::SliderLinkBase(QWidget* parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
    setAttribute(Qt::WA_TranslucentBackground);
    m_top = new LinkBar(LinkBar::kUp, this);
    m_bottom = new LinkBar(LinkBar::kDown, this);
    m_button = new FlatImageButton(this);
    m_button->setCheckable(true);
    m_button->setToolTip(tr("Link the two values"));
    connect(m_button, &QAbstractButton::clicked, this, [this] { onButtonClicked(); });
    updateLook();
    setSpan(42);
}

int SliderLinkBase::buttonHeight() const
{
    return m_button->height();
}

void SliderLinkBase::setSpan(int distance)
{
    const int bh = buttonHeight();
    const int bar = std::max(0, int(std::ceil((distance - bh) / 2.0))) + 2;
    setFixedSize(kWidth, bh + 2 * bar + 4);
    m_top->setGeometry(0, 0, kWidth, bar);
    m_button->move((kWidth - m_button->width()) / 2, bar + 2);
    m_bottom->setGeometry(0, bar + bh + 4, kWidth, bar);
}

void SliderLinkBase::setLinked(bool linked)
{
    m_linked = linked;
    updateLook();
    emit onSliderLinkClicked(m_linked);
}

void SliderLinkBase::onButtonClicked()
{
    setLinked(!m_linked);
}

void SliderLinkBase::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateLook();
}

void SliderLinkBase::updateLook()
{
    const bool enabled = isEnabled();
    QString image;
    if (m_linked)
        image = enabled ? QStringLiteral(":/Link") : QStringLiteral(":/Link_Disabled");
    else
        image = enabled ? QStringLiteral(":/Unlink") : QStringLiteral(":/Unlink_Disabled");
    m_button->setImage(image);
    m_button->setDisabledImage(image);
    m_button->resizeToFit();
    {
        const QSignalBlocker blocker(m_button);
        m_button->setChecked(m_linked);
    }
    m_top->setLinked(m_linked && enabled);
    m_bottom->setLinked(m_linked && enabled);
}
