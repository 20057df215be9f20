#include "addbyipaddresscontroller.h"
#include "addbyipaddresswidget.h"
#include "bonjourinfoquery.h"
#include "busybutton.h"
#include "ipportedit.h"
#include "cardpushbutton.h"
#include "mainwindowdialoglineedit.h"
#include "mdnsdevice.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(MdnsDevice::Misbehaviour)

namespace {

constexpr int kResendMs = 200;

// The direct query takes its port and resend interval when it is made.
void pointQueriesAt(const MdnsDevice& device, int resendMs = kResendMs)
{
    BonjourInfoQuery::overrideTargetForTesting(device.port(), resendMs);
}

QList<bool> outcomes(const QSignalSpy& spy)
{
    QList<bool> out;
    for (const auto& call : spy)
        out << call.at(0).toBool();
    return out;
}

} // namespace

// The direct query and the add-by-address page against the stand-in device
// over real loopback UDP.
class TestDirect : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void queryAgainstDevice_data();
    void queryAgainstDevice();
    void silentDeviceIsAskedAgain();
    void settingsAreNotTakenFromTheEnvironment();
    void addressField_data();
    void addressField();
    void portField_data();
    void portField();
    void pageFindsDevice();
    void leadingZerosAreDecimal_data();
    void leadingZerosAreDecimal();
    void unsendableAddressFailsAtOnce_data();
    void unsendableAddressFailsAtOnce();
    void cancelledWaitThenAddLeavesOneQuery();
};

void TestDirect::cleanup()
{
    BonjourInfoQuery::overrideTargetForTesting(0, 0);
}

void TestDirect::queryAgainstDevice_data()
{
    QTest::addColumn<MdnsDevice::Misbehaviour>("misbehaviour");
    QTest::addColumn<int>("answerAfter");
    QTest::addColumn<QList<bool>>("expected");
    QTest::addColumn<QByteArray>("json"); // more of the device's settings

    QTest::newRow("answers") << MdnsDevice::None << 1 << QList<bool>{ true } << QByteArray("{}");
    QTest::newRow("answers the third query") << MdnsDevice::None << 3 << QList<bool>{ true } << QByteArray("{}");
    QTest::newRow("wrong id") << MdnsDevice::WrongId << 1 << QList<bool>{ false } << QByteArray("{}");
    QTest::newRow("twice") << MdnsDevice::AnswerTwice << 1 << QList<bool>{ true, true } << QByteArray("{}");
    QTest::newRow("hostile counts") << MdnsDevice::HostileCounts << 1 << QList<bool>{ false } << QByteArray("{}");
    QTest::newRow("hostile lengths") << MdnsDevice::HostileLengths << 1 << QList<bool>{ false } << QByteArray("{}");
    // Answers the first query after two more have gone out.
    QTest::newRow("late") << MdnsDevice::None << 1 << QList<bool>{ true }
                          << QByteArray("{\"misbehaviour\": \"late:1000\"}");
    QTest::newRow("every record in the answer section") << MdnsDevice::None << 1 << QList<bool>{ true }
                                                        << QByteArray("{\"layout\": \"answers\"}");
}

void TestDirect::queryAgainstDevice()
{
    QFETCH(MdnsDevice::Misbehaviour, misbehaviour);
    QFETCH(int, answerAfter);
    QFETCH(QList<bool>, expected);
    QFETCH(QByteArray, json);

    MdnsDevice device;
    device.misbehaviour = misbehaviour;
    device.answerAfter = answerAfter;
    device.srvPort = 49200;
    device.hostAddress = 0x7F000001;
    QString error;
    QVERIFY2(device.loadJson(json, &error), qPrintable(error));
    QVERIFY(device.listen());
    pointQueriesAt(device);
    BonjourInfoQuery query;
    QSignalSpy received(&query, &BonjourInfoQuery::bonjourInfoQueryReceived);
    QVERIFY(query.sendInfoQuery(QHostAddress::LocalHost));

    QTRY_COMPARE_WITH_TIMEOUT(received.count(), expected.size(), 10000);
    QTest::qWait(50); // nothing more arrives
    QCOMPARE(outcomes(received), expected);
    if (device.misbehaviour == MdnsDevice::Late)
        QVERIFY(device.queriesSeen() >= 2);
    else
        QCOMPARE(device.queriesSeen(), answerAfter);
    if (expected.first()) {
        QCOMPARE(query.result().modelName(), QStringLiteral("Relay 4K"));
        QCOMPARE(query.result().uniqueId(), QStringLiteral("7F"));
        QCOMPARE(QString::fromStdString(query.result().serviceName()), QStringLiteral("Velacore Relay"));
        QCOMPARE(query.result().hostAddress(), QStringLiteral("127.0.0.1"));
    }
}

