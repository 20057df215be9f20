#include "dnsquery.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QStringList>

#include <vector>

namespace {

// The local port asked for; an unprivileged process is refused it and then
// sends from an ephemeral port, which works just as well.
constexpr quint16 kLocalPort = 2;
constexpr int kQueryFixedLength = 16;

void write16(unsigned char* p, uint16_t value)
{
    p[0] = static_cast<unsigned char>(value >> 8);
    p[1] = static_cast<unsigned char>(value & 0xFF);
}

} // namespace

DNSQuery::DNSQuery(QObject* parent) : QObject(parent)
{
    m_socket.bind(kLocalPort);
    connect(&m_socket, &QUdpSocket::readyRead, this, &DNSQuery::readPendingDatagrams);
}

bool DNSQuery::sendPTRQuery(const QHostAddress& address, unsigned short port, const QString& name)
{
    uint16_t id = m_lastId;
    // A new ID for every query, so a late answer to an earlier one is refused.
    while (id == m_lastId)
        id = static_cast<uint16_t>(QRandomGenerator::global()->generate() & 0xFFFF);

    std::vector<unsigned char> buffer(static_cast<size_t>(kQueryFixedLength + name.toUtf8().size() + 2));
    unsigned char* p = buffer.data();
    write16(p, id);
    write16(p + 2, kFlagsRecursionDesired);
    write16(p + 4, 1);
    write16(p + 6, 0);
    write16(p + 8, 0);
    write16(p + 10, 0);
    const int nameLength = encodeQueryName(name, p + 12);
    if (nameLength < 0)
        return false;
    write16(p + 12 + nameLength, kTypePTR);
    write16(p + 14 + nameLength, kClassIN);

    m_lastId = id;
    m_lastPort = port;
    m_lastAddress = address;
    const qint64 written = m_socket.writeDatagram(reinterpret_cast<const char*>(p), kQueryFixedLength + nameLength,
                                                  address, port);
    return written > 0;
}

int DNSQuery::encodeQueryName(const QString& name, unsigned char* out)
{
    int length = 0;
    const QStringList parts = name.split(QLatin1Char('.'));
    for (const QString& part : parts) {
        const QByteArray label = part.toUtf8();
        if (label.size() > kMaximumLabelLength)
            return -1;
        out[length++] = static_cast<unsigned char>(label.size());
        for (char c : label)
            out[length++] = static_cast<unsigned char>(c);
    }
    out[length++] = 0;
    return length;
}

int DNSQuery::decodeQueryName(QString& out, const unsigned char* data, const unsigned char* end)
{
    out = QString();
    const int available = static_cast<int>(end - data);
    if (available < 1)
        return -1;
    if (data[0] == 0) {
        out = QLatin1String("");
        return 1;
    }
    int position = 0;
    do {
        const int labelLength = data[position];
        // A label over 63 bytes is a compression pointer or garbage; neither
        // belongs in the question.
        if (labelLength > kMaximumLabelLength || labelLength > available - position - 1)
            return -1;
        if (position > 0)
            out.append(QLatin1Char('.'));
        for (int i = 1; i <= labelLength; ++i)
            out.append(QChar(data[position + i]));
        position += labelLength + 1;
        if (position >= available)
            return -1; // no terminating zero byte
    } while (data[position] != 0);
    return position + 1;
}

int DNSQuery::decodeQueryName(QString& out, const unsigned char* data, int length)
{
    out = QString();
    if (length < 3)
        return length;
    int position = 0;
    while (position < length - 2) {
        const int labelLength = data[position];
        if (labelLength > kMaximumLabelLength || labelLength > length - position - 1)
            return -1;
        if (position > 0)
            out.append(QLatin1Char('.'));
        const char* label = reinterpret_cast<const char*>(data + position + 1);
        out.append(QString::fromUtf8(label, static_cast<int>(qstrnlen(label, static_cast<uint>(labelLength)))));
        position += labelLength + 1;
    }
    return length;
}

bool DNSQuery::isBackPointer(uint16_t name, int offset)
{
    return (name & 0xC000) == 0xC000 && (name & 0x3FFF) < offset;
}

void DNSQuery::getDomain(QString& serviceType, QString& domain) const
{
    m_reply.getDomain(serviceType, domain);
}

QString DNSQuery::getServiceName() const
{
    return m_reply.getServiceName();
}

void DNSQuery::readPendingDatagrams()
{
    while (m_socket.hasPendingDatagrams()) {
        const qint64 size = m_socket.pendingDatagramSize();
        // An exactly sized buffer: the parse must never see a byte past it.
        std::vector<unsigned char> datagram(static_cast<size_t>(qMax<qint64>(size, 1)));
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 read = m_socket.readDatagram(reinterpret_cast<char*>(datagram.data()),
                                                  static_cast<qint64>(datagram.size()), &sender, &senderPort);
        if (read < 0 || size < 0)
            continue;
        if (senderPort != m_lastPort || !sender.isEqual(m_lastAddress, QHostAddress::TolerantConversion))
            continue;
        emit DNSResponseReceived(m_reply.parse(datagram.data(), static_cast<int>(read), m_lastId));
    }
}
