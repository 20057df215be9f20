#pragma once

#include "mdnsmessage.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QUdpSocket>

// A stand-in network device on loopback: answers the PTR question for the
// maker's service like a real unit (instance name, TXT keys, optional SRV
// and A records), on whatever port it is given, and misbehaves on request.
class MdnsDevice : public QObject
{
    Q_OBJECT

public:
    enum Misbehaviour
    {
        None,
        OtherPort,      // answers from a second socket, not the one asked
        WrongId,        // answers with an ID the query did not carry
        AnswerTwice,    // two copies of the same answer
        HostileCounts,  // two answers and 0xFFFF additional records claimed
        HostileLengths, // a TXT record that claims more bytes than sent
        Silent,         // reads every query, answers none
        Late            // answers the first query only, lateMilliseconds after it
    };

    explicit MdnsDevice(QObject* parent = nullptr);

    // Listens on address:port (0 picks a free port); any loopback address
    // will do for a device of its own.
    bool listen(quint16 port = 0, const QHostAddress& address = QHostAddress(QHostAddress::LocalHost));
    quint16 port() const { return m_socket.localPort(); }

    // Fields of the JSON configuration (all optional):
    // {"instance": "...", "text": ["name=...", ...], "srvPort": 49200,
    //  "srvTarget": "host.local", "address": "127.0.0.1",
    //  "misbehaviour": "wrong-id", "answerAfter": 3, "layout": "answers"}
    // "misbehaviour" (and --misbehave) take "late:MS" for Late.
    bool loadJson(const QByteArray& json, QString* error);
    // Sets misbehaviour (and lateMilliseconds for "late:MS").
    bool setMisbehaviour(const QString& name);
    static bool misbehaviourFromName(const QString& name, Misbehaviour* out);

    QString instance = QStringLiteral("Velacore Relay");
    QList<QByteArray> text{ "name=Relay 4K", "unique id=7F" };
    quint16 srvPort = 0;   // 0: no SRV record
    QString srvTarget = QStringLiteral("velacore.local");
    quint32 hostAddress = 0; // 0: no A record
    Misbehaviour misbehaviour = None;
    int answerAfter = 1;     // queries to read before the first answer
    int lateMilliseconds = 0; // how late the Late misbehaviour answers
    // Every record in the answer section, as a responder writes it that
    // answers this question like any other ("layout": "answers").
    bool everyRecordAnswered = false;

    int queriesSeen() const { return m_queries.size(); }
    const QList<QByteArray>& queries() const { return m_queries; }
    // The source port of each query, in order.
    const QList<quint16>& queryPorts() const { return m_queryPorts; }
    // The reply that a query with `id` gets, before any misbehaviour.
    MdnsMessage reply(uint16_t id) const;

signals:
    void queryReceived(int count);

private slots:
    void onReadyRead();

private:
    void answer(uint16_t id, const QHostAddress& to, quint16 toPort);

    QUdpSocket m_socket;
    QUdpSocket m_otherSocket;
    QList<QByteArray> m_queries;
    QList<quint16> m_queryPorts;
};
