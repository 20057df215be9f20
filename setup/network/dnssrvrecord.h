#pragma once

#include "dnsadditionalrecord.h"

// An SRV record. Only priority, weight and port are read; the target name
// that follows them is walked over.
class DNSSRVRecord : public DNSAdditionalRecord
{
public:
    static constexpr uint16_t kType = 33;
    static constexpr int kMinimumDataLength = 6;

    using DNSAdditionalRecord::DNSAdditionalRecord;

    int parse(const unsigned char* data) override;
    uint16_t priority() const { return m_priority; }
    uint16_t weight() const { return m_weight; }
    uint16_t port() const { return m_port; }

private:
    uint16_t m_priority = 0;
    uint16_t m_weight = 0;
    uint16_t m_port = 0;
};
