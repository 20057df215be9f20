// The card family against the card simulator library: discovery order and
// filtering, hot-plug through the control command, change notices across
// threads, and the card model's typed operations on simulated cards.

#include <QtTest>

#include <atomic>

#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>

#include "devicelist.h"
#include "displaymodestrings.h"
#include "simctl.h"
#include "staticdata.h"
#include "visiblezeltra.h"
#include "zeltraapilibrary.h"
#include "zeltrafamily.h"
#include "testhome.h"

namespace {

// Cards of cards.json that the family announces: the quad card's four
// channels, then every other card but the excluded model and the one that
// starts unplugged.
constexpr int kAnnouncedCards = 11;

uint32_t code(const QByteArray& text)
{
    if (text.size() != 4)
        return 0;
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) | (uint32_t(uint8_t(text[2])) << 8)
        | uint32_t(uint8_t(text[3]));
}

QString modelOf(VisibleDevice* device)
{
    return device ? device->modelName() : QString();
}

} // namespace

class TestCardFamily : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void announcesSupportedCardsInOrder();
    void ignoresUnknownRemoval();
    void hotPlugThroughControlCommand();
    void quickPlugAndSecondInitialise();
    void noticesReachGuiThread();
    void deviceNameAndLabel();
    void preferencesStoreAndRevert();
    void capturePassthroughCodes();
    void analogInputGainExclusion();
    void outputFormatFollowsInput_data();
    void outputFormatFollowsInput();
    void inputWithoutSignal();
    void subDevicesOfGroupedCard();
    void apiVersionAndBuildInfo();
    void modelPictures();

private:
    VisibleZeltra* findDevice(const QString& model) const;

    QTemporaryDir m_home;
    ZeltraFamily* m_family = nullptr;
    DeviceList* m_list = nullptr;
    QList<VisibleDevice*> m_arrivals;
};

VisibleZeltra* TestCardFamily::findDevice(const QString& model) const
{
    for (VisibleZeltra* device : m_family->discovery().devices()) {
        if (device->modelName() == model)
            return device;
    }
    return nullptr;
}

void TestCardFamily::initTestCase()
{
    // Preferences and the control socket go to folders of this run only.
    QVERIFY(useTestHome(m_home, ONDAVIA_TEST_DATA_DIR "/cards.json"));
    initialiseStaticData();
    qRegisterMetaType<VisibleDevice*>();

    m_family = new ZeltraFamily;
    m_list = new DeviceList;
    m_list->setSortOrder(DeviceList::ArrivalOrder);
    connect(m_family, &ProductFamilyBase::deviceArrived, m_list, &DeviceList::onDeviceAdded);
    connect(m_family, &ProductFamilyBase::deviceRemoved, m_list, &DeviceList::onDeviceRemoved);
    connect(m_family, &ProductFamilyBase::deviceArrived, this, [this](VisibleDevice* device) { m_arrivals << device; });
    m_family->init();
    QTRY_COMPARE_WITH_TIMEOUT(m_arrivals.size(), kAnnouncedCards, 10000);
}

void TestCardFamily::cleanupTestCase()
{
    delete m_list;
    m_family->destroy();
    delete m_family;
}

void TestCardFamily::announcesSupportedCardsInOrder()
{
    // The quad card's channels arrive as 2, 0, 3, 1 and are announced once,
    // together, in channel order; the two-channel card without a group id is
    // announced at once although its second channel never comes; model 39
    // is never announced.
    QStringList models;
    for (VisibleDevice* device : qAsConst(m_arrivals))
        models << modelOf(device);
    const QStringList expected{ "Test Quad", "Test Quad", "Test Quad", "Test Quad", "Test Pair", "Test Studio",
        "Test Gain 57", "Test Gain 77", "Test Half Duplex", "Test Pass Through", "Test No Signal" };
    QCOMPARE(models, expected);
    for (int i = 0; i < 4; ++i) {
        auto* channel = dynamic_cast<VisibleZeltra*>(m_arrivals.at(i));
        QVERIFY(channel);
        QCOMPARE(channel->getSubDeviceIndex(), int64_t(i));
    }
    QCOMPARE(QSet<VisibleDevice*>(m_arrivals.cbegin(), m_arrivals.cend()).size(), kAnnouncedCards);

    // The shared list holds them in arrival order, with the family.
    QCOMPARE(m_list->numberOfDevice(), kAnnouncedCards);
    QCOMPARE(m_list->indexOfDevice(m_arrivals.first()), 0);
    QCOMPARE(m_list->getFamilyOfDevice(m_arrivals.last()), static_cast<ProductFamily*>(m_family));
}

