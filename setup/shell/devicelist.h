#pragma once

#include <QList>
#include <QObject>

class ProductFamily;
class VisibleDevice;

// The one model of the devices that the setup utility shows, with the family
// that announced each and the current (selected) device. It owns its entries,
// never the devices or the families. GUI thread only; signals are delivered
// synchronously to the views.
class DeviceList : public QObject
{
    Q_OBJECT

public:
    struct DeviceInfo
    {
        VisibleDevice* device = nullptr;
        ProductFamily* family = nullptr;
    };

    // 1: USB devices first, each group sorted by name; 0: arrival order.
    enum SortOrder
    {
        ArrivalOrder = 0,
        SortedByName = 1
    };

    explicit DeviceList(QObject* parent = nullptr);
    ~DeviceList() override;

    int indexOfDevice(VisibleDevice* device) const;
    int numberOfDevice() const;
    int getCurrentDeviceIndex() const;
    VisibleDevice* getCurrentDevice() const;
    VisibleDevice* deviceAt(int index) const;
    // index must be a valid position; an invalid one is ignored.
    void setCurrentDevice(int index);
    void selectPreviousDevice();
    void selectNextDevice();
    ProductFamily* getFamilyOfDevice(VisibleDevice* device) const;
    void updateDeviceInfo(VisibleDevice* device);
    void setSortOrder(SortOrder order);
    SortOrder sortOrder() const { return m_sortOrder; }

public slots:
    // The sender must be a product family; anything else is ignored.
    void onDeviceAdded(VisibleDevice* device);
    void onDeviceRemoved(VisibleDevice* device);
    void onDeviceInfoChanged(VisibleDevice* device);

signals:
    void deviceListAdded(VisibleDevice* device);
    void deviceListRemoved(VisibleDevice* device);
    void deviceListSelected(VisibleDevice* device);
    void deviceListChanged(VisibleDevice* device);

private:
    int assignDeviceIndex(VisibleDevice* device) const;

    QList<DeviceInfo*> m_devices;
    VisibleDevice* m_current = nullptr;
    SortOrder m_sortOrder = SortedByName;
};
