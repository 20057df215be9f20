#include "bonjourinfo.h"
#include "dnsquery.h"
#include "dnsreplytoquery.h"
#include "mdnsmessage.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

#include <vector>

namespace {

const QString kService = QStringLiteral("_morvane._tcp.local");

// Parses from a buffer of exactly the message's size, so that a read past
// its end is seen by the address sanitizer.
bool parseExact(DNSReplyToQuery& reply, const QByteArray& bytes, uint16_t id)
{
    std::vector<unsigned char> exact(bytes.begin(), bytes.end());
    return reply.parse(exact.empty() ? nullptr : exact.data(), static_cast<int>(exact.size()), id);
}

MdnsMessage deviceReply(uint16_t id)
{
    MdnsMessage m;
    m.id = id;
    m.answer.data = MdnsMessage::compressedTarget(QStringLiteral("Velacore"));
    m.additional = { MdnsMessage::nsec(),
                     MdnsMessage::txt({ "name=Relay 4K", "unique id=7F" }),
                     MdnsMessage::srv(0, 0, 49200, QStringLiteral("velacore.local")),
                     MdnsMessage::hostAddress(0x7F000001) };
    return m;
}

QString recordTypes(const DNSReplyToQuery& reply)
{
    QStringList types;
    for (const auto& record : reply.additionalRecords())
        types << QString::number(record->type());
    return types.join(QLatin1Char(','));
}

QByteArray replyText(const DNSReplyToQuery& reply)
{
    const char* text = reply.getAdditionalText();
    return text ? QByteArray(text, reply.getAdditionalTextLength()) : QByteArray();
}

} // namespace

class TestCodec : public QObject
{
    Q_OBJECT

private slots:
    void queryOnTheWire();
    void replyToAnEarlierQueryIsRefused();
    void eachQueryGetsItsOwnReply();
    void parse_data();
    void parse();
    void domain_data();
    void domain();
    void hostileReplies_data();
    void hostileReplies();
    void randomMutations();
};

void TestCodec::queryOnTheWire()
{
    QUdpSocket device;
    QVERIFY(device.bind(QHostAddress(QHostAddress::LocalHost), 0));
    DNSQuery query;
    QByteArray ids;
    for (int i = 0; i < 2; ++i) {
        QVERIFY(query.sendPTRQuery(QHostAddress::LocalHost, device.localPort(), kService));
        QTRY_VERIFY(device.hasPendingDatagrams());
        QByteArray datagram(static_cast<int>(device.pendingDatagramSize()), '\0');
        device.readDatagram(datagram.data(), datagram.size());
        QCOMPARE(datagram.size(), 37);
        QCOMPARE(datagram.mid(2).toHex(), QByteArray("0100" "0001" "0000" "0000" "0000"
                                                     "085f6d6f7276616e65045f746370056c6f63616c00" "000c0001"));
        const uint16_t id = static_cast<uint16_t>((uint8_t(datagram[0]) << 8) | uint8_t(datagram[1]));
        QCOMPARE(id, query.lastQueryId());
        ids += datagram.left(2);
    }
    QVERIFY(ids.left(2) != ids.mid(2));
}

void TestCodec::replyToAnEarlierQueryIsRefused()
{
    QUdpSocket device;
    QVERIFY(device.bind(QHostAddress(QHostAddress::LocalHost), 0));
    DNSQuery query;
    QSignalSpy responses(&query, &DNSQuery::DNSResponseReceived);
    QVERIFY(query.sendPTRQuery(QHostAddress::LocalHost, device.localPort(), kService));
    const uint16_t first = query.lastQueryId();
    QVERIFY(query.sendPTRQuery(QHostAddress::LocalHost, device.localPort(), kService));
    QTRY_VERIFY(device.hasPendingDatagrams());
    QHostAddress from;
    quint16 fromPort = 0;
    char scratch[64];
    device.readDatagram(scratch, sizeof scratch, &from, &fromPort);

    for (uint16_t id : { first, query.lastQueryId() })
        device.writeDatagram(deviceReply(id).bytes(), from, fromPort);
    QTRY_COMPARE(responses.count(), 2);
    QCOMPARE(responses.at(0).at(0).toBool(), false);
    QCOMPARE(responses.at(1).at(0).toBool(), true);
    QCOMPARE(query.getServiceName(), QStringLiteral("Velacore"));
}

void TestCodec::eachQueryGetsItsOwnReply()
{
    // Two queries alive at once must not share a local port, whichever
    // of them was granted the one asked for.
    QUdpSocket device;
    QVERIFY(device.bind(QHostAddress(QHostAddress::LocalHost), 0));
    DNSQuery first;
    DNSQuery second;
    QSignalSpy firstResponses(&first, &DNSQuery::DNSResponseReceived);
    QSignalSpy secondResponses(&second, &DNSQuery::DNSResponseReceived);
    for (DNSQuery* query : { &first, &second }) {
        QVERIFY(query->sendPTRQuery(QHostAddress::LocalHost, device.localPort(), kService));
        QTRY_VERIFY(device.hasPendingDatagrams());
        QHostAddress from;
        quint16 fromPort = 0;
        char scratch[64];
        device.readDatagram(scratch, sizeof scratch, &from, &fromPort);
        device.writeDatagram(deviceReply(query->lastQueryId()).bytes(), from, fromPort);
    }
    QTRY_COMPARE(secondResponses.count(), 1);
    QTRY_COMPARE(firstResponses.count(), 1);
    QVERIFY(firstResponses.at(0).at(0).toBool() && secondResponses.at(0).at(0).toBool());
    QVERIFY(first.localPort() != second.localPort());
}

