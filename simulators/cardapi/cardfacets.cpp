#include "cardfacets.h"

#include <cstdlib>
#include <cstring>

namespace cardsim {

int32_t returnString(const std::string &text, const char **out)
{
    char *copy = static_cast<char *>(std::malloc(text.size() + 1));
    if (copy == nullptr)
        return kZeltraOutOfMemory;
    std::memcpy(copy, text.c_str(), text.size() + 1);
    *out = copy;
    return kZeltraOk;
}

namespace {

// Reads one typed value through getter and hands it out as T.
template <typename T, typename Getter>
int32_t readAs(ItemType type, T *out, Getter getter)
{
    if (out == nullptr)
        return kZeltraNullPointer;
    ItemValue value;
    const int32_t result = getter(type, value);
    if (result != kZeltraOk)
        return result;
    *out = std::get<T>(value);
    return kZeltraOk;
}

template <typename Getter>
int32_t readString(const char **out, Getter getter)
{
    if (out == nullptr)
        return kZeltraNullPointer;
    ItemValue value;
    const int32_t result = getter(ItemType::String, value);
    if (result != kZeltraOk)
        return result;
    return returnString(std::get<std::string>(value), out);
}

} // namespace

// Attributes ----------------------------------------------------------------

#define CARDSIM_GETTER(store, id) \
    [this, id](ItemType type, ItemValue &value) { return m_link.card->store(*m_link.attachment, id, type, value); }

int32_t AttributesObject::GetFlag(uint32_t id, bool *value)
{
    return readAs(ItemType::Flag, value, CARDSIM_GETTER(getAttribute, id));
}

int32_t AttributesObject::GetInt(uint32_t id, int64_t *value)
{
    return readAs(ItemType::Int, value, CARDSIM_GETTER(getAttribute, id));
}

int32_t AttributesObject::GetFloat(uint32_t id, double *value)
{
    return readAs(ItemType::Float, value, CARDSIM_GETTER(getAttribute, id));
}

int32_t AttributesObject::GetString(uint32_t id, const char **value)
{
    return readString(value, CARDSIM_GETTER(getAttribute, id));
}

// Configuration -------------------------------------------------------------

namespace {
std::atomic<uint64_t> s_nextSession{1};
}

ConfigurationObject::ConfigurationObject(CardLink link) : m_link(std::move(link)), m_session(s_nextSession++) {}

int32_t ConfigurationObject::set(uint32_t id, ItemValue value)
{
    uint64_t sequence = 0;
    const int32_t result = m_link.card->setConfiguration(*m_link.attachment, id, std::move(value), m_session, sequence);
    if (result == kZeltraOk) {
        uint64_t previous = m_lastChange.load();
        while (previous < sequence && !m_lastChange.compare_exchange_weak(previous, sequence)) {
        }
    }
    return result;
}

int32_t ConfigurationObject::SetFlag(uint32_t id, bool value) { return set(id, value); }
int32_t ConfigurationObject::SetInt(uint32_t id, int64_t value) { return set(id, value); }
int32_t ConfigurationObject::SetFloat(uint32_t id, double value) { return set(id, value); }

int32_t ConfigurationObject::SetString(uint32_t id, const char *value)
{
    if (value == nullptr)
        return kZeltraNullPointer;
    return set(id, std::string(value));
}

int32_t ConfigurationObject::GetFlag(uint32_t id, bool *value)
{
    return readAs(ItemType::Flag, value, CARDSIM_GETTER(getConfiguration, id));
}

int32_t ConfigurationObject::GetInt(uint32_t id, int64_t *value)
{
    return readAs(ItemType::Int, value, CARDSIM_GETTER(getConfiguration, id));
}

int32_t ConfigurationObject::GetFloat(uint32_t id, double *value)
{
    return readAs(ItemType::Float, value, CARDSIM_GETTER(getConfiguration, id));
}

int32_t ConfigurationObject::GetString(uint32_t id, const char **value)
{
    return readString(value, CARDSIM_GETTER(getConfiguration, id));
}

int32_t ConfigurationObject::StoreToPreferences()
{
    return m_link.card->storePreferences(*m_link.attachment);
}

void ConfigurationObject::lastReleased()
{
    m_link.card->revertUnstored(*m_link.attachment, m_session, m_lastChange.load());
}

// Status ----------------------------------------------------------------------

int32_t StatusObject::GetFlag(uint32_t id, bool *value)
{
    return readAs(ItemType::Flag, value, CARDSIM_GETTER(getStatus, id));
}

int32_t StatusObject::GetInt(uint32_t id, int64_t *value)
{
    return readAs(ItemType::Int, value, CARDSIM_GETTER(getStatus, id));
}

int32_t StatusObject::GetFloat(uint32_t id, double *value)
{
    return readAs(ItemType::Float, value, CARDSIM_GETTER(getStatus, id));
}

int32_t StatusObject::GetString(uint32_t id, const char **value)
{
    return readString(value, CARDSIM_GETTER(getStatus, id));
}

int32_t StatusObject::GetBytes(uint32_t id, void *buffer, uint32_t *size)
{
    if (size == nullptr)
        return kZeltraNullPointer;
    ItemValue value;
    const int32_t result = m_link.card->getStatus(*m_link.attachment, id, ItemType::Bytes, value);
    if (result != kZeltraOk)
        return result;
    const Bytes &bytes = std::get<Bytes>(value);
    const uint32_t length = uint32_t(bytes.size());
    if (buffer == nullptr) {
        *size = length;
        return kZeltraOk;
    }
    if (*size < length) {
        *size = length;
        return kZeltraInvalidArgument;
    }
    if (length > 0)
        std::memcpy(buffer, bytes.data(), length);
    *size = length;
    return kZeltraOk;
}

#undef CARDSIM_GETTER

// Notification ------------------------------------------------------------------

namespace {
std::atomic<uint64_t> s_nextOwner{1};
}

NotificationObject::NotificationObject(CardLink link) : m_link(std::move(link)), m_owner(s_nextOwner++) {}

int32_t NotificationObject::Subscribe(uint32_t topic, IZeltraNotificationCallback *callback)
{
    return m_link.card->subscribe(m_link.attachment, m_owner, topic, callback);
}

int32_t NotificationObject::Unsubscribe(uint32_t topic, IZeltraNotificationCallback *callback)
{
    return m_link.card->unsubscribe(m_owner, topic, callback);
}

void NotificationObject::lastReleased()
{
    m_link.card->unsubscribeAll(m_owner);
}

} // namespace cardsim
