#pragma once

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "zeltraapi.h"

// A card made in the test: one object answering as the device and as its
// attribute, notification, configuration and status interfaces, all reading
// one set of values. Any interface can be refused, and subscribing can be
// made to fail, to drive the card model's failure paths. Counts references
// and subscriptions so that tests can check that all are given back.
class FakeCard final : public IZeltra,
                       public IZeltraAttributes,
                       public IZeltraNotification,
                       public IZeltraConfiguration,
                       public IZeltraStatus
{
public:
    FakeCard() = default;
    FakeCard(const FakeCard&) = delete;
    FakeCard& operator=(const FakeCard&) = delete;

    std::map<uint32_t, int64_t> ints;
    bool failSubscribe = false;
    // Unsubscribe fails and the card keeps the callback, as a library may.
    bool failUnsubscribe = false;

    void refuse(const IID& iid) { m_refused.insert(key(iid)); }
    uint32_t references() const { return m_count; }
    size_t subscriptions() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_subscribers.size();
    }
    // The callback subscribed to a topic, or null.
    IZeltraNotificationCallback* subscriber(uint32_t topic) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& entry : m_subscribers) {
            if (entry.first == topic)
                return entry.second;
        }
        return nullptr;
    }

    int32_t QueryInterface(IID iid, void** out) override
    {
        *out = nullptr;
        if (m_refused.count(key(iid)))
            return kZeltraNoInterface;
        if (iid == IID_IZeltraAttributes)
            *out = static_cast<IZeltraAttributes*>(this);
        else if (iid == IID_IZeltraNotification)
            *out = static_cast<IZeltraNotification*>(this);
        else if (iid == IID_IZeltraConfiguration)
            *out = static_cast<IZeltraConfiguration*>(this);
        else if (iid == IID_IZeltraStatus)
            *out = static_cast<IZeltraStatus*>(this);
        else
            return kZeltraNoInterface;
        AddRef();
        return kZeltraOk;
    }
    // The test owns the object; the count only watches.
    uint32_t AddRef() override { return ++m_count; }
    uint32_t Release() override { return --m_count; }

    int32_t GetModelName(const char** name) override { return string("Fake Model", name); }
    int32_t GetDisplayName(const char** name) override { return string("Fake Card", name); }

    int32_t GetFlag(uint32_t id, bool* value) override
    {
        const auto found = ints.find(id);
        if (found == ints.end())
            return kZeltraNotImplemented;
        *value = found->second != 0;
        return kZeltraOk;
    }
    int32_t GetInt(uint32_t id, int64_t* value) override
    {
        const auto found = ints.find(id);
        if (found == ints.end())
            return kZeltraNotImplemented;
        *value = found->second;
        return kZeltraOk;
    }
    int32_t GetFloat(uint32_t, double*) override { return kZeltraNotImplemented; }
    int32_t GetString(uint32_t, const char**) override { return kZeltraNotImplemented; }
    int32_t GetBytes(uint32_t, void*, uint32_t*) override { return kZeltraNotImplemented; }

    int32_t Subscribe(uint32_t topic, IZeltraNotificationCallback* callback) override
    {
        if (failSubscribe)
            return kZeltraFail;
        callback->AddRef();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_subscribers.insert({ topic, callback });
        return kZeltraOk;
    }
    int32_t Unsubscribe(uint32_t topic, IZeltraNotificationCallback* callback) override
    {
        if (failUnsubscribe)
            return kZeltraFail;
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_subscribers.erase({ topic, callback }))
            return kZeltraInvalidArgument;
        lock.unlock();
        callback->Release();
        return kZeltraOk;
    }

    int32_t SetFlag(uint32_t id, bool value) override { return SetInt(id, value); }
    int32_t SetInt(uint32_t id, int64_t value) override
    {
        ints[id] = value;
        return kZeltraOk;
    }
    int32_t SetFloat(uint32_t, double) override { return kZeltraNotImplemented; }
    int32_t SetString(uint32_t, const char*) override { return kZeltraNotImplemented; }
    int32_t StoreToPreferences() override { return kZeltraOk; }

private:
    static std::string key(const IID& iid) { return std::string(reinterpret_cast<const char*>(iid.bytes), 16); }
    static int32_t string(const char* text, const char** out)
    {
        *out = strdup(text);
        return kZeltraOk;
    }

    std::atomic<uint32_t> m_count{ 0 };
    std::set<std::string> m_refused;
    mutable std::mutex m_mutex;
    std::set<std::pair<uint32_t, IZeltraNotificationCallback*>> m_subscribers;
};
