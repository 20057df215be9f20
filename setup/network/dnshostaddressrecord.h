#pragma once

#include "dnsadditionalrecord.h"

#include <QHostAddress>

// An A record: the IPv4 address of the device's host name.
class DNSHostAddressRecord : public DNSAdditionalRecord
{
public:
    static constexpr uint16_t kType = 1;
    static constexpr int kDataLength = 4;

    using DNSAdditionalRecord::DNSAdditionalRecord;

    int parse(const unsigned char* data) override;
    const QHostAddress& address() const { return m_address; }

private:
    QHostAddress m_address;
};