void TestDirect::silentDeviceIsAskedAgain()
{
    // A device that never answers, or answers from a port it was not asked
    // on, gets the question at once and again every interval.
    for (auto misbehaviour : { MdnsDevice::Silent, MdnsDevice::OtherPort }) {
        MdnsDevice device;
        device.misbehaviour = misbehaviour;
        QVERIFY(device.listen());
        // A longer interval here, so that "at once" and "again" stay apart
        // on a loaded machine.
        const int interval = 500;
        pointQueriesAt(device, interval);
        BonjourInfoQuery query;
        QSignalSpy received(&query, &BonjourInfoQuery::bonjourInfoQueryReceived);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(query.sendInfoQuery(QHostAddress::LocalHost));
        QTRY_COMPARE_WITH_TIMEOUT(device.queriesSeen(), 1, interval - 100);
        QTRY_COMPARE_WITH_TIMEOUT(device.queriesSeen(), 3, 10 * interval);
        // Qt's coarse timers may fire up to 5% early.
        QVERIFY2(clock.elapsed() >= 2 * interval * 9 / 10, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(received.count(), 0);
        // Every resend carries a new ID.
        QVERIFY(device.queries().at(0).left(2) != device.queries().at(1).left(2));
        QVERIFY(device.queries().at(1).left(2) != device.queries().at(2).left(2));
    }
}

void TestDirect::settingsAreNotTakenFromTheEnvironment()
{
    // A variable a user's session happens to carry must not redirect the
    // program's queries.
    qputenv("ONDAVIA_MDNS_PORT", "15353");
    qputenv("ONDAVIA_MDNS_RESEND_MS", "50");
    BonjourInfoQuery query;
    qunsetenv("ONDAVIA_MDNS_PORT");
    qunsetenv("ONDAVIA_MDNS_RESEND_MS");
    QCOMPARE(query.port(), 5353);
    QCOMPARE(query.resendInterval(), 2000);
}

void TestDirect::addressField_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("addEnabled");

    QTest::newRow("default") << "127.0.0.1" << "" << "127.0.0.1" << true;
    QTest::newRow("cleared octet") << "127.0.0." << "" << "127.0.0." << false;
    QTest::newRow("empty") << "" << "" << "" << false;
    QTest::newRow("256 refused while typing") << "" << "256.1.1.1" << "25.1.1.1" << true;
    QTest::newRow("typed address") << "" << "10.20.30.40" << "10.20.30.40" << true;
    QTest::newRow("letters refused") << "" << "1a.2.3.4" << "1.2.3.4" << true;
    QTest::newRow("five octets refused") << "" << "1.2.3.4.5" << "1.2.3.45" << true;
}

void TestDirect::addressField()
{
    QFETCH(QString, start);
    QFETCH(QString, typed);

    AddByIpAddressWidget widget;
    QCOMPARE(widget.addressEdit()->text(), QStringLiteral("127.0.0.1"));
    QVERIFY(widget.addButton()->isEnabled());
    widget.addressEdit()->setText(start);
    QTest::keyClicks(widget.addressEdit(), typed);
    QTEST(widget.addressEdit()->text(), "text");
    QTEST(widget.addButton()->isEnabled(), "addEnabled");
}

void TestDirect::portField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("acceptable");
    QTest::newRow("lowest") << "1024" << "1024" << true;
    QTest::newRow("highest") << "49151" << "49151" << true;
    QTest::newRow("sign refused") << "+2000" << "2000" << true;
    QTest::newRow("leading zero refused") << "02000" << "2000" << true;
    QTest::newRow("below the range") << "1023" << "1023" << false;
}

void TestDirect::portField()
{
    QFETCH(QString, typed);
    IpPortEdit edit;
    QTest::keyClicks(&edit, typed);
    QTEST(edit.text(), "text");
    QTEST(edit.hasAcceptableInput(), "acceptable");
}