void TestCardFamily::ignoresUnknownRemoval()
{
    // The excluded card is present in the library but was never listed:
    // its removal changes nothing.
    ZeltraPtr<IZeltraIterator> iterator = ZeltraApiLibrary::createIterator();
    QVERIFY(iterator);
    ZeltraPtr<IZeltra> excluded;
    for (;;) {
        ZeltraPtr<IZeltra> next;
        if (iterator->Next(next.out()) != 0)
            break;
        VisibleZeltra probe(ZeltraPtr<IZeltra>(next).detach());
        probe.onConnected();
        if (probe.modelId() == 39)
            excluded = next;
    }
    QVERIFY(excluded);

    ZeltraDiscovery& discovery = const_cast<ZeltraDiscovery&>(m_family->discovery());
    QSignalSpy lost(&discovery, &ZeltraDiscovery::lost);
    QSignalSpy removed(m_family, &ProductFamilyBase::deviceRemoved);
    const int before = discovery.devices().size();
    discovery.onZeltraDeviceRemoved(excluded.get());
    discovery.onZeltraDeviceRemoved(nullptr);
    QCOMPARE(lost.count(), 0);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(discovery.devices().size(), before);
}

void TestCardFamily::hotPlugThroughControlCommand()
{
    VisibleZeltra* const studioDevice = findDevice(QStringLiteral("Test Studio"));
    QPointer<VisibleZeltra> studio = studioDevice;
    QVERIFY(studio);
    QSignalSpy removed(m_family, &ProductFamilyBase::deviceRemoved);
    QSignalSpy arrived(m_family, &ProductFamilyBase::deviceArrived);
    const int listed = m_list->numberOfDevice();

    QVERIFY(SimCtl::run({ QStringLiteral("unplug"), QStringLiteral("0x7401") }));
    QTRY_COMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).value<VisibleDevice*>(), static_cast<VisibleDevice*>(studioDevice));
    QCOMPARE(m_list->numberOfDevice(), listed - 1);
    QVERIFY(!findDevice(QStringLiteral("Test Studio")));
    // The family deletes the lost device once control returns to the loop.
    QTRY_VERIFY(studio.isNull());

    QVERIFY(SimCtl::run({ QStringLiteral("plug"), QStringLiteral("0x7a01") }));
    QTRY_COMPARE(arrived.count(), 1);
    QCOMPARE(modelOf(arrived.at(0).at(0).value<VisibleDevice*>()), QStringLiteral("Test Hot Plug"));
    QCOMPARE(m_list->numberOfDevice(), listed);

    // Plugging the unplugged card back brings a fresh, working device.
    QVERIFY(SimCtl::run({ QStringLiteral("plug"), QStringLiteral("0x7401") }));
    QTRY_COMPARE(arrived.count(), 2);
    VisibleZeltra* again = findDevice(QStringLiteral("Test Studio"));
    QVERIFY(again);
    QVERIFY(again->isInitialised());
    QCOMPARE(m_list->numberOfDevice(), listed + 1);
}

