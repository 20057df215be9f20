// The card family and card model where no driver library can be found, and
// the card model over a card made in the test: failed initialisation and
// change notices sent from a foreign thread.

#include <QtTest>

#include <thread>

#include "fakecard.h"
#include "staticdata.h"
#include "visiblezeltra.h"
#include "zeltraapilibrary.h"
#include "zeltradiscovery.h"
#include "zeltradiscoverycallback.h"
#include "zeltrafamily.h"

namespace {

QStringList s_messages;

void recordMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    s_messages << message;
}

} // namespace

class TestCardWithoutLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void familyFindsNothing();
    void failedInitialise_data();
    void failedInitialise();
    void noticesFromForeignThread();
    void disconnectReleasesEverything();
    void callbackOutlivesTheDevice();
    void discoveryOverMadeUpCards();
};

void TestCardWithoutLibrary::initTestCase()
{
    initialiseStaticData();
    qRegisterMetaType<VisibleDevice*>();
    // This test is built without a path to the simulator; a library found
    // through the environment would make the first case meaningless.
    if (ZeltraApiLibrary::createDiscovery())
        QSKIP("a driver library is reachable through the environment");
}

void TestCardWithoutLibrary::familyFindsNothing()
{
    // No crash, no message, no device and no version.
    s_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordMessage);
    ZeltraFamily family;
    QSignalSpy arrived(&family, &ProductFamilyBase::deviceArrived);
    family.init();
    QTest::qWait(50);
    family.init();
    const QString version = VisibleZeltra::getAPIVersion();
    const QString info = family.getBuildInfo();
    qInstallMessageHandler(previous);

    QCOMPARE(arrived.count(), 0);
    QVERIFY(family.discovery().devices().isEmpty());
    QCOMPARE(version, QString());
    QVERIFY2(info.contains(QStringLiteral("&nbsp;&nbsp;API: <br>")), qPrintable(info));
    QVERIFY(!ZeltraApiLibrary::createIterator());
    QVERIFY(!ZeltraApiLibrary::createAPIInformation());
    QVERIFY2(s_messages.isEmpty(), qPrintable(s_messages.join(QLatin1Char('\n'))));
}

void TestCardWithoutLibrary::failedInitialise_data()
{
    QTest::addColumn<QByteArray>("refused");
    QTest::addColumn<bool>("failSubscribe");

    const auto bytes = [](const IID& iid) { return QByteArray(reinterpret_cast<const char*>(iid.bytes), 16); };
    QTest::newRow("no attributes") << bytes(IID_IZeltraAttributes) << false;
    QTest::newRow("no notification") << bytes(IID_IZeltraNotification) << false;
    QTest::newRow("no configuration") << bytes(IID_IZeltraConfiguration) << false;
    QTest::newRow("no status") << bytes(IID_IZeltraStatus) << false;
    QTest::newRow("subscription refused") << QByteArray() << true;
}

