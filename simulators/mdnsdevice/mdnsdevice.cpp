#include "mdnsdevice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const struct
{
    const char* name;
    MdnsDevice::Misbehaviour value;
} kMisbehaviours[] = {
    { "none", MdnsDevice::None },
    { "other-port", MdnsDevice::OtherPort },
    { "wrong-id", MdnsDevice::WrongId },
    { "answer-twice", MdnsDevice::AnswerTwice },
    { "hostile-counts", MdnsDevice::HostileCounts },
    { "hostile-lengths", MdnsDevice::HostileLengths },
    { "silent", MdnsDevice::Silent },
};

} // namespace

MdnsDevice::MdnsDevice(QObject* parent) : QObject(parent)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &MdnsDevice::onReadyRead);
}

bool MdnsDevice::listen(quint16 port)
{
    return m_socket.bind(QHostAddress(QHostAddress::LocalHost), port)
           && m_otherSocket.bind(QHostAddress(QHostAddress::LocalHost), 0);
}

bool MdnsDevice::misbehaviourFromName(const QString& name, Misbehaviour* out)
{
    for (const auto& entry : kMisbehaviours) {
        if (name == QLatin1String(entry.name)) {
            *out = entry.value;
            return true;
        }
    }
    return false;
}

bool MdnsDevice::loadJson(const QByteArray& json, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        *error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                              : QStringLiteral("not a JSON object");
        return false;
    }
    const QJsonObject o = document.object();
    instance = o.value(QStringLiteral("instance")).toString(instance);
    if (o.contains(QStringLiteral("text"))) {
        text.clear();
        for (const QJsonValue& entry : o.value(QStringLiteral("text")).toArray())
            text << entry.toString().toUtf8();
    }
    srvPort = static_cast<quint16>(o.value(QStringLiteral("srvPort")).toInt(srvPort));
    srvTarget = o.value(QStringLiteral("srvTarget")).toString(srvTarget);
    if (o.contains(QStringLiteral("address"))) {
        bool ok = false;
        hostAddress = QHostAddress(o.value(QStringLiteral("address")).toString()).toIPv4Address(&ok);
        if (!ok) {
            *error = QStringLiteral("address is not an IPv4 address");
            return false;
        }
    }
    if (o.contains(QStringLiteral("misbehaviour"))
        && !misbehaviourFromName(o.value(QStringLiteral("misbehaviour")).toString(), &misbehaviour)) {
        *error = QStringLiteral("unknown misbehaviour");
        return false;
    }
    answerAfter = o.value(QStringLiteral("answerAfter")).toInt(answerAfter);
    return true;
}

MdnsMessage MdnsDevice::reply(uint16_t id) const
{
    MdnsMessage m;
    m.id = id;
    m.answer.data = MdnsMessage::compressedTarget(instance);
    m.additional << MdnsMessage::nsec() << MdnsMessage::txt(text);
    if (srvPort != 0)
        m.additional << MdnsMessage::srv(0, 0, srvPort, srvTarget);
    if (hostAddress != 0)
        m.additional << MdnsMessage::hostAddress(hostAddress);
    return m;
}

void MdnsDevice::onReadyRead()
{
    while (m_socket.hasPendingDatagrams()) {
        QByteArray datagram(static_cast<int>(qMax<qint64>(m_socket.pendingDatagramSize(), 0)), '\0');
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 read = m_socket.readDatagram(datagram.data(), datagram.size(), &from, &fromPort);
        if (read < 12)
            continue; // not even a header
        datagram.truncate(static_cast<int>(read));
        m_queries << datagram;
        m_queryPorts << fromPort;
        emit queryReceived(m_queries.size());
        if (misbehaviour == Silent || m_queries.size() < answerAfter)
            continue;
        const uint16_t id = static_cast<uint16_t>((uint8_t(datagram[0]) << 8) | uint8_t(datagram[1]));
        answer(id, from, fromPort);
    }
}

void MdnsDevice::answer(uint16_t id, const QHostAddress& to, quint16 toPort)
{
    MdnsMessage m = reply(misbehaviour == WrongId ? static_cast<uint16_t>(id ^ 0x5A5A) : id);
    if (misbehaviour == HostileCounts) {
        m.answerCount = 2;
        m.additionalCountOverride = 0xFFFF;
    } else if (misbehaviour == HostileLengths) {
        m.additional[1].dataLengthOverride = 0xFFF0;
    }
    QUdpSocket& socket = misbehaviour == OtherPort ? m_otherSocket : m_socket;
    const QByteArray bytes = m.bytes();
    socket.writeDatagram(bytes, to, toPort);
    if (misbehaviour == AnswerTwice)
        socket.writeDatagram(bytes, to, toPort);
}
