#include "dotswidget.h"

#include "devicelist.h"
#include "flatimagebutton.h"
#include "tighthboxlayout.h"
#include "visibledevice.h"

DotsWidget::DotsWidget(DeviceList& deviceList, QFrame* parent)
    : QFrame(parent), m_deviceList(deviceList), m_on(QStringLiteral(":/Dot_On")), m_off(QStringLiteral(":/Dot_Off"))
{
    auto* row = new TightHBoxLayout(this);
    row->setSpacing(kSpacing);
    connect(&m_deviceList, &DeviceList::deviceListAdded, this, &DotsWidget::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListRemoved, this, &DotsWidget::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListSelected, this, &DotsWidget::onDeviceListChanged);
    refresh();
}

void DotsWidget::onDeviceListChanged(VisibleDevice*)
{
    refresh();
}

void DotsWidget::onDotClicked()
{
    const int index = m_dots.indexOf(qobject_cast<FlatImageButton*>(sender()));
    if (index >= 0 && index < m_deviceList.numberOfDevice())
        m_deviceList.setCurrentDevice(index);
}

void DotsWidget::refresh()
{
    const int count = m_deviceList.numberOfDevice();
    while (m_dots.size() < count) {
        auto* dot = new FlatImageButton(this);
        dot->setImage(m_off);
        dot->resizeToFit();
        connect(dot, &FlatImageButton::clicked, this, &DotsWidget::onDotClicked);
        layout()->addWidget(dot);
        m_dots.append(dot);
    }
    while (m_dots.size() > count)
        delete m_dots.takeLast();

    m_current = m_deviceList.getCurrentDeviceIndex();
    for (int i = 0; i < m_dots.size(); ++i) {
        m_dots[i]->setImage(i == m_current ? m_on : m_off);
        m_dots[i]->setVisible(count > 1);
    }
}
