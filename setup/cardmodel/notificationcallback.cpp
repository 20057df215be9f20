#include "notificationcallback.h"

#include "zeltracard.h"

NotificationCallback::NotificationCallback(ZeltraCard* device)
    : m_device(device)
{
}

int32_t NotificationCallback::QueryInterface(IID, void** out)
{
    if (out)
        *out = nullptr;
    return kZeltraNoInterface;
}

uint32_t NotificationCallback::AddRef()
{
    return m_count.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32_t NotificationCallback::Release()
{
    const uint32_t count = m_count.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0)
        delete this;
    return count;
}

int32_t NotificationCallback::Notify(uint32_t topic, uint64_t, uint64_t)
{
    // Only emits: the signals carry no arguments and reach GUI-thread
    // receivers queued, so nothing of the device is touched on this thread.
    ZeltraCard* device = m_device.load(std::memory_order_acquire);
    if (!device)
        return kZeltraOk;
    if (topic == kZeltraTopicStatus)
        device->onStatusChanged();
    else if (topic == kZeltraTopicPreferences)
        device->onPropertyChanged();
    return kZeltraOk;
}

void NotificationCallback::detach()
{
    m_device.store(nullptr, std::memory_order_release);
}
