#pragma once

#include <atomic>

#include "zeltraapi.h"

class ZeltraCard;

// Receives a card's change notices from the driver library, on the library's
// thread, and turns them into the device's propertyChanged()/statusChanged()
// signals, which Qt then delivers to GUI-thread receivers through their event
// loop. The count starts at 1 (the device's reference); the object deletes
// itself when the last reference goes. The device unsubscribes and then
// detaches itself before it lets its reference go: a library that still
// holds the callback (an Unsubscribe that failed) then reaches no device.
class NotificationCallback final : public IZeltraNotificationCallback
{
public:
    explicit NotificationCallback(ZeltraCard* device);

    NotificationCallback(const NotificationCallback&) = delete;
    NotificationCallback& operator=(const NotificationCallback&) = delete;

    int32_t QueryInterface(IID iid, void** out) override;
    uint32_t AddRef() override;
    uint32_t Release() override;
    int32_t Notify(uint32_t topic, uint64_t param1, uint64_t param2) override;
    // Forgets the device; later notices are dropped.
    void detach();

private:
    ~NotificationCallback() = default;

    std::atomic<ZeltraCard*> m_device;
    std::atomic<uint32_t> m_count{ 1 };
};
