#include "mdnsmessage.h"

#include <QStringList>

namespace {

void put16(QByteArray& out, uint32_t value)
{
    out.append(static_cast<char>((value >> 8) & 0xFF));
    out.append(static_cast<char>(value & 0xFF));
}

void put32(QByteArray& out, uint32_t value)
{
    put16(out, value >> 16);
    put16(out, value & 0xFFFF);
}

void putRecord(QByteArray& out, const MdnsMessage::Record& record)
{
    if (record.nameBytes.isEmpty())
        put16(out, record.name);
    else
        out.append(record.nameBytes);
    put16(out, record.type);
    put16(out, record.recordClass);
    put32(out, record.ttl);
    put16(out, static_cast<uint32_t>(record.dataLengthOverride >= 0 ? record.dataLengthOverride
                                                                     : record.data.size()));
    out.append(record.data);
}

} // namespace

QByteArray MdnsMessage::bytes() const
{
    QByteArray out;
    put16(out, id);
    put16(out, flags);
    put16(out, questionCount);
    put16(out, answerCount);
    put16(out, authorityCount);
    put16(out, static_cast<uint32_t>(additionalCountOverride >= 0 ? additionalCountOverride : additional.size()));
    out.append(questionName);
    put16(out, questionType);
    put16(out, questionClass);
    putRecord(out, answer);
    for (const Record& record : answers)
        putRecord(out, record);
    for (const Record& record : additional)
        putRecord(out, record);
    return out;
}

QByteArray MdnsMessage::encodeName(const QString& name)
{
    QByteArray out;
    for (const QString& label : name.split(QLatin1Char('.'), Qt::SkipEmptyParts)) {
        const QByteArray utf8 = label.toUtf8().left(63);
        out.append(static_cast<char>(utf8.size()));
        out.append(utf8);
    }
    out.append('\0');
    return out;
}

QByteArray MdnsMessage::compressedTarget(const QString& instance)
{
    const QByteArray utf8 = instance.toUtf8().left(63);
    QByteArray out;
    out.append(static_cast<char>(utf8.size()));
    out.append(utf8);
    out.append(static_cast<char>(0xC0));
    out.append(static_cast<char>(0x0C));
    return out;
}

MdnsMessage::Record MdnsMessage::txt(const QList<QByteArray>& entries)
{
    Record record;
    record.type = kTypeTXT;
    for (const QByteArray& entry : entries) {
        const QByteArray cut = entry.left(255);
        record.data.append(static_cast<char>(cut.size()));
        record.data.append(cut);
    }
    return record;
}

MdnsMessage::Record MdnsMessage::srv(uint16_t priority, uint16_t weight, uint16_t port, const QString& target)
{
    Record record;
    record.type = kTypeSRV;
    put16(record.data, priority);
    put16(record.data, weight);
    put16(record.data, port);
    record.data.append(encodeName(target));
    return record;
}

MdnsMessage::Record MdnsMessage::hostAddress(uint32_t ipv4)
{
    Record record;
    record.type = kTypeA;
    put32(record.data, ipv4);
    return record;
}

MdnsMessage::Record MdnsMessage::nsec()
{
    // Next name (a pointer to the question), then one window of the type bitmap.
    Record record;
    record.type = kTypeNSEC;
    record.data = QByteArray::fromHex("c00c00054000000008");
    return record;
}

int MdnsMessage::localLabelOffset() const
{
    // Walk the labels of the question name to its last one.
    int at = 0;
    int last = 0;
    while (at < questionName.size() && questionName[at] != '\0') {
        last = at;
        at += 1 + uint8_t(questionName[at]);
    }
    return 12 + last;
}

int MdnsMessage::answerDataOffset() const
{
    const int answerName = answer.nameBytes.isEmpty() ? 2 : answer.nameBytes.size();
    return 12 + questionName.size() + 4 + answerName + 10;
}

MdnsMessage MdnsMessage::everyRecordAnswered(uint16_t id, const QString& instance, const QList<QByteArray>& text,
                                             uint16_t srvPort, const QString& host, uint32_t ipv4)
{
    MdnsMessage m;
    m.id = id;
    m.answer.data = compressedTarget(instance);
    // The instance name: a pointer to the label inside the PTR data.
    const uint16_t instancePointer = static_cast<uint16_t>(0xC000 | m.answerDataOffset());
    // The host name: its label, then a pointer to "local" in the question.
    QByteArray hostName;
    const QByteArray hostLabel = host.toUtf8().left(63);
    hostName.append(static_cast<char>(hostLabel.size()));
    hostName.append(hostLabel);
    hostName.append(static_cast<char>(0xC0 | (m.localLabelOffset() >> 8)));
    hostName.append(static_cast<char>(m.localLabelOffset() & 0xFF));

    Record txtRecord = txt(text);
    txtRecord.name = instancePointer;
    Record srvRecord;
    srvRecord.type = kTypeSRV;
    srvRecord.name = instancePointer;
    put16(srvRecord.data, 0);
    put16(srvRecord.data, 0);
    put16(srvRecord.data, srvPort);
    srvRecord.data.append(hostName);
    Record aaaa;
    aaaa.type = 28;
    aaaa.nameBytes = hostName;
    aaaa.data = QByteArray::fromHex("fe800000000000000000000000000001");
    Record a = hostAddress(ipv4);
    // A pointer to the SRV target, where the host name first stands.
    const int srvTargetOffset = m.answerDataOffset() + m.answer.data.size() + 12 + txtRecord.data.size() + 12 + 6;
    a.name = static_cast<uint16_t>(0xC000 | srvTargetOffset);
    m.answers = { txtRecord, srvRecord, aaaa, a };
    m.answerCount = static_cast<uint16_t>(1 + m.answers.size());
    for (Record* r : { &m.answer, &m.answers[0], &m.answers[1], &m.answers[2], &m.answers[3] }) {
        r->recordClass = 1; // no cache-flush bit in a unicast answer
        r->ttl = 10;
    }
    return m;
}
