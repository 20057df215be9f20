#pragma once

#include "dnsadditionalrecord.h"

#include <memory>

// A TXT record: its data is kept as raw bytes for the device record to unpack.
class DNSTXTRecord : public DNSAdditionalRecord
{
public:
    static constexpr uint16_t kType = 16;

    using DNSAdditionalRecord::DNSAdditionalRecord;

    int parse(const unsigned char* data) override;
    const char* getAdditionalText() const override;
    int getDataLength() const override;

private:
    std::unique_ptr<char[]> m_text; // null until parsed
};
