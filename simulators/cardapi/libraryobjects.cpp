#include "libraryobjects.h"

#include "cardfacets.h"
#include "simulator.h"

#include <cstdio>

namespace cardsim {

ZeltraIteratorObject::~ZeltraIteratorObject()
{
    for (size_t i = m_next; i < m_devices.size(); ++i)
        m_devices[i]->Release();
}

int32_t ZeltraIteratorObject::Next(IZeltra **device)
{
    if (device == nullptr)
        return kZeltraNullPointer;
    std::lock_guard<std::mutex> lock(m_mutex);
    *device = nullptr;
    if (m_next >= m_devices.size())
        return kZeltraFail;
    *device = m_devices[m_next++];
    return kZeltraOk;
}

int32_t APIInformationObject::GetFlag(uint32_t, bool *value)
{
    return value == nullptr ? kZeltraNullPointer : kZeltraNotImplemented;
}

int32_t APIInformationObject::GetInt(uint32_t id, int64_t *value)
{
    if (value == nullptr)
        return kZeltraNullPointer;
    if (id != kZeltraInformationVersion)
        return kZeltraNotImplemented;
    // Packed as 0xMMmmpp00, major first.
    unsigned major = 0, minor = 0, patch = 0;
    std::sscanf(m_version.c_str(), "%u.%u.%u", &major, &minor, &patch);
    *value = int64_t((major & 0xff) << 24 | (minor & 0xff) << 16 | (patch & 0xff) << 8);
    return kZeltraOk;
}

int32_t APIInformationObject::GetFloat(uint32_t, double *value)
{
    return value == nullptr ? kZeltraNullPointer : kZeltraNotImplemented;
}

int32_t APIInformationObject::GetString(uint32_t id, const char **value)
{
    if (value == nullptr)
        return kZeltraNullPointer;
    if (id != kZeltraInformationVersion)
        return kZeltraNotImplemented;
    return returnString(m_version, value);
}

int32_t DiscoveryObject::InstallDeviceNotifications(IZeltraDeviceNotificationCallback *callback)
{
    if (callback == nullptr)
        return kZeltraNullPointer;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_client != 0)
        return kZeltraAccessDenied;
    m_client = m_simulator->addClient(callback);
    return m_client != 0 ? kZeltraOk : kZeltraFail;
}

int32_t DiscoveryObject::UninstallDeviceNotifications()
{
    uint64_t client;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        client = m_client;
        m_client = 0;
    }
    if (client == 0)
        return kZeltraFail;
    m_simulator->removeClient(client);
    return kZeltraOk;
}

} // namespace cardsim