void TestCardFamily::quickPlugAndSecondInitialise()
{
    QSignalSpy removed(m_family, &ProductFamilyBase::deviceRemoved);
    QSignalSpy arrived(m_family, &ProductFamilyBase::deviceArrived);
    QVERIFY(SimCtl::run({ QStringLiteral("unplug"), QStringLiteral("0x7501") }));
    QTRY_COMPARE(removed.count(), 1);
    const int listed = m_list->numberOfDevice();

    // Plugged and unplugged before the GUI thread sees either: the arrival
    // finds a card that is gone, and nothing may stay behind.
    QVERIFY(SimCtl::run({ QStringLiteral("plug"), QStringLiteral("0x7501") }));
    QVERIFY(SimCtl::run({ QStringLiteral("unplug"), QStringLiteral("0x7501") }));
    QTest::qWait(300);
    QCOMPARE(arrived.count(), 0);
    QCOMPARE(m_list->numberOfDevice(), listed);
    for (const VisibleZeltra* device : m_family->discovery().devices())
        QVERIFY(!device->modelName().isEmpty());

    QVERIFY(SimCtl::run({ QStringLiteral("plug"), QStringLiteral("0x7501") }));
    QTRY_COMPARE(arrived.count(), 1);
    QCOMPARE(modelOf(arrived.at(0).at(0).value<VisibleDevice*>()), QStringLiteral("Test Gain 57"));

    // Initialising again while listening announces nobody twice.
    const int shown = m_family->discovery().devices().size();
    const_cast<ZeltraDiscovery&>(m_family->discovery()).initialise();
    QTest::qWait(300);
    QCOMPARE(arrived.count(), 1);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(m_family->discovery().devices().size(), shown);
}

void TestCardFamily::noticesReachGuiThread()
{
    VisibleZeltra* device = findDevice(QStringLiteral("Test Pair"));
    QVERIFY(device);
    // Written on the library's thread.
    std::atomic<QThread*> emittedOn{ nullptr };
    QThread* receivedOn = nullptr;
    int properties = 0;
    int statuses = 0;
    const QMetaObject::Connection direct = connect(device, &VisibleZeltra::propertyChanged, device,
        [&] { emittedOn = QThread::currentThread(); }, Qt::DirectConnection);
    QObject receiver;
    connect(device, &VisibleZeltra::propertyChanged, &receiver, [&] {
        receivedOn = QThread::currentThread();
        ++properties;
    });
    // Counted on the GUI thread: a signal spy would count on the sender's.
    connect(device, &VisibleZeltra::statusChanged, &receiver, [&] { ++statuses; });

    device->setInformationLabel(QStringLiteral("Night Shift"));
    QTRY_COMPARE(properties, 1);
    // Sent on the library's thread, delivered on the GUI thread.
    QThread* const sender = emittedOn.load();
    QVERIFY(sender && sender != QThread::currentThread());
    QCOMPARE(receivedOn, QThread::currentThread());
    QCOMPARE(statuses, 0);

    // A status change reaches only statusChanged, once.
    QVERIFY(SimCtl::run({ QStringLiteral("signal"), QStringLiteral("0x7301"), QStringLiteral("off") }));
    QTRY_COMPARE(statuses, 1);
    QTest::qWait(100);
    QCOMPARE(statuses, 1);
    QCOMPARE(properties, 1);
    QVERIFY(!device->getStatusFlag(zeltraCode("visl")));
    device->readFromPreferences();
    QObject::disconnect(direct);
}

void TestCardFamily::deviceNameAndLabel()
{
    VisibleZeltra* studio = findDevice(QStringLiteral("Test Studio"));
    VisibleZeltra* pair = findDevice(QStringLiteral("Test Pair"));
    QVERIFY(studio && pair);
    // A label stands for the device; without one the library's name does.
    QCOMPARE(studio->deviceName(), QStringLiteral("Edit Bay 2"));
    QCOMPARE(pair->deviceName(), QStringLiteral("Test Pair"));
    pair->setInformationLabel(QStringLiteral("  Ingest  "));
    QCOMPARE(pair->deviceName(), QStringLiteral("  Ingest  "));
    pair->setInformationLabel(QString());
    QCOMPARE(pair->deviceName(), QStringLiteral("Test Pair"));
}

