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
    std::fprintf(stderr, "%s\n",
                 qPrintable(tr("No device %1 appeared; nothing was opened.").arg(m_index)));
    deleteLater();
}