void TestDirect::pageFindsDevice()
{
    MdnsDevice device;
    device.misbehaviour = MdnsDevice::AnswerTwice; // the page must add it once
    QVERIFY(device.listen());
    pointQueriesAt(device);
    AddByIpAddressWidget widget;
    AddByIpAddressController controller(nullptr);
    controller.setWidget(&widget);
    QSignalSpy added(&controller, &AddByIpAddressController::deviceAddedByIP);
    QSignalSpy closed(&widget, &AddByIpAddressWidget::closePressed);

    // Return in the field acts as Add.
    QTest::keyClick(widget.addressEdit(), Qt::Key_Return);
    QCOMPARE(widget.state(), AddByIpAddressWidget::Searching);
    QVERIFY(!widget.addButton()->isEnabled());
    QTRY_COMPARE(added.count(), 1);
    QTest::qWait(50);
    QCOMPARE(added.count(), 1);
    QCOMPARE(added.at(0).at(0).value<BonjourInfo>().hostAddress(), QStringLiteral("127.0.0.1"));
    QCOMPARE(closed.count(), 1);
    QVERIFY(!controller.currentQuery());
}

void TestDirect::leadingZerosAreDecimal_data()
{
    // Read as octal, the first would reach 127.0.0.8 and the second no host.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("deviceAddress");
    QTest::newRow("010") << "127.0.0.010" << "127.0.0.10";
    QTest::newRow("08") << "127.0.0.08" << "127.0.0.8";
}

void TestDirect::leadingZerosAreDecimal()
{
    QFETCH(QString, typed);
    QFETCH(QString, deviceAddress);
    MdnsDevice device;
    if (!device.listen(0, QHostAddress(deviceAddress)))
        QSKIP("this machine has no loopback address but 127.0.0.1");
    pointQueriesAt(device);
    AddByIpAddressWidget widget;
    AddByIpAddressController controller(nullptr);
    controller.setWidget(&widget);
    QSignalSpy added(&controller, &AddByIpAddressController::deviceAddedByIP);
    widget.addressEdit()->setText(typed);
    QVERIFY(widget.addButton()->isEnabled());
    widget.onAddPressed();
    QTRY_COMPARE(added.count(), 1);
    QCOMPARE(added.at(0).at(0).value<BonjourInfo>().hostAddress(), deviceAddress);
}

void TestDirect::unsendableAddressFailsAtOnce_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("broadcast") << "255.255.255.255";
    QTest::newRow("any") << "0.0.0.0";
    QTest::newRow("multicast") << "224.0.0.251";
}

void TestDirect::unsendableAddressFailsAtOnce()
{
    // No single device answers from these, so the wait would never end.
    QFETCH(QString, typed);
    AddByIpAddressWidget widget;
    AddByIpAddressController controller(nullptr);
    controller.setWidget(&widget);
    widget.addressEdit()->setText(typed);
    widget.onAddPressed();
    QCOMPARE(widget.state(), AddByIpAddressWidget::Failed);
    QCOMPARE(widget.failedLabel()->text(), QStringLiteral("No Ondavia found"));
    QVERIFY(!widget.busyButton()->isBusy());
    QVERIFY(!controller.currentQuery());

    BonjourInfoQuery query;
    QVERIFY(!query.sendInfoQuery(QHostAddress()));
    QVERIFY(!query.resendTimer().isActive());
}

void TestDirect::cancelledWaitThenAddLeavesOneQuery()
{
    MdnsDevice device;
    device.misbehaviour = MdnsDevice::Silent;
    QVERIFY(device.listen());
    pointQueriesAt(device);
    AddByIpAddressWidget widget;
    AddByIpAddressController controller(nullptr);
    controller.setWidget(&widget);

    widget.onAddPressed();
    QTRY_COMPARE(device.queriesSeen(), 1);
    QTest::qWait(kResendMs + 50);
    QCOMPARE(widget.state(), AddByIpAddressWidget::Searching); // still searching
    widget.busyButton()->click();
    QCOMPARE(widget.state(), AddByIpAddressWidget::Input);
    QVERIFY(widget.addButton()->isEnabled());

    widget.onAddPressed();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(controller.findChildren<BonjourInfoQuery*>().size(), 1);
    // Only the live query keeps asking.
    const int before = device.queriesSeen();
    QTRY_VERIFY(device.queriesSeen() >= before + 2);
    const QList<quint16> ports = device.queryPorts().mid(before);
    QCOMPARE(ports.count(ports.first()), ports.size());
    QCOMPARE(ports.first(), controller.currentQuery()->dnsQuery().localPort());

    // The page's Cancel: no query and no animation left behind.
    widget.closeButton()->click();
    QVERIFY(!controller.currentQuery());
    QVERIFY(!widget.busyButton()->isBusy());
}

QTEST_MAIN(TestDirect)
#include "tst_direct.moc"
