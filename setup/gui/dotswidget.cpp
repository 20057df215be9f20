#include "dotswidget.h"
#include "hidpipixmap.h"

#include "colourpalette.h"
#include "commongui.h"
#include "devicelist.h"
#include "flatimagebutton.h"
#include "tighthboxlayout.h"
#include "visibledevice.h"

#include <QLabel>

DotsWidget::DotsWidget(DeviceList& deviceList, QFrame* parent)
    : QFrame(parent), m_deviceList(deviceList), m_on(loadPicture(QStringLiteral(":/Dot_On"))), m_off(loadPicture(QStringLiteral(":/Dot_Off"))),
      m_onHover(loadPicture(QStringLiteral(":/Dot_On_Hover"))), m_offHover(loadPicture(QStringLiteral(":/Dot_Off_Hover")))
{
    auto* row = new TightHBoxLayout(this);
    row->setSpacing(kSpacing);
    m_position = CommonGui::label(CommonGui::kRegularSmall, ColourPalette::kSmokeGray, this);
    m_position->setTextFormat(Qt::PlainText);
    m_position->hide();
    row->addWidget(m_position);
    connect(&m_deviceList, &DeviceList::deviceListAdded, this, &DotsWidget::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListRemoved, this, &DotsWidget::onDeviceListChanged);
    connect(&m_deviceList, &DeviceList::deviceListSelected, this, &DotsWidget::onDeviceListChanged);
    // A renamed device renames its dot.
    connect(&m_deviceList, &DeviceList::deviceListChanged, this, &DotsWidget::onDeviceListChanged);
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
    const int wanted = count > kMaxDots ? 0 : count;
    while (m_dots.size() < wanted) {
        auto* dot = new FlatImageButton(this);
        dot->setImage(m_off);
        dot->resizeToFit();
        dot->setFocusPolicy(Qt::TabFocus);
        connect(dot, &FlatImageButton::clicked, this, &DotsWidget::onDotClicked);
        layout()->addWidget(dot);
        m_dots.append(dot);
    }
    while (m_dots.size() > wanted)
        delete m_dots.takeLast();

    m_current = m_deviceList.getCurrentDeviceIndex();
    m_position->setVisible(wanted != count);
    m_position->setText(tr("%1 / %2").arg(m_current + 1).arg(count));
    for (int i = 0; i < m_dots.size(); ++i) {
        // Spoken and shown as the device's own name, never read as markup.
        VisibleDevice* device = m_deviceList.deviceAt(i);
        const QString name = tr("%1 (device %2 of %3)")
                                 .arg(device ? device->deviceName() : QString(), QString::number(i + 1),
                                      QString::number(count));
        m_dots[i]->setAccessibleName(name);
        m_dots[i]->setToolTip(CommonGui::plainToolTip(name));
        m_dots[i]->setImage(i == m_current ? m_on : m_off);
        // Pointed at or focused, a dot takes the accent colour.
        m_dots[i]->setHoverImage(i == m_current ? m_onHover : m_offHover);
        m_dots[i]->setVisible(count > 1);
    }
}
