#include "dnsptranswer.h"

#include "dnsquery.h"

int DNSPTRAnswer::parse(const unsigned char* message, int length, int position)
{
    const int nameEnd = DNSQuery::skipName(message, length, position);
    if (nameEnd < 0 || length - nameEnd < DNSQuery::kRecordHeaderLength - 2)
        return -1;
    // The maker's units write the name as a pointer to the question; those
    // two bytes are what is kept of any name.
    m_name = nameEnd - position >= 2 ? static_cast<uint16_t>((message[position] << 8) | message[position + 1]) : 0;
    const unsigned char* p = message + nameEnd;
    m_type = static_cast<uint16_t>((p[0] << 8) | p[1]);
    m_class = static_cast<uint16_t>((p[2] << 8) | p[3]);
    m_ttl = (uint32_t(p[4]) << 24) | (uint32_t(p[5]) << 16) | (uint32_t(p[6]) << 8) | p[7];
    m_dataLength = static_cast<uint16_t>((p[8] << 8) | p[9]);
    const int dataAt = nameEnd + 10;
    if (m_dataLength > length - dataAt)
        return -1;
    if (DNSQuery::decodeQueryName(m_targetName, message + dataAt, m_dataLength) < 0)
        return -1;
    return dataAt + m_dataLength - position;
}