void TestCodec::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("serviceName");
    QTest::addColumn<QString>("types");
    QTest::addColumn<QByteArray>("text");

    // Written out once by hand, so that the builder below is checked too.
    QTest::newRow("compressed target") << QByteArray::fromHex(
        "1234" "8400" "0001" "0001" "0000" "0000"
        "085f6d6f7276616e65045f746370056c6f63616c00" "000c" "0001"
        "c00c" "000c" "0001" "00001194" "000b" "0856656c61636f7265c00c")
                                       << true << "Velacore" << "" << QByteArray();

    MdnsMessage m = deviceReply(0x1234);
    QTest::newRow("NSEC TXT SRV A walked") << m.bytes() << true << "Velacore" << "16,33,1"
                                           << QByteArray("\x0dname=Relay 4K\x0cunique id=7F");

    m = deviceReply(0x1234);
    m.answer.data = MdnsMessage::encodeName(QStringLiteral("Velacore._morvane._tcp.local"));
    m.additional.clear();
    QTest::newRow("uncompressed target, no TXT") << m.bytes() << true << "Velacore._morvane._tcp.local" << ""
                                                 << QByteArray();

    m = deviceReply(0x1234);
    m.additional = { MdnsMessage::txt({}), MdnsMessage::txt({ "k=v" }) };
    QTest::newRow("empty TXT does not count") << m.bytes() << true << "Velacore" << "16,16"
                                              << QByteArray("\x03k=v");

    // What a responder writes that is not one of the maker's: records it
    // cannot use are walked over, names compressed in any way it likes.
    m = deviceReply(0x1234);
    m.additional[3].data.chop(2);
    QTest::newRow("A record of two bytes skipped") << m.bytes() << true << "Velacore" << "16,33"
                                                   << QByteArray("\x0dname=Relay 4K\x0cunique id=7F");
    m = deviceReply(0x1234);
    m.additional[2].data = m.additional[2].data.left(4);
    QTest::newRow("SRV record of four bytes skipped") << m.bytes() << true << "Velacore" << "16,1"
                                                      << QByteArray("\x0dname=Relay 4K\x0cunique id=7F");
    m = deviceReply(0x1234);
    m.additional.move(3, 0);
    m.additional[0].nameBytes = QByteArray("\x08velacore\xc0", 10) + char(m.localLabelOffset());
    m.additional[2].nameBytes = MdnsMessage::encodeName(QStringLiteral("Velacore._morvane._tcp.local"));
    QTest::newRow("A before TXT, label-and-pointer and full names") << m.bytes() << true << "Velacore" << "1,16,33"
                                                << QByteArray("\x0dname=Relay 4K\x0cunique id=7F");
    m = MdnsMessage::everyRecordAnswered(0x1234, QStringLiteral("Velacore"), { "name=Relay 4K" }, 49200,
                                         QStringLiteral("velacore"), 0x7F000001);
    QTest::newRow("every record in the answer section") << m.bytes() << true << "Velacore" << "16,33,1"
                                                        << QByteArray("\x0dname=Relay 4K");
    m = deviceReply(0x1234);
    m.answers = { m.answer };
    m.answer = MdnsMessage::txt({ "k=v" });
    m.answerCount = 2;
    QTest::newRow("answer section, PTR not first") << m.bytes() << true << "Velacore" << "16,16,33,1"
                                                   << QByteArray("\x03k=v");
    m = deviceReply(0x1234);
    m.authorityCount = 1;
    m.additional.prepend(MdnsMessage::txt({ "authority=1" }));
    m.additionalCountOverride = 4;
    QTest::newRow("authority record walked over") << m.bytes() << true << "Velacore" << "16,33,1"
                                                  << QByteArray("\x0dname=Relay 4K\x0cunique id=7F");

    m = deviceReply(0x1234);
    m.answerCount = 2; // the first additional record read as an answer: too few left
    QTest::newRow("answer count 2") << m.bytes() << false << "" << "" << QByteArray();
    m.answerCount = 0;
    QTest::newRow("answer count 0") << m.bytes() << false << "" << "" << QByteArray();
    m = deviceReply(0x1234);
    m.questionCount = 0;
    QTest::newRow("question count 0") << m.bytes() << false << "" << "" << QByteArray();
    QTest::newRow("other ID") << deviceReply(0x1235).bytes() << false << "" << "" << QByteArray();
}

void TestCodec::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    DNSReplyToQuery reply;
    QCOMPARE(parseExact(reply, bytes, 0x1234), ok);
    if (!ok)
        return;
    QTEST(reply.getServiceName(), "serviceName");
    QTEST(recordTypes(reply), "types");
    QTEST(replyText(reply), "text");
}

