#include "dnsptranswer.h"

#include "dnsquery.h"

int DNSPTRAnswer::parse(const unsigned char* data, int available, int offset)
{
    if (available < DNSQuery::kRecordHeaderLength)
        return -1;
    m_name = static_cast<uint16_t>((data[0] << 8) | data[1]);
    m_type = static_cast<uint16_t>((data[2] << 8) | data[3]);
    m_class = static_cast<uint16_t>((data[4] << 8) | data[5]);
    m_ttl = (uint32_t(data[6]) << 24) | (uint32_t(data[7]) << 16) | (uint32_t(data[8]) << 8) | data[9];
    m_dataLength = static_cast<uint16_t>((data[10] << 8) | data[11]);
    if (!DNSQuery::isBackPointer(m_name, offset))
        return -1;
    if (m_dataLength > available - DNSQuery::kRecordHeaderLength)
        return -1;
    if (DNSQuery::decodeQueryName(m_targetName, data + DNSQuery::kRecordHeaderLength, m_dataLength) < 0)
        return -1;
    return DNSQuery::kRecordHeaderLength + m_dataLength;
}
