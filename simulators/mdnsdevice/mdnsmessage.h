#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

// One reply of the stand-in device, laid out field by field so that tests
// and misbehaviours can set every count, length and name on the wire,
// including wrong ones. bytes() writes exactly what the fields say.
struct MdnsMessage
{
    struct Record
    {
        uint16_t name = 0xC00C; // compression pointer to the question name
        QByteArray nameBytes;   // written instead of `name` when not empty
        uint16_t type = 0;
        uint16_t recordClass = 0x8001; // IN with the cache-flush bit
        uint32_t ttl = 4500;
        QByteArray data;
        int dataLengthOverride = -1; // written instead of data.size() when >= 0
    };

    static constexpr uint16_t kTypeA = 1;
    static constexpr uint16_t kTypePTR = 12;
    static constexpr uint16_t kTypeTXT = 16;
    static constexpr uint16_t kTypeSRV = 33;
    static constexpr uint16_t kTypeNSEC = 47;

    uint16_t id = 0;
    uint16_t flags = 0x8400; // response, authoritative
    uint16_t questionCount = 1;
    uint16_t answerCount = 1;
    uint16_t authorityCount = 0;
    int additionalCountOverride = -1; // written instead of additional.size() when >= 0
    QByteArray questionName = encodeName(QStringLiteral("_morvane._tcp.local"));
    uint16_t questionType = kTypePTR;
    uint16_t questionClass = 1;
    Record answer{0xC00C, QByteArray(), kTypePTR, 1, 4500, QByteArray(), -1};
    QList<Record> answers; // further records of the answer section
    QList<Record> additional;

    QByteArray bytes() const;

    // Labels of `name` ending in a zero byte.
    static QByteArray encodeName(const QString& name);
    // One instance label followed by a pointer to the question name.
    static QByteArray compressedTarget(const QString& instance);
    static Record txt(const QList<QByteArray>& entries);
    static Record srv(uint16_t priority, uint16_t weight, uint16_t port, const QString& target);
    static Record hostAddress(uint32_t ipv4);
    static Record nsec();
    // Offset of the question name's last label ("local"), where a host
    // name's compression pointer goes.
    int localLabelOffset() const;
    // Offset of the answer's data: where its instance label stands.
    int answerDataOffset() const;
    // The reply as a responder lays it out that answers every question
    // alike: PTR, TXT, SRV, AAAA and A all in the answer section, nothing
    // in the additional one, the instance and host names compressed
    // against the records before them.
    static MdnsMessage everyRecordAnswered(uint16_t id, const QString& instance, const QList<QByteArray>& text,
                                           uint16_t srvPort, const QString& host, uint32_t ipv4);
};