void TestCodec::domain_data()
{
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("serviceType");
    QTest::addColumn<QString>("domain");
    QTest::newRow("service") << kService << "_morvane._tcp." << "local.";
    QTest::newRow("no dot") << "localhost" << "." << "localhost.";
}

void TestCodec::domain()
{
    QFETCH(QString, question);
    MdnsMessage m = deviceReply(7);
    m.questionName = MdnsMessage::encodeName(question);
    DNSReplyToQuery reply;
    QVERIFY(parseExact(reply, m.bytes(), 7));
    QString serviceType, domain;
    reply.getDomain(serviceType, domain);
    QTEST(serviceType, "serviceType");
    QTEST(domain, "domain");
}

void TestCodec::hostileReplies_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = deviceReply(9).bytes();
    const int answerAt = 12 + 21 + 4;
    QTest::newRow("header cut short") << good.left(11);
    QTest::newRow("question cut inside a label") << good.left(20);
    QTest::newRow("question without its type") << good.left(answerAt - 2);

    QByteArray b = good;
    b[12] = char(0x3F); // first label claims 63 bytes
    QTest::newRow("question label past the end") << b.left(60);
    b = good.left(12);
    for (int i = 0; i < 20; ++i)
        b += QByteArray("\x01x", 2);
    QTest::newRow("question never ends") << b;

    QTest::newRow("answer header cut short") << good.left(answerAt + 6);
    MdnsMessage m = deviceReply(9);
    m.answer.dataLengthOverride = 400;
    QTest::newRow("answer data past the end") << m.bytes();
    m = deviceReply(9);
    m.answer.data = QByteArray("\x30Velacore\xc0\x0c", 11);
    QTest::newRow("target label past its data") << m.bytes();
    m = deviceReply(9);
    m.answer.name = 0xC0FF;
    QTest::newRow("answer name points forward") << m.bytes();
    m = deviceReply(9);
    m.answer.name = 0x0000;
    QTest::newRow("answer name not a pointer") << m.bytes();

    m = deviceReply(9);
    m.additionalCountOverride = 5;
    QTest::newRow("more records counted than sent") << m.bytes();
    m.additionalCountOverride = 0xFFFF;
    QTest::newRow("record count 65535") << m.bytes();
    m = deviceReply(9);
    m.additional[1].dataLengthOverride = 0xFFFF;
    QTest::newRow("TXT data past the end") << m.bytes();
    m = deviceReply(9);
    m.answers = { MdnsMessage::txt({ "k=v" }) };
    m.answerCount = 2;
    m.answer.type = MdnsMessage::kTypeTXT;
    QTest::newRow("several answers, none a PTR") << m.bytes();
    m = deviceReply(9);
    m.additional[1].nameBytes = QByteArray("\x04host\xc0\xff", 7);
    QTest::newRow("record name: label, then a forward pointer") << m.bytes();
    m = deviceReply(9);
    m.additional[1].nameBytes = QByteArray("\x04host\x45", 6);
    QTest::newRow("record name: a label of a kind not in use") << m.bytes();
    m = deviceReply(9);
    m.additional[1].name = 0xC1FF;
    QTest::newRow("record name points forward") << m.bytes();
    QTest::newRow("record header cut short") << good.left(good.size() - 14);
}

void TestCodec::hostileReplies()
{
    QFETCH(QByteArray, bytes);
    DNSReplyToQuery reply;
    // The text of an earlier good reply must not outlive a refused one.
    QVERIFY(parseExact(reply, deviceReply(9).bytes(), 9));
    QVERIFY(reply.getAdditionalText());
    QVERIFY(!parseExact(reply, bytes, 9));
    QVERIFY(!reply.getAdditionalText());
    QCOMPARE(reply.getAdditionalTextLength(), 0);
}

void TestCodec::randomMutations()
{
    // Seeded: a failure can be replayed. Each reply keeps its ID, so most
    // reach the body of the parse; whatever parses is unpacked too.
    QRandomGenerator random(20261208);
    const QByteArray good = deviceReply(0x4242).bytes();
    int parsed = 0;
    for (int i = 0; i < 10000; ++i) {
        QByteArray b = good;
        const int edits = 1 + random.bounded(4);
        for (int e = 0; e < edits; ++e) {
            const int at = 2 + random.bounded(b.size() - 2);
            switch (random.bounded(4)) {
            case 0: b[at] = char(random.bounded(256)); break;
            case 1: b[at] = char(uint8_t(b[at]) ^ (1u << random.bounded(8))); break;
            case 2: b.truncate(at); break;
            default: b.insert(at, QByteArray(1 + random.bounded(8), char(random.bounded(256)))); break;
            }
            if (b.size() < 3)
                break;
        }
        DNSReplyToQuery reply;
        if (parseExact(reply, b, 0x4242)) {
            ++parsed;
            BonjourInfo info;
            info.unpackTextRecord(reply.getAdditionalText(), reply.getAdditionalTextLength());
        }
    }
    QVERIFY2(parsed > 100, qPrintable(QString::number(parsed)));
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
