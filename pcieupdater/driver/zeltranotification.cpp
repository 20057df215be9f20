#include "zeltranotification.h"

#include "zeltradevicediscoverynotifier.h"

#include <memory>
#include <new>

// The handle behind InstallZeltraNotificationCallback: owns both halves.
struct ZeltraNotificationRec {
    std::unique_ptr<ZeltraDeviceDiscoveryNotifier> notifier;
    std::unique_ptr<ZeltraArrivalNotifierDelegate> delegate;
};

extern "C" {

ZeltraNotificationRec* InstallZeltraNotificationCallback(ZeltraArrivalCallback callback, void* userData)
{
    return InstallZeltraNotificationCallbacks(callback, nullptr, userData);
}

ZeltraNotificationRec* InstallZeltraNotificationCallbacks(ZeltraArrivalCallback callback,
                                                          ZeltraStoppedCallback stopped, void* userData)
{
    std::unique_ptr<ZeltraNotificationRec> handle(new (std::nothrow) ZeltraNotificationRec);
    if (!handle)
        return nullptr;
    handle->notifier.reset(new (std::nothrow) ZeltraDeviceDiscoveryNotifier);
    handle->delegate.reset(new (std::nothrow) ZeltraArrivalNotifierDelegate(callback, userData, stopped));
    if (!handle->notifier || !handle->delegate)
        return nullptr;
    if (!handle->notifier->connect() || !handle->notifier->waitForNotifications(handle->delegate.get())) {
        RemoveZeltraNotificationCallback(handle.release());
        return nullptr;
    }
    return handle.release();
}

void RemoveZeltraNotificationCallback(ZeltraNotificationRec* handle)
{
    if (!handle)
        return;
    handle->notifier.reset(); // stops the thread before the delegate goes
    handle->delegate.reset();
    delete handle;
}

} // extern "C"
