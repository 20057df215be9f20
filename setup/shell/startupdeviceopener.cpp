#include "startupdeviceopener.h"

#include "adminutilitywindow.h"
#include "devicelist.h"
#include "visibledevice.h"

#include <cstdio>

StartupDeviceOpener::StartupDeviceOpener(AdminUtilityWindow& window, int index, int waitMs)
    : QObject(&window)
    , m_window(&window)
    , m_index(index)
{
    connect(&window.deviceList(), &DeviceList::deviceListAdded, this, &StartupDeviceOpener::onDeviceListAdded);
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, &StartupDeviceOpener::onWaitElapsed);
    m_wait.start(waitMs);
    // The device may be listed already.
    QTimer::singleShot(0, this, &StartupDeviceOpener::onDeviceListAdded);
}

void StartupDeviceOpener::onDeviceListAdded()
{
    if (!m_window || !m_wait.isActive())
        return;
    DeviceList& list = m_window->deviceList();
    if (m_index < 0 || m_index >= list.numberOfDevice())
        return;
    m_wait.stop();
    // Arrivals are announced before the views have taken the device in; the
    // window opens after that.
    QPointer<AdminUtilityWindow> window = m_window;
    VisibleDevice* device = list.deviceAt(m_index);
    deleteLater();
    QTimer::singleShot(0, window, [window, device] {
        if (window && window->deviceList().indexOfDevice(device) >= 0)
            window->showDevice(device);
    });
}

void StartupDeviceOpener::onWaitElapsed()
{
    const int count = m_window ? m_window->deviceList().numberOfDevice() : 0;
    std::fprintf(stderr, "OndaviaSetup: %s\n", qPrintable(noDeviceText(m_index, count)));
    deleteLater();
}

QString StartupDeviceOpener::noDeviceText(int index, int count)
{
    if (count <= 0)
        return tr("no device %1; no devices are shown").arg(index);
    if (count == 1)
        return tr("no device %1; only 0 is shown").arg(index);
    return tr("no device %1; 0\u2013%2 are shown").arg(index).arg(count - 1);
}

QString StartupDeviceOpener::openNow(AdminUtilityWindow& window, int index)
{
    DeviceList& list = window.deviceList();
    if (index < 0 || index >= list.numberOfDevice())
        return noDeviceText(index, list.numberOfDevice());
    window.showDevice(list.deviceAt(index));
    return QString();
}
