#include "mdnsdevice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

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

bool MdnsDevice::listen(quint16 port, const QHostAddress& address)
{
    return m_socket.bind(address, port) && m_otherSocket.bind(address, 0);
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

bool MdnsDevice::setMisbehaviour(const QString& name)
{
    if (name.startsWith(QLatin1String("late:"))) {
        bool ok = false;
        const int ms = name.mid(5).toInt(&ok);
        if (!ok || ms < 0 || ms > 600000)
            return false;
        misbehaviour = Late;
        lateMilliseconds = ms;
        return true;
    }
    return misbehaviourFromName(name, &misbehaviour);
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
        && !setMisbehaviour(o.value(QStringLiteral("misbehaviour")).toString())) {
        *error = QStringLiteral("unknown misbehaviour");
        return false;
    }
    answerAfter = o.value(QStringLiteral("answerAfter")).toInt(answerAfter);
    const QString layout = o.value(QStringLiteral("layout")).toString(QStringLiteral("maker"));
    if (layout != QLatin1String("maker") && layout != QLatin1String("answers")) {
        *error = QStringLiteral("layout is neither maker nor answers");
        return false;
    }
    everyRecordAnswered = layout == QLatin1String("answers");
    return true;
}

MdnsMessage MdnsDevice::reply(uint16_t id) const
{
    if (everyRecordAnswered) {
        // Such a responder always sends the service and host records.
        return MdnsMessage::everyRecordAnswered(id, instance, text, srvPort != 0 ? srvPort : 49200,
                                                srvTarget.section(QLatin1Char('.'), 0, 0),
                                                hostAddress != 0 ? hostAddress : m_socket.localAddress().toIPv4Address());
    }
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
        if (misbehaviour == Late) {
            // Only the first query is answered, so whether its late answer
            // counts is all there is to see.
            if (m_queries.size() == answerAfter)
                QTimer::singleShot(lateMilliseconds, this, [this, id, from, fromPort] { answer(id, from, fromPort); });
            continue;
        }
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
