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
    if (m_questionCount != 1 || m_answerCount != 1 || m_id != expectedId)
        return false;

    int position = kHeaderLength;
    const int questionLength = m_question.parse(data + position, length - position);
    if (questionLength < 0)
        return false;
    position += questionLength;

    const int answerLength = m_answer.parse(data + position, length - position, position);
    if (answerLength < 0)
        return false;
    position += answerLength;

    if (!parseAdditionalRecords(data, length, position)) {
        m_additional.clear();
        return false;
    }
    return true;
}

bool DNSReplyToQuery::parseAdditionalRecords(const unsigned char* data, int length, int position)
{
    for (int i = 0; i < m_additionalCount; ++i) {
        if (length - position < DNSQuery::kRecordHeaderLength)
            return false;
        const unsigned char* header = data + position;
        const uint16_t name = read16(header);
        const uint16_t type = read16(header + 2);
        const uint16_t recordClass = read16(header + 4);
        const uint32_t ttl = read32(header + 6);
        const uint16_t dataLength = read16(header + 10);
        if (!DNSQuery::isBackPointer(name, position))
            return false;
        position += DNSQuery::kRecordHeaderLength;
        if (dataLength > length - position)
            return false;

        std::unique_ptr<DNSAdditionalRecord> record;
        switch (type) {
        case DNSHostAddressRecord::kType:
            if (dataLength != DNSHostAddressRecord::kDataLength)
                return false;
            record.reset(new DNSHostAddressRecord(name, type, recordClass, ttl, dataLength));
            break;
        case DNSTXTRecord::kType:
            record.reset(new DNSTXTRecord(name, type, recordClass, ttl, dataLength));
            break;
        case DNSSRVRecord::kType:
            if (dataLength < DNSSRVRecord::kMinimumDataLength)
                return false;
            record.reset(new DNSSRVRecord(name, type, recordClass, ttl, dataLength));
            break;
        default:
            break; // other kinds (NSEC and the like) are walked over
        }
        if (record) {
            // Every kept kind consumes exactly its data length (checked above).
            position += record->parse(data + position);
            m_additional.push_back(std::move(record));
        } else {
            position += dataLength;
        }
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
