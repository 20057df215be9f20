#include "dnsadditionalrecord.h"

DNSAdditionalRecord::DNSAdditionalRecord(uint16_t name, uint16_t type, uint16_t recordClass, uint32_t ttl,
                                         uint16_t dataLength)
    : m_name(name), m_type(type), m_class(recordClass), m_ttl(ttl), m_dataLength(dataLength)
{}

DNSAdditionalRecord::~DNSAdditionalRecord() = default;

const char* DNSAdditionalRecord::getAdditionalText() const
{
    return nullptr;
}

int DNSAdditionalRecord::getDataLength() const
{
    return 0;
}
