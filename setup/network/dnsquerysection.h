#pragma once

#include <QString>

#include <cstdint>

// The question of a reply, echoed by the device: the service type it was
// asked for, as dotted text.
class DNSQuerySection
{
public:
    // Reads name, type and class from at most `available` bytes; returns the
    // bytes consumed (name length + 4), or -1 when they run past the end.
    int parse(const unsigned char* data, int available);
    // Splits the name into its last label (the domain) and the rest (the
    // service type), each followed by a dot.
    void getDomain(QString& serviceType, QString& domain) const;

    const QString& name() const { return m_name; }
    uint16_t type() const { return m_type; }
    uint16_t queryClass() const { return m_class; }

private:
    QString m_name;
    uint16_t m_type = 0;
    uint16_t m_class = 0;
};