void TestCardWithoutLibrary::failedInitialise()
{
    QFETCH(QByteArray, refused);
    QFETCH(bool, failSubscribe);

    FakeCard card;
    card.ints = { { zeltraCode("rvid"), 61 }, { zeltraCode("vios"), 3 }, { zeltraCode("dgid"), 7 },
        { zeltraCode("cptm"), zeltraCode("pdis") }, { zeltraCode("busy"), 1 } };
    if (!refused.isEmpty()) {
        IID iid{};
        std::memcpy(iid.bytes, refused.constData(), 16);
        card.refuse(iid);
    }
    card.failSubscribe = failSubscribe;
    card.AddRef(); // the reference discovery hands to the device

    VisibleZeltra device(&card);
    QSignalSpy connection(&device, &VisibleZeltra::connectionChangedSignal);
    device.onConnected();

    // Nothing is kept and nothing is announced.
    QCOMPARE(card.references(), 0u);
    QCOMPARE(card.subscriptions(), size_t(0));
    QCOMPARE(connection.count(), 0);
    QVERIFY(!device.isConnected());
    QVERIFY(!device.isInitialised());

    // Every getter answers its empty value; writes change nothing.
    QCOMPARE(device.modelName(), QString());
    QCOMPARE(device.deviceName(), QString());
    QCOMPARE(device.modelId(), int64_t(0));
    QVERIFY(!device.supportsCapture());
    QVERIFY(!device.getCapturePassthroughIsDisabled());
    QVERIFY(!device.isTestMode());
    int result = 0;
    QCOMPARE(device.getStatusInt(zeltraCode("busy"), result), int64_t(0));
    QCOMPARE(result, int(0x80000008));
    QByteArray edid("stale");
    QVERIFY(!device.getReceivedEDID(edid));
    QVERIFY(edid.isEmpty());
    uint32_t mode = 0;
    uint32_t flags = 0;
    QVERIFY(!device.getVideoInputDisplayMode(mode, flags));
    QVERIFY(!device.getVideoOutputDisplayMode(mode, flags));
    QVERIFY(device.getVideoOutputDisplayModesInDisplayOrder().empty());
    QVERIFY(device.getSubDevices().isEmpty());
    QVERIFY(device.hasDedicatedDownconvertedOutput());
    device.setCapturePassthroughDisabled(false);
    QCOMPARE(card.ints[zeltraCode("cptm")], int64_t(zeltraCode("pdis")));
}

void TestCardWithoutLibrary::noticesFromForeignThread()
{
    FakeCard card;
    card.ints = { { zeltraCode("rvid"), 61 } };
    card.AddRef();
    VisibleZeltra device(&card);
    device.onConnected();
    QVERIFY(device.isInitialised());
    IZeltraNotificationCallback* status = card.subscriber(zeltraCode("stat"));
    IZeltraNotificationCallback* preferences = card.subscriber(zeltraCode("pref"));
    QVERIFY(status && status == preferences);

    QSignalSpy statusSpy(&device, &VisibleZeltra::statusChanged);
    QSignalSpy propertySpy(&device, &VisibleZeltra::propertyChanged);
    QThread* receivedOn = nullptr;
    QObject receiver;
    connect(&device, &VisibleZeltra::statusChanged, &receiver, [&] { receivedOn = QThread::currentThread(); });

    std::thread([status] {
        status->Notify(zeltraCode("stat"), 0, 0);
        status->Notify(zeltraCode("xxxx"), 1, 2);
    }).join();
    // The spies count in the sending thread; the receiver runs queued.
    QTRY_COMPARE(receivedOn, QThread::currentThread());
    QCOMPARE(statusSpy.count(), 1);
    QTest::qWait(20);
    QCOMPARE(statusSpy.count(), 1);
    QCOMPARE(propertySpy.count(), 0);

    std::thread([status] { status->Notify(zeltraCode("pref"), 0, 0); }).join();
    QTRY_COMPARE(propertySpy.count(), 1);
    QCOMPARE(statusSpy.count(), 1);
}

void TestCardWithoutLibrary::disconnectReleasesEverything()
{
    FakeCard card;
    card.ints = { { zeltraCode("rvid"), 61 }, { zeltraCode("dila"), 0 } };
    card.AddRef();
    {
        VisibleZeltra device(&card);
        QSignalSpy connection(&device, &VisibleZeltra::connectionChangedSignal);
        device.onConnected();
        QVERIFY(card.references() > 1);
        QCOMPARE(card.subscriptions(), size_t(2));
        QCOMPARE(device.modelId(), int64_t(61));
        QCOMPARE(device.deviceName(), QStringLiteral("Fake Card"));
        device.onDisconnected();
        QCOMPARE(connection.count(), 2);
        QCOMPARE(connection.at(1).at(0).toBool(), false);
        QCOMPARE(card.references(), 0u);
        QCOMPARE(card.subscriptions(), size_t(0));
        QCOMPARE(device.modelId(), int64_t(0));
    }
    // A device destroyed while connected gives everything back too.
    card.AddRef();
    {
        VisibleZeltra device(&card);
        device.onConnected();
        QVERIFY(device.isInitialised());
    }
    QCOMPARE(card.references(), 0u);
    QCOMPARE(card.subscriptions(), size_t(0));
}

