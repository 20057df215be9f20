#include "bonjourinfo.h"

#include <QStringList>

#include <cstring>

BonjourInfo::BonjourInfo(const BonjourDevice& device, const QString& hostAddress)
    : m_serviceName(device.serviceName), m_serviceType(device.serviceType), m_domain(device.domain),
      m_hostAddress(hostAddress)
{}

QString BonjourInfo::deviceName() const
{
    return QString::fromUtf8(m_serviceName.c_str(), static_cast<int>(std::strlen(m_serviceName.c_str())));
}

QString BonjourInfo::textRecord(const QString& key) const
{
    const auto it = m_textRecord.constFind(key);
    return it == m_textRecord.constEnd() ? QString() : it.value();
}

bool BonjourInfo::textMatches(const BonjourInfo& other) const
{
    return m_textRecord == other.m_textRecord;
}

void BonjourInfo::unpackTextRecord(const char* data, int length)
{
    if (!data || length <= 0)
        return;

    const char* const end = data + length;
    const char* pos = data;
    while (pos < end) {
        // Each entry is a length byte and that many bytes; a length with the
        // top bit set, a zero length or one running past the end stops the walk.
        const int entryLength = static_cast<signed char>(*pos);
        if (entryLength <= 0 || entryLength > end - pos - 1)
            break;
        const QString entry = QString::fromUtf8(pos + 1, entryLength);
        const QStringList parts = entry.split(QLatin1Char('='));
        if (parts.size() >= 2)
            m_textRecord.insert(parts.at(0), parts.at(1));
        else
            m_textRecord.insert(parts.at(0), QString());
        pos += entryLength + 1;
    }
}
