#include "devicelist.h"

#include "productfamily.h"
#include "visibledevice.h"

#include <QLoggingCategory>

// Entries coming and going, off unless asked for
// (QT_LOGGING_RULES="ondavia.shell.devicelist.debug=true").
Q_LOGGING_CATEGORY(lcDeviceList, "ondavia.shell.devicelist", QtInfoMsg)

DeviceList::DeviceList(QObject* parent) : QObject(parent) {}

DeviceList::~DeviceList()
{
    qDeleteAll(m_devices);
}

int DeviceList::indexOfDevice(VisibleDevice* device) const
{
    for (int i = 0; i < m_devices.size(); ++i) {
        if (m_devices.at(i)->device == device)
            return i;
    }
    return -1;
}

int DeviceList::numberOfDevice() const
{
    return m_devices.size();
}

int DeviceList::getCurrentDeviceIndex() const
{
    return m_current ? indexOfDevice(m_current) : -1;
}

VisibleDevice* DeviceList::getCurrentDevice() const
{
    return m_current;
}

VisibleDevice* DeviceList::deviceAt(int index) const
{
    if (index < 0 || index >= m_devices.size())
        return nullptr;
    return m_devices.at(index)->device;
}

void DeviceList::setCurrentDevice(int index)
{
    if (index < 0 || index >= m_devices.size())
        return;
    m_current = m_devices.at(index)->device;
    emit deviceListSelected(m_current);
}

void DeviceList::selectPreviousDevice()
{
    const int p = getCurrentDeviceIndex();
    if (p <= 0)
        return;
    setCurrentDevice(p - 1);
}

void DeviceList::selectNextDevice()
{
    const int p = getCurrentDeviceIndex();
    if (p + 1 < m_devices.size())
        setCurrentDevice(p + 1);
}

ProductFamily* DeviceList::getFamilyOfDevice(VisibleDevice* device) const
{
    const int i = indexOfDevice(device);
    return i < 0 ? nullptr : m_devices.at(i)->family;
}

void DeviceList::updateDeviceInfo(VisibleDevice* device)
{
    emit deviceListChanged(device);
}

void DeviceList::setSortOrder(SortOrder order)
{
    m_sortOrder = order;
}

void DeviceList::onDeviceAdded(VisibleDevice* device)
{
    auto* family = dynamic_cast<ProductFamily*>(sender());
    if (!family || !device)
        return;

    auto* info = new DeviceInfo{device, family};
    if (m_sortOrder == SortedByName)
        m_devices.insert(assignDeviceIndex(device), info);
    else
        m_devices.append(info);

    // The first arrival becomes current silently; the views follow the
    // deviceListAdded signal.
    if (!m_current)
        m_current = m_devices.first()->device;

    qCDebug(lcDeviceList, "added %s, %d entries", qUtf8Printable(device->deviceName()), int(m_devices.size()));
    emit deviceListAdded(device);
}

void DeviceList::onDeviceRemoved(VisibleDevice* device)
{
    const int i = indexOfDevice(device);
    if (i >= 0)
        delete m_devices.takeAt(i);

    // Not the neighbour: the first remaining entry takes over.
    if (m_current == device)
        m_current = m_devices.isEmpty() ? nullptr : m_devices.first()->device;

    qCDebug(lcDeviceList, "removed %s, %d entries", i >= 0 ? "an entry" : "nothing", int(m_devices.size()));
    emit deviceListRemoved(device);
}

void DeviceList::onDeviceInfoChanged(VisibleDevice* device)
{
    updateDeviceInfo(device);
}

int DeviceList::assignDeviceIndex(VisibleDevice* device) const
{
    // USB devices occupy the front of the list, each group in ascending name
    // order; equal names go after the devices already present.
    int usbCount = 0;
    for (const DeviceInfo* info : m_devices) {
        if (info->device->isUsbDevice())
            ++usbCount;
    }

    const QString name = device->deviceName();
    const int begin = device->isUsbDevice() ? 0 : usbCount;
    const int end = device->isUsbDevice() ? usbCount : m_devices.size();
    for (int i = begin; i < end; ++i) {
        if (name < m_devices.at(i)->device->deviceName())
            return i;
    }
    return end;
}
