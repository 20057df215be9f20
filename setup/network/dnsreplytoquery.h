#pragma once

#include "dnsadditionalrecord.h"
#include "dnsptranswer.h"
#include "dnsquerysection.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// A device's reply to the PTR question: one question, the PTR answer and the
// records that go with it (TXT, SRV, A), whether they stand in the answer or
// in the additional section. Everything is read from inside the datagram; a
// reply whose counts, names, pointers or lengths run past its end is not
// parsed.
class DNSReplyToQuery
{
public:
    static constexpr int kHeaderLength = 12;

    // False when the header does not answer query `expectedId` with exactly
    // one question and at least one answer, when no answer is a PTR record,
    // or when the message is malformed. The additional records are those of
    // the last successful parse only.
    bool parse(const unsigned char* data, int length, unsigned short expectedId);

    void getDomain(QString& serviceType, QString& domain) const;
    QString getServiceName() const;
    // The data of the first additional record that carries text, or null.
    const char* getAdditionalText() const;
    // The length of getAdditionalText(); 0 when there is none.
    int getAdditionalTextLength() const;

    uint16_t id() const { return m_id; }
    uint16_t flags() const { return m_flags; }
    uint16_t questionCount() const { return m_questionCount; }
    uint16_t answerCount() const { return m_answerCount; }
    uint16_t authorityCount() const { return m_authorityCount; }
    uint16_t additionalCount() const { return m_additionalCount; }
    const DNSQuerySection& question() const { return m_question; }
    const DNSPTRAnswer& answer() const { return m_answer; }
    // The TXT, SRV and A records of the answer section after the PTR answer,
    // then those of the additional section, in message order.
    const std::vector<std::unique_ptr<DNSAdditionalRecord>>& additionalRecords() const { return m_additional; }

private:
    bool parseRecords(const unsigned char* data, int length, int& position);
    // Walks one record at `position` and moves past it; keeps it among the
    // additional records when asked to and it is of a kind in use.
    bool readRecord(const unsigned char* data, int length, int& position, bool keep);
    const DNSAdditionalRecord* textRecord() const;

    uint16_t m_id = 0;
    uint16_t m_flags = 0;
    uint16_t m_questionCount = 0;
    uint16_t m_answerCount = 0;
    uint16_t m_authorityCount = 0;
    uint16_t m_additionalCount = 0;
    DNSQuerySection m_question;
    DNSPTRAnswer m_answer;
    std::vector<std::unique_ptr<DNSAdditionalRecord>> m_additional;
};
