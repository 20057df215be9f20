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
    put16(out, record.name);
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
