#include "bonjourdiscovery.h"
#include "bonjourinfo.h"
#include "bonjourquery.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// "key=value;flag": the text record as one line; a key without "=" stands
// for a null value.
QString describe(const BonjourInfo& info)
{
    QStringList items;
    for (auto it = info.textRecords().cbegin(); it != info.textRecords().cend(); ++it)
        items << (it.value().isNull() ? it.key() : it.key() + QLatin1Char('=') + it.value());
    return items.join(QLatin1Char(';'));
}

const BonjourDevice kRelay{ "Velacore", "_morvane._tcp.", "local." };

} // namespace

class TestBrowse : public QObject
{
    Q_OBJECT

private slots:
    void unpack_data();
    void unpack();
    void laterRecordKeepsOldKeys();
    void discoverySignals();
    void pollAsksEveryDevice();
};

void TestBrowse::unpack_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("record");
    QTest::newRow("two keys") << QByteArray("\x0aname=Model\x0cunique id=7F") << "name=Model;unique id=7F";
    QTest::newRow("value cut at its =") << QByteArray("\x05" "a=b=c") << "a=b";
    QTest::newRow("empty value is not null") << QByteArray("\x02k=") << "k=";
    QTest::newRow("no = gives a null value") << QByteArray("\x04" "flag") << "flag";
    QTest::newRow("length 0x80 ends the walk") << QByteArray("\x03" "a=1" "\x80xyz\x03" "b=2") << "a=1";
    QTest::newRow("zero length ends the walk") << QByteArray("\x03" "a=1" "\x00\x03" "b=2", 9) << "a=1";
    QTest::newRow("entry past the end dropped") << QByteArray("\x03" "a=1" "\x09" "b=2") << "a=1";
    QTest::newRow("UTF-8 value") << QByteArray("\x0a" "name=\xc3\xa9t\xc3\xa9") << QString::fromUtf8("name=\xc3\xa9t\xc3\xa9");
    QTest::newRow("nothing") << QByteArray() << "";
}

void TestBrowse::unpack()
{
    QFETCH(QByteArray, data);
    BonjourInfo info;
    // From an exactly sized copy, so a read past the end is caught.
    std::vector<char> exact(data.begin(), data.end());
    info.unpackTextRecord(exact.data(), static_cast<int>(exact.size()));
    QTEST(describe(info), "record");
}

void TestBrowse::laterRecordKeepsOldKeys()
{
    BonjourInfo info;
    info.unpackTextRecord("\x06name=A\x04id=1", 12);
    info.unpackTextRecord("\x06name=B", 7);
    QCOMPARE(describe(info), QStringLiteral("id=1;name=B"));
    QCOMPARE(info.modelName(), QStringLiteral("B"));
    QVERIFY(info.familyName().isNull());
}

void TestBrowse::discoverySignals()
{
    BonjourDiscovery discovery;
    QSignalSpy arrived(&discovery, &BonjourDiscovery::deviceArrived);
    QSignalSpy updated(&discovery, &BonjourDiscovery::deviceUpdated);
    QSignalSpy removed(&discovery, &BonjourDiscovery::deviceRemoved);
    const auto signalCounts = [&] {
        return QList<int>{ arrived.count(), updated.count(), removed.count() };
    };
    // The resolve for the device in flight; delivering it reports through it.
    const auto resolve = [&](const QByteArray& txt) {
        const QList<BonjourQuery*> queries = discovery.findChildren<BonjourQuery*>();
        QVERIFY(!queries.isEmpty());
        emit queries.last()->queried(kRelay, static_cast<uint16_t>(txt.size()), txt.constData());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    emit discovery.browser()->found(kRelay);
    emit discovery.browser()->found(kRelay);
    QCOMPARE(discovery.entries().size(), 1);
    QCOMPARE(discovery.findChildren<BonjourQuery*>().size(), 1);
    QCOMPARE(signalCounts(), (QList<int>{ 0, 0, 0 }));

    resolve("\x06name=A");
    QCOMPARE(signalCounts(), (QList<int>{ 1, 0, 0 }));
    QCOMPARE(arrived.at(0).at(0).value<BonjourInfo>().modelName(), QStringLiteral("A"));
    QVERIFY(discovery.findChildren<BonjourQuery*>().isEmpty()); // the report freed its resolve

    discovery.queryDevice(kRelay);
    resolve("\x06name=A");
    QCOMPARE(signalCounts(), (QList<int>{ 1, 0, 0 }));
    discovery.queryDevice(kRelay);
    resolve("\x06name=B");
    QCOMPARE(signalCounts(), (QList<int>{ 1, 1, 0 }));
    discovery.queryDevice(kRelay);
    resolve(QByteArray()); // a vanished key is no update
    QCOMPARE(signalCounts(), (QList<int>{ 1, 1, 0 }));

    discovery.queryDevice(kRelay);
    emit discovery.findChildren<BonjourQuery*>().last()->error(kRelay, -65537);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(discovery.findChildren<BonjourQuery*>().isEmpty());
    QCOMPARE(discovery.entries().size(), 1);

    emit discovery.browser()->lost(BonjourDevice{ "Unknown", "_morvane._tcp.", "local." });
    QCOMPARE(signalCounts(), (QList<int>{ 1, 1, 0 }));
    emit discovery.browser()->lost(kRelay);
    QCOMPARE(signalCounts(), (QList<int>{ 1, 1, 1 }));
    QVERIFY(discovery.entries().isEmpty());
}

void TestBrowse::pollAsksEveryDevice()
{
    BonjourDiscovery discovery;
    discovery.start();
    discovery.start();
    QVERIFY(discovery.pollTimer().isActive());
    QCOMPARE(discovery.pollTimer().interval(), 2000);
    emit discovery.browser()->found(kRelay);
    emit discovery.browser()->found(BonjourDevice{ "Corvane", "_morvane._tcp.", "local." });
    QCOMPARE(discovery.findChildren<BonjourQuery*>().size(), 2);
    discovery.bonjourQueryPoll();
    QCOMPARE(discovery.findChildren<BonjourQuery*>().size(), 4);
}

QTEST_GUILESS_MAIN(TestBrowse)
#include "tst_browse.moc"
