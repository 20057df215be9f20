#pragma once

#include <cstdint>

// One record of a reply's additional section. Only the fixed header is kept;
// the name is the two bytes of a compression pointer, stored as a number and
// never followed. The reply checks that the record's data lies inside the
// datagram before it calls parse().
class DNSAdditionalRecord
{
public:
    DNSAdditionalRecord(uint16_t name, uint16_t type, uint16_t recordClass, uint32_t ttl, uint16_t dataLength);
    virtual ~DNSAdditionalRecord();

    DNSAdditionalRecord(const DNSAdditionalRecord&) = delete;
    DNSAdditionalRecord& operator=(const DNSAdditionalRecord&) = delete;

    // Reads the record's data, which starts at `data` and holds dataLength()
    // bytes; returns the number of data bytes consumed.
    virtual int parse(const unsigned char* data) = 0;
    // The record's text bytes, or null.
    virtual const char* getAdditionalText() const;
    // The length of getAdditionalText(); 0 when there is none.
    virtual int getDataLength() const;

    uint16_t name() const { return m_name; }
    uint16_t type() const { return m_type; }
    uint16_t recordClass() const { return m_class; }
    uint32_t ttl() const { return m_ttl; }
    uint16_t dataLength() const { return m_dataLength; }

private:
    uint16_t m_name;
    uint16_t m_type;
    uint16_t m_class;
    uint32_t m_ttl;
    uint16_t m_dataLength;
};