void TestCardFamily::preferencesStoreAndRevert()
{
    VisibleZeltra* device = findDevice(QStringLiteral("Test Gain 77"));
    QVERIFY(device);
    QSignalSpy infoChanged(m_family, &ProductFamilyBase::deviceInfoChanged);

    // Cancel: an unstored change is discarded.
    device->setInformationLabel(QStringLiteral("Scratch"));
    QCOMPARE(device->getInformationLabel(), QStringLiteral("Scratch"));
    device->readFromPreferences();
    QCOMPARE(device->getInformationLabel(), QString());
    QVERIFY(device->isInitialised());
    QCOMPARE(infoChanged.count(), 0);

    // Save: a stored change survives a fresh configuration, and the list is
    // told that the device's name may have changed.
    device->setInformationLabel(QStringLiteral("Grading"));
    device->writeToPreferences();
    QCOMPARE(infoChanged.count(), 1);
    QCOMPARE(infoChanged.at(0).at(0).value<VisibleDevice*>(), static_cast<VisibleDevice*>(device));
    device->readFromPreferences();
    QCOMPARE(device->deviceName(), QStringLiteral("Grading"));
}

void TestCardFamily::capturePassthroughCodes()
{
    VisibleZeltra* device = findDevice(QStringLiteral("Test Pair"));
    QVERIFY(device);
    QVERIFY(device->supportsDisablingCapturePassthrough());
    device->setCapturePassthroughDisabled(true);
    QCOMPARE(device->getConfigurationInt(zeltraCode("cptm")), int64_t(zeltraCode("pdis")));
    QVERIFY(device->getCapturePassthroughIsDisabled());
    device->setCapturePassthroughDisabled(false);
    QCOMPARE(device->getConfigurationInt(zeltraCode("cptm")), int64_t(zeltraCode("pcln")));
    QVERIFY(!device->getCapturePassthroughIsDisabled());
    // Only 'pdis' counts as disabled.
    device->setConfigurationInt(zeltraCode("cptm"), zeltraCode("pdir"));
    QVERIFY(!device->getCapturePassthroughIsDisabled());
    device->readFromPreferences();
}

void TestCardFamily::analogInputGainExclusion()
{
    VisibleZeltra* excluded = findDevice(QStringLiteral("Test Gain 57"));
    VisibleZeltra* wired = findDevice(QStringLiteral("Test Gain 77"));
    QVERIFY(excluded && wired);
    for (uint32_t connection : { 8u, 16u, 32u }) {
        QVERIFY2(!excluded->supportsAnalogVideoInputGain(connection), qPrintable(QString::number(connection)));
        QVERIFY2(wired->supportsAnalogVideoInputGain(connection), qPrintable(QString::number(connection)));
    }
    // Digital connections have no gain, whatever the card.
    QVERIFY(!wired->supportsAnalogVideoInputGain(4));
    QCOMPARE(excluded->getAnalogVideoInputGainLevel(4), 0.0);
    QCOMPARE(wired->getAnalogVideoInputGainLevel(4), 0.0);
    QCOMPARE(wired->getAnalogVideoInputGainLevel(16), 0.5);
}

void TestCardFamily::outputFormatFollowsInput_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QString>("sdi");

    // Both cards capture 1080i50 while their output status reads 1080p25.
    QTest::newRow("half duplex, capturing") << "Test Half Duplex" << QByteArray("Hi50") << "1080i50";
    QTest::newRow("full duplex, playing through") << "Test Pass Through" << QByteArray("Hi50") << "1080i50";
    QTest::newRow("idle card") << "Test Pair" << QByteArray("Hp25") << "1080p25";
}

void TestCardFamily::outputFormatFollowsInput()
{
    QFETCH(QString, model);
    QFETCH(QByteArray, mode);
    QFETCH(QString, sdi);

    VisibleZeltra* device = findDevice(model);
    QVERIFY(device);
    uint32_t outputMode = 0;
    uint32_t flags = 0xFF;
    QVERIFY(device->getVideoOutputDisplayMode(outputMode, flags));
    QCOMPARE(outputMode, code(mode));
    QCOMPARE(flags, 0u);
    QCOMPARE(getVideoOutputDisplayMode(device, 1), sdi);
    QCOMPARE(getVideoOutputDisplayMode(device, 0), sdi);
}

