#include "dnshostaddressrecord.h"

int DNSHostAddressRecord::parse(const unsigned char* data)
{
    const quint32 ipv4 = (quint32(data[0]) << 24) | (quint32(data[1]) << 16) | (quint32(data[2]) << 8) | data[3];
    m_address.setAddress(ipv4);
    return kDataLength;
}
