#pragma once

#include "dnsreplytoquery.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QUdpSocket>
#include <QVector>

#include <cstdint>

// The one DNS exchange with a network device: a PTR question for the
// maker's service type sent by UDP to one host's mDNS port, and the
// device's reply. Only datagrams from the host and port that the last query
// went to are looked at, and only a reply carrying the ID of a query of the
// current series parses: sendPTRQuery() starts a series, sendFollowUpQuery()
// adds to it, so an answer to an earlier resend still counts.
class DNSQuery : public QObject
{
    Q_OBJECT

public:
    static constexpr int kRecordHeaderLength = 12;
    static constexpr int kMaximumLabelLength = 63;
    static constexpr uint16_t kTypePTR = 12;
    static constexpr uint16_t kClassIN = 1;
    static constexpr uint16_t kFlagsRecursionDesired = 0x0100;

    explicit DNSQuery(QObject* parent = nullptr);

    // Sends the question for `name` to address:port with a new ID; true when
    // the socket wrote the datagram.
    bool sendPTRQuery(const QHostAddress& address, unsigned short port, const QString& name);
    // Asks the last query's question again, to the same host and port, with
    // a new ID; replies to the earlier queries of the series are still
    // accepted. False when the datagram could not be sent.
    bool sendFollowUpQuery();

    // Writes the wire form of `name` to `out` (room for the name's UTF-8
    // length + 2 bytes); returns its length, or -1 for a label over 63 bytes.
    static int encodeQueryName(const QString& name, unsigned char* out);
    // An uncompressed name of labels ending in a zero byte, none of it at or
    // after `end`; returns the bytes consumed with the zero byte, or -1.
    static int decodeQueryName(QString& out, const unsigned char* data, const unsigned char* end);
    // A name inside record data of `length` bytes whose last two bytes are a
    // compression pointer that is not followed; returns `length`, or -1 when
    // a label runs past the data.
    static int decodeQueryName(QString& out, const unsigned char* data, int length);
    // A two-byte name must be a compression pointer to an earlier offset than
    // its own: pointers are never followed, and this rules out loops too.
    static bool isBackPointer(uint16_t name, int offset);
    // Walks over the name at `position` of a message of `length` bytes:
    // labels ending in a zero byte or in a compression pointer to an earlier
    // offset, which is not followed. Returns the position after the name,
    // or -1 when it runs past the end or is malformed.
    static int skipName(const unsigned char* message, int length, int position);

    void getDomain(QString& serviceType, QString& domain) const;
    QString getServiceName() const;
    const DNSReplyToQuery& reply() const { return m_reply; }
    uint16_t lastQueryId() const { return m_lastId; }
    uint16_t localPort() const { return m_socket.localPort(); }

signals:
    void DNSResponseReceived(bool ok);

public slots:
    void readPendingDatagrams();

private:
    bool send();

    QUdpSocket m_socket;
    DNSReplyToQuery m_reply;
    uint16_t m_lastId = 0;
    uint16_t m_lastPort = 0;
    QHostAddress m_lastAddress;
    QString m_lastName;
    QVector<uint16_t> m_seriesIds; // IDs of the current series, oldest first
};
