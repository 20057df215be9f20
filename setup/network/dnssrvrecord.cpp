#include "dnssrvrecord.h"

int DNSSRVRecord::parse(const unsigned char* data)
{
    m_priority = static_cast<uint16_t>((data[0] << 8) | data[1]);
    m_weight = static_cast<uint16_t>((data[2] << 8) | data[3]);
    m_port = static_cast<uint16_t>((data[4] << 8) | data[5]);
    return dataLength();
}
