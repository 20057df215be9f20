#include "busybutton.h"
#include "hidpipixmap.h"

#include <QTimer>

BusyButton::BusyButton(QWidget* parent)
    : FlatImageButton(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(kFrameMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &BusyButton::onTick);
    setImage(QStringLiteral(":/Busy_Close"));
    setDisabledImage(QPixmap());
    resizeToFit();
}

void BusyButton::setBusy(bool busy)
{
    if (busy == isBusy())
        return;
    if (busy) {
        showFrame(1);
        m_timer->start();
    } else {
        m_timer->stop();
        m_frame = 0;
        setImage(QStringLiteral(":/Busy_Close"));
        setDisabledImage(QPixmap());
    }
}

bool BusyButton::isBusy() const
{
    return m_timer->isActive();
}

void BusyButton::onTick()
{
    showFrame(m_frame >= kFrames ? 1 : m_frame + 1);
}

void BusyButton::showFrame(int frame)
{
    m_frame = frame;
    const QPixmap pixmap = loadPicture(QStringLiteral(":/Busy_Frame_%1").arg(frame));
    setImage(pixmap);
    // A disabled busy button still animates at full strength.
    setDisabledImage(pixmap);
}
