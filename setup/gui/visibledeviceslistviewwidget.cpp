#include "visibledeviceslistviewwidget.h"

#include "devicelist.h"
#include "visibledevice.h"

VisibleDevicesListViewWidget::VisibleDevicesListViewWidget(DeviceList& deviceList, QWidget* parent)
    : QWidget(parent), m_deviceList(deviceList)
{
    connect(&m_deviceList, &DeviceList::deviceListAdded, this, &VisibleDevicesListViewWidget::onDeviceAdded);
    connect(&m_deviceList, &DeviceList::deviceListRemoved, this, &VisibleDevicesListViewWidget::onDeviceRemoved);
    connect(&m_deviceList, &DeviceList::deviceListChanged, this,
            &VisibleDevicesListViewWidget::onDeviceInfoChanged);
}
