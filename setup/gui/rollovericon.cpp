#include "rollovericon.h"

#include "commongui.h"
#include "rollovericoncallout.h"

RolloverIcon::RolloverIcon(const QPixmap& icon, const QString& text, QWidget* parent,
                           QWidget* calloutParent)
    : QLabel(parent)
    , m_resting(CommonGui::createTransparentIcon(icon, CommonGui::kRestingOpacity))
    , m_hover(CommonGui::createTransparentIcon(icon, CommonGui::kHoverOpacity))
    , m_text(text)
    , m_callout(new RolloverIconCallout(text, calloutParent))
{
    setPixmap(m_resting);
    if (!icon.isNull())
        setFixedSize(icon.size() / icon.devicePixelRatio());
    setMouseTracking(true);
    m_callout->hide();
}

RolloverIcon::~RolloverIcon()
{
    delete m_callout.data();
}

QPoint RolloverIcon::calloutOffset() const
{
    // Integer division truncates towards zero, as the placement requires.
    return QPoint(width() / 2 - m_callout->width() / 2, height() + 4);
}

void RolloverIcon::showPopup()
{
    setPixmap(m_hover);
    if (!m_callout)
        return;
    m_callout->move(mapToGlobal(calloutOffset()));
    m_callout->show();
    m_callout->raise();
}

void RolloverIcon::hidePopup()
{
    setPixmap(m_resting);
    if (m_callout)
        m_callout->hide();
}

void RolloverIcon::enterEvent(QEvent* event)
{
    QLabel::enterEvent(event);
    showPopup();
}

void RolloverIcon::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    hidePopup();
}

void RolloverIcon::hideEvent(QHideEvent* event)
{
    QLabel::hideEvent(event);
    if (m_callout)
        m_callout->hide();
}
