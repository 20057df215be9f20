#pragma once

struct ZeltraInstanceRec;

// Receives the devices reported by ZeltraDeviceDiscoveryNotifier. Called on
// the notifier's thread with the shared mutex held: keep it short. The
// instance is handed over; the delegate must close it.
class IZeltraDeviceDiscoveryNotifierDelegate {
public:
    virtual ~IZeltraDeviceDiscoveryNotifierDelegate() = default;
    virtual void ProcessNotification(ZeltraInstanceRec* instance, bool arrived) = 0;
    // The thread has ended for good: the shared lock can no longer be used.
    // Called on the notifier's thread, without the lock; nothing more is
    // reported after it. The default writes the reason to standard error.
    virtual void NotifierStopped(const char* reason);
};
