#include "dnsreplytoquery.h"

#include "dnshostaddressrecord.h"
#include "dnsquery.h"
#include "dnssrvrecord.h"
#include "dnstxtrecord.h"

namespace {

uint16_t read16(const unsigned char* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t read32(const unsigned char* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

} // namespace

bool DNSReplyToQuery::parse(const unsigned char* data, int length, unsigned short expectedId)
{
    // Whatever happens below, no records of an earlier reply survive.
    m_additional.clear();
    if (!data || length < kHeaderLength)
        return false;

    m_id = read16(data);
    m_flags = read16(data + 2);
    m_questionCount = read16(data + 4);
    m_answerCount = read16(data + 6);
    m_authorityCount = read16(data + 8);
    m_additionalCount = read16(data + 10);
    // The maker's units send one answer and put TXT, SRV and A in the
    // additional section; a responder that answers as for any legacy
    // unicast question puts all of them in the answer section instead.
    if (m_questionCount != 1 || m_answerCount < 1 || m_id != expectedId)
        return false;

    int position = kHeaderLength;
    const int questionLength = m_question.parse(data + position, length - position);
    if (questionLength < 0)
        return false;
    position += questionLength;

    if (!parseRecords(data, length, position)) {
        m_additional.clear();
        return false;
    }
    return true;
}

bool DNSReplyToQuery::parseRecords(const unsigned char* data, int length, int& position)
{
    // A lone answer is the PTR record whatever its type says; of several,
    // the first PTR record is, and the others are kept like additional ones.
    bool answered = false;
    for (int i = 0; i < m_answerCount; ++i) {
        if (!answered) {
            const int nameEnd = DNSQuery::skipName(data, length, position);
            if (nameEnd < 0 || length - nameEnd < 2)
                return false;
            if (m_answerCount == 1 || read16(data + nameEnd) == DNSQuery::kTypePTR) {
                const int answerLength = m_answer.parse(data, length, position);
                if (answerLength < 0)
                    return false;
                position += answerLength;
                answered = true;
                continue;
            }
        }
        if (!readRecord(data, length, position, true))
            return false;
    }
    if (!answered)
        return false;
    for (int i = 0; i < m_authorityCount; ++i) {
        if (!readRecord(data, length, position, false))
            return false;
    }
    for (int i = 0; i < m_additionalCount; ++i) {
        if (!readRecord(data, length, position, true))
            return false;
    }
    return true;
}

bool DNSReplyToQuery::readRecord(const unsigned char* data, int length, int& position, bool keep)
{
    // A name or data that runs past the end leaves nothing after it
    // readable, so the reply is refused; a record that lies inside the
    // datagram but is of no use (an odd kind, an A record that is not four
    // bytes) is walked over.
    const int nameEnd = DNSQuery::skipName(data, length, position);
    if (nameEnd < 0 || length - nameEnd < DNSQuery::kRecordHeaderLength - 2)
        return false;
    const uint16_t name = nameEnd - position >= 2 ? read16(data + position) : 0;
    const unsigned char* header = data + nameEnd;
    const uint16_t type = read16(header);
    const uint16_t recordClass = read16(header + 2);
    const uint32_t ttl = read32(header + 4);
    const uint16_t dataLength = read16(header + 8);
    const int dataAt = nameEnd + 10;
    if (dataLength > length - dataAt)
        return false;
    position = dataAt + dataLength;
    if (!keep)
        return true;

    std::unique_ptr<DNSAdditionalRecord> record;
    switch (type) {
    case DNSHostAddressRecord::kType:
        if (dataLength == DNSHostAddressRecord::kDataLength)
            record.reset(new DNSHostAddressRecord(name, type, recordClass, ttl, dataLength));
        break;
    case DNSTXTRecord::kType:
        record.reset(new DNSTXTRecord(name, type, recordClass, ttl, dataLength));
        break;
    case DNSSRVRecord::kType:
        if (dataLength >= DNSSRVRecord::kMinimumDataLength)
            record.reset(new DNSSRVRecord(name, type, recordClass, ttl, dataLength));
        break;
    default:
        break; // other kinds (NSEC, AAAA and the like)
    }
    if (record) {
        // Every kept kind reads at most its data length (checked above).
        record->parse(data + dataAt);
        m_additional.push_back(std::move(record));
    }
    return true;
}

void DNSReplyToQuery::getDomain(QString& serviceType, QString& domain) const
{
    m_question.getDomain(serviceType, domain);
}

QString DNSReplyToQuery::getServiceName() const
{
    return m_answer.targetName();
}

const DNSAdditionalRecord* DNSReplyToQuery::textRecord() const
{
    // Text and length come from the same record, so that an empty TXT
    // record never pairs its buffer with the length of a later one.
    for (const auto& record : m_additional) {
        if (record->getAdditionalText() && record->getDataLength() > 0)
            return record.get();
    }
    return nullptr;
}

const char* DNSReplyToQuery::getAdditionalText() const
{
    const DNSAdditionalRecord* record = textRecord();
    return record ? record->getAdditionalText() : nullptr;
}

int DNSReplyToQuery::getAdditionalTextLength() const
{
    const DNSAdditionalRecord* record = textRecord();
    return record ? record->getDataLength() : 0;
}
