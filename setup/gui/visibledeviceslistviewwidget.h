#pragma once

#include <QWidget>

class DeviceList;
class VisibleDevice;

// The base of a family's list view: follows the device list's arrivals,
// removals and changes and asks the main window to show a device.
class VisibleDevicesListViewWidget : public QWidget
{
    Q_OBJECT

public:
    VisibleDevicesListViewWidget(DeviceList& deviceList, QWidget* parent = nullptr);

    DeviceList& deviceList() const { return m_deviceList; }

signals:
    void requestShowDevice(VisibleDevice* device);

protected slots:
    virtual void onDeviceAdded(VisibleDevice* device) = 0;
    virtual void onDeviceRemoved(VisibleDevice* device) = 0;
    virtual void onDeviceInfoChanged(VisibleDevice* device) = 0;

private:
    DeviceList& m_deviceList;
};
