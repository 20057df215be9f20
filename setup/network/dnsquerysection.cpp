#include "dnsquerysection.h"

#include "dnsquery.h"

#include <QStringList>

int DNSQuerySection::parse(const unsigned char* data, int available)
{
    const int nameLength = DNSQuery::decodeQueryName(m_name, data, data + available);
    if (nameLength < 0 || available - nameLength < 4)
        return -1;
    const unsigned char* p = data + nameLength;
    m_type = static_cast<uint16_t>((p[0] << 8) | p[1]);
    m_class = static_cast<uint16_t>((p[2] << 8) | p[3]);
    return nameLength + 4;
}

void DNSQuerySection::getDomain(QString& serviceType, QString& domain) const
{
    QStringList parts = m_name.split(QLatin1Char('.'));
    domain = parts.takeLast() + QLatin1Char('.');
    serviceType = parts.join(QLatin1Char('.')) + QLatin1Char('.');
}
