#pragma once

#include "bonjourdevice.h"

#include <QMap>
#include <QMetaType>
#include <QString>

#include <string>

// The record of one network device: its service triple, the TXT record keys
// it announces and, when known, its IPv4 address.
class BonjourInfo
{
public:
    BonjourInfo() = default;
    BonjourInfo(const BonjourDevice& device, const QString& hostAddress);

    std::string serviceName() const { return m_serviceName; }
    std::string serviceType() const { return m_serviceType; }
    std::string domain() const { return m_domain; }
    // The service name as UTF-8 text, up to its first zero byte.
    QString deviceName() const;
    QString hostAddress() const { return m_hostAddress; }
    bool isResolved() const { return m_resolved; }
    void setResolved(bool resolved) { m_resolved = resolved; }
    BonjourDevice device() const { return {m_serviceName, m_serviceType, m_domain}; }

    // Null when the key is absent.
    QString textRecord(const QString& key) const;
    const QMap<QString, QString>& textRecords() const { return m_textRecord; }
    QString modelName() const { return textRecord(QStringLiteral("name")); }
    QString familyName() const { return textRecord(QStringLiteral("class")); }
    QString firmwareVersions() const { return textRecord(QStringLiteral("internal version")); }
    QString releaseVersion() const { return textRecord(QStringLiteral("release version")); }
    QString uniqueId() const { return textRecord(QStringLiteral("unique id")); }

    bool textMatches(const BonjourInfo& other) const;
    // Merges a raw DNS-SD TXT record into the text record; keys never vanish.
    void unpackTextRecord(const char* data, int length);

private:
    std::string m_serviceName;
    std::string m_serviceType;
    std::string m_domain;
    QMap<QString, QString> m_textRecord;
    QString m_hostAddress;
    bool m_resolved = false;
};

Q_DECLARE_METATYPE(BonjourInfo)
