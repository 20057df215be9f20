#include "zeltraadminutilitywindow.h"

#include "mainwindowanimator.h"
#include "zeltravisibledeviceslistviewwidget.h"

#include <QEvent>

ZeltraAdminUtilityWindow::ZeltraAdminUtilityWindow(QWidget* parent)
    : AdminUtilityWindow(parent), m_animator(new MainWindowAnimator(this))
{
    // Cards appear in the order the driver reports them.
    deviceList().setSortOrder(DeviceList::ArrivalOrder);
    connect(m_animator, &QVariantAnimation::valueChanged, this,
            &ZeltraAdminUtilityWindow::onAnimationWindowSizeChanged);
    connect(m_animator, &QVariantAnimation::finished, this, &ZeltraAdminUtilityWindow::onAnimationFinished);
}

bool ZeltraAdminUtilityWindow::event(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest) {
        // Only what the contents cannot do without widens the window. A row
        // that merely likes more room (a card's summary, the list's labels)
        // scrolls inside the width the user chose, so the window neither
        // grows by itself when such a card is shown nor stays wide after it.
        const int wanted = minimumSizeHint().width() + kExtraWidth;
        if (wanted > width()) {
            {
                // Setting the ends must not already resize the window.
                const QSignalBlocker blocker(m_animator);
                m_animator->setStartValue(size());
                m_animator->setEndValue(QSize(wanted, height()));
            }
            m_animator->setDuration(kAnimationMs);
            m_animator->start();
        } else {
            setMinimumWidth(qMax(wanted, kMinimumWidth));
        }
    }
    return AdminUtilityWindow::event(event);
}

QWidget* ZeltraAdminUtilityWindow::getListViewWidget()
{
    if (!m_listViewWidget)
        m_listViewWidget = new ZeltraVisibleDevicesListViewWidget(deviceList(), this);
    return m_listViewWidget;
}

void ZeltraAdminUtilityWindow::onAnimationWindowSizeChanged(const QVariant& value)
{
    resize(value.toSize());
}

void ZeltraAdminUtilityWindow::onAnimationFinished()
{
    setMinimumWidth(qMax(width(), kMinimumWidth));
}