void TestCardFamily::inputWithoutSignal()
{
    VisibleZeltra* device = findDevice(QStringLiteral("Test No Signal"));
    QVERIFY(device);
    uint32_t mode = 0;
    uint32_t flags = 0xFF;
    QVERIFY(device->getVideoInputDisplayMode(mode, flags));
    QCOMPARE(mode, kDisplayModeUnknown);
    QCOMPARE(flags, 0u);
    QCOMPARE(getVideoInputDisplayMode(device), QStringLiteral("-"));
    // With a signal the current input format shows.
    QCOMPARE(getVideoInputDisplayMode(findDevice(QStringLiteral("Test Half Duplex"))), QStringLiteral("1080i50"));
}

void TestCardFamily::subDevicesOfGroupedCard()
{
    auto* channel = dynamic_cast<VisibleZeltra*>(m_arrivals.at(2));
    QVERIFY(channel);
    QCOMPARE(channel->subDeviceName(), QStringLiteral("Card 3"));
    const QVector<VisibleZeltra*> siblings = channel->getSubDevices();
    QCOMPARE(siblings.size(), 4);
    QVERIFY(channel->hasSubDevices());
    QVERIFY(channel->getSubDeviceByIndex(3));
    QCOMPARE(channel->getSubDeviceByIndex(3)->getSubDeviceIndex(), int64_t(3));
    QCOMPARE(channel->getSubDeviceByPersistentId(0x7201)->getSubDeviceIndex(), int64_t(1));
    QVERIFY(!channel->getSubDeviceByIndex(4));
    // Built once: a second request gives the same objects.
    QCOMPARE(channel->getSubDevices(), siblings);

    // A card without a group has no siblings.
    VisibleZeltra* pair = findDevice(QStringLiteral("Test Pair"));
    QVERIFY(pair->getSubDevices().isEmpty());
}

void TestCardFamily::apiVersionAndBuildInfo()
{
    QCOMPARE(VisibleZeltra::getAPIVersion(), QStringLiteral("9.1.0-test"));
    const QString info = m_family->getBuildInfo();
    QVERIFY2(info.startsWith(QStringLiteral("<b>Software versions</b><br>&nbsp;&nbsp;Utility: ")), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("&nbsp;&nbsp;API: 9.1.0-test<br><br><b>Firmware versions</b><br>")),
        qPrintable(info));
    // A model with a card present shows, in green, what each card runs.
    QVERIFY2(info.contains(QStringLiteral(
                 "<span style=\"color: #1d8a5b\">&nbsp;&nbsp;Ondavia Meridian 4K: 0x2d (0x2e)</span><br>")),
        qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("&nbsp;&nbsp;Ondavia Quartet: 0x27 (0x0, 0x0, 0x0, 0x0)")), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("<br>&nbsp;&nbsp;Ondavia Bridge: 0x24<br>")), qPrintable(info));
    // Entries are sorted by name.
    QVERIFY(info.indexOf(QStringLiteral("Ondavia Bridge:")) < info.indexOf(QStringLiteral("Ondavia Meridian 4K:")));
    QVERIFY(info.indexOf(QStringLiteral("Meridian Primary")) < info.indexOf(QStringLiteral("Ondavia Bridge:")));
}

void TestCardFamily::modelPictures()
{
    // Pictures come from the card image bundle by model; a model without an
    // entry has none.
    VisibleZeltra* studio = findDevice(QStringLiteral("Test Studio"));
    QVERIFY(studio);
    QCOMPARE(studio->modelImage().size(), QSize(400, 360));
    QVERIFY(!studio->modelThumb().isNull());
    QVERIFY(!studio->modelListThumb().isNull());
    VisibleZeltra* pair = findDevice(QStringLiteral("Test Pair"));
    QVERIFY(pair->modelImage().isNull());
    QVERIFY(pair->modelListThumb().isNull());
}

QTEST_MAIN(TestCardFamily)
#include "tst_cardfamily.moc"
