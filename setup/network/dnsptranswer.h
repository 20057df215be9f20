#pragma once

#include <QString>

#include <cstdint>

// The answer of a reply: a PTR record whose target is the device's service
// instance name.
class DNSPTRAnswer
{
public:
    // Reads the answer that starts at `position` of a message of `length`
    // bytes; returns the bytes it takes (name, ten header bytes and data),
    // or -1 when the answer is malformed or runs past the end.
    int parse(const unsigned char* message, int length, int position);

    uint16_t name() const { return m_name; }
    uint16_t type() const { return m_type; }
    uint16_t answerClass() const { return m_class; }
    uint32_t ttl() const { return m_ttl; }
    uint16_t dataLength() const { return m_dataLength; }
    const QString& targetName() const { return m_targetName; }

private:
    uint16_t m_name = 0;
    uint16_t m_type = 0;
    uint16_t m_class = 0;
    uint32_t m_ttl = 0;
    uint16_t m_dataLength = 0;
    QString m_targetName;
};
