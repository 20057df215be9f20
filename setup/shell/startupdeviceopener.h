#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class AdminUtilityWindow;

// Opens the settings of the device at one position of the window's device
// list as soon as that device has arrived (devices are announced after the
// event loop runs), once. It gives up after the wait, saying so on standard
// error, and deletes itself either way.
class StartupDeviceOpener : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultWaitMs = 10000;

    StartupDeviceOpener(AdminUtilityWindow& window, int index, int waitMs = kDefaultWaitMs);

    // Opens the settings of the device at index now, as a second start asks
    // the running program to; empty, or why not ("no device 14; 0–11 are
    // shown"). Indexes count the devices as the window lists them.
    static QString openNow(AdminUtilityWindow& window, int index);
    static QString noDeviceText(int index, int count);

private:
    void onDeviceListAdded();
    void onWaitElapsed();

    QPointer<AdminUtilityWindow> m_window;
    int m_index;
    QTimer m_wait;
};