void TestCardWithoutLibrary::callbackOutlivesTheDevice()
{
    // The card refuses to let the callback go: a notice after the device
    // is gone must find no device behind it.
    FakeCard card;
    card.ints = { { zeltraCode("rvid"), 61 } };
    card.failUnsubscribe = true;
    card.AddRef();
    auto* device = new VisibleZeltra(&card);
    device->onConnected();
    IZeltraNotificationCallback* callback = card.subscriber(zeltraCode("stat"));
    QVERIFY(callback);
    delete device;
    QCOMPARE(callback->Notify(zeltraCode("stat"), 0, 0), kZeltraOk);
    QCOMPARE(callback->Notify(zeltraCode("pref"), 0, 0), kZeltraOk);
    card.failUnsubscribe = false;
    QCOMPARE(card.Unsubscribe(zeltraCode("stat"), callback), kZeltraOk);
    QCOMPARE(card.Unsubscribe(zeltraCode("pref"), callback), kZeltraOk);
}

void TestCardWithoutLibrary::discoveryOverMadeUpCards()
{
    const auto channel = [](FakeCard& card, int index) {
        card.ints = { { zeltraCode("rvid"), 71 }, { zeltraCode("subi"), index }, { zeltraCode("nsbd"), 2 },
            { zeltraCode("dgid"), 5 } };
        card.AddRef(); // the callback's reference
        return &card;
    };
    ZeltraDiscovery discovery;
    QList<VisibleDevice*> found;
    connect(&discovery, &ZeltraDiscovery::found, this, [&](VisibleDevice* d) { found << d; });

    // A card that refuses to initialise is not shown: it could never be
    // matched by its removal.
    FakeCard refusing;
    refusing.ints = { { zeltraCode("rvid"), 61 } };
    refusing.refuse(IID_IZeltraStatus);
    refusing.AddRef();
    discovery.onZeltraDeviceArrived(&refusing);
    QVERIFY(found.isEmpty());
    QCOMPARE(refusing.references(), 0u);

    // A channel removed while its group waits leaves the group: plugged
    // again, it is one channel, and the group completes with its sibling.
    FakeCard first;
    FakeCard again;
    FakeCard second;
    discovery.onZeltraDeviceArrived(channel(first, 0));
    discovery.onZeltraDeviceRemoved(&first);
    QCOMPARE(first.references(), 0u);
    discovery.onZeltraDeviceArrived(channel(again, 0));
    QVERIFY(found.isEmpty());
    discovery.onZeltraDeviceArrived(channel(second, 1));
    QCOMPARE(found.size(), 2);
    QCOMPARE(static_cast<VisibleZeltra*>(found.at(0))->zeltraDevice(), static_cast<IZeltra*>(&again));
    QCOMPARE(static_cast<VisibleZeltra*>(found.at(1))->zeltraDevice(), static_cast<IZeltra*>(&second));

    // Arrivals still queued when discovery goes give their references back.
    FakeCard queued;
    queued.ints = { { zeltraCode("rvid"), 61 } };
    {
        ZeltraDiscovery leaving;
        ZeltraDiscoveryCallback callback(leaving);
        std::thread([&] { callback.ZeltraDeviceArrived(&queued); }).join();
        QCOMPARE(queued.references(), 1u);
    }
    QCoreApplication::processEvents();
    QCOMPARE(queued.references(), 0u);

    // The announced channels belong to whoever received them.
    for (VisibleDevice* device : qAsConst(found))
        delete static_cast<VisibleZeltra*>(device);
}

QTEST_MAIN(TestCardWithoutLibrary)
#include "tst_cardwithoutlibrary.moc"
