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
constexpr int kMaximumSeriesLength = 1024;

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
    m_seriesIds.clear();
    m_lastAddress = address;
    m_lastPort = port;
    m_lastName = name;
    return send();
}

bool DNSQuery::sendFollowUpQuery()
{
    return send();
}

bool DNSQuery::send()
{
    uint16_t id = m_lastId;
    // A new ID for every query, so a reply to a query of an earlier series
    // is refused.
    while (id == m_lastId || m_seriesIds.contains(id))
        id = static_cast<uint16_t>(QRandomGenerator::global()->generate() & 0xFFFF);

    std::vector<unsigned char> buffer(static_cast<size_t>(kQueryFixedLength + m_lastName.toUtf8().size() + 2));
    unsigned char* p = buffer.data();
    write16(p, id);
    write16(p + 2, kFlagsRecursionDesired);
    write16(p + 4, 1);
    write16(p + 6, 0);
    write16(p + 8, 0);
    write16(p + 10, 0);
    const int nameLength = encodeQueryName(m_lastName, p + 12);
    if (nameLength < 0)
        return false;
    write16(p + 12 + nameLength, kTypePTR);
    write16(p + 14 + nameLength, kClassIN);

    m_lastId = id;
    // A search that resends for hours keeps only its latest IDs.
    if (m_seriesIds.size() >= kMaximumSeriesLength)
        m_seriesIds.removeFirst();
    m_seriesIds.append(id);
    const qint64 written = m_socket.writeDatagram(reinterpret_cast<const char*>(p), kQueryFixedLength + nameLength,
                                                  m_lastAddress, m_lastPort);
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

int DNSQuery::skipName(const unsigned char* message, int length, int position)
{
    while (position >= 0 && position < length) {
        const int labelLength = message[position];
        if (labelLength == 0)
            return position + 1;
        if ((labelLength & 0xC0) == 0xC0) {
            if (length - position < 2)
                return -1;
            const uint16_t pointer = static_cast<uint16_t>((labelLength << 8) | message[position + 1]);
            return isBackPointer(pointer, position) ? position + 2 : -1;
        }
        if (labelLength > kMaximumLabelLength)
            return -1; // the 0x40 and 0x80 kinds are not in use
        position += labelLength + 1;
    }
    return -1;
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
        // An answer to any query of the series is accepted; one that carries
        // none of their IDs is tested against the latest and refused.
        uint16_t expected = m_lastId;
        if (read >= 2) {
            const uint16_t id = static_cast<uint16_t>((datagram[0] << 8) | datagram[1]);
            if (m_seriesIds.contains(id))
                expected = id;
        }
        emit DNSResponseReceived(m_reply.parse(datagram.data(), static_cast<int>(read), expected));
    }
}
