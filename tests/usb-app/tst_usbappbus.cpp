// The updater end to end: the controller, the notifier chain, the view and
// its dialogs over emulated units on a umockdev USB bus, reached through
// libusb and the inotify hot-plug. The dialogs are answered by the test.
#include "emulatedbus.h"
#include "appimage.h"
#include "devicemanager.h"
#include "dialoganswerer.h"
#include "firmwareupdatecontroller.h"
#include "firmwareupdatedialog.h"
#include "firmwareupdateprogressdialog.h"
#include "guiviewcontroller.h"
#include "ondaviaxmegadevice.h"
#include "ondaviaxmeganotifier.h"
#include "signalrelay.h"
#include "unitrig.h"
#include "usbdevfstestbed.h"
#include "updateview.h"
#include "usbfdpoller.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

namespace {

const QString kOffer = "Software Update Required! | Your Ondavia StreamPort USB needs a software update. This update "
                       "takes only a few minutes, and makes sure you have the latest features and compatibility. "
                       "Would you like to update now?";
const QString kDone = "Please Power Cycle | The software on your Ondavia StreamPort USB was updated successfully. "
                      "Unplug the unit's power and plug it in again to restart it.";
const QString kFailed = "The device's software could not be upgraded. | An error has occurred that has prevented "
                        "the software on your Ondavia StreamPort USB from being upgraded. Try upgrading the "
                        "software again.";

constexpr uint32_t kAppVersion = 5;
constexpr uint8_t kFpgaVersion = 6;
constexpr size_t kAppSize = 4096;
constexpr size_t kFpgaSize = 20000;

// One emulated unit on the bus for the length of a test.
struct BusUnit
{
    enum Firmware { Outdated, Current, NoApplication };

    BusUnit(xmegasim::UsbDevfsTestBed& bed, uint8_t serial, bool outdated, uint32_t rebootArriveMs = 60)
        : BusUnit(bed, serial, outdated ? Outdated : Current, rebootArriveMs)
    {
    }
    BusUnit(xmegasim::UsbDevfsTestBed& bed, uint8_t serial, Firmware firmware, uint32_t rebootArriveMs = 60)
        : bed(bed)
    {
        const bool outdated = firmware != Current;
        xmegasim::UnitConfig config;
        config.uuid[15] = serial;
        config.rebootArriveMs = rebootArriveMs;
        // Without a valid application the unit stays in its bootloader.
        config.startInBootloader = firmware == NoApplication;
        unit = std::make_unique<xmegasim::XmegaUnit>(config);
        if (firmware != NoApplication)
            unit->loadApplication(xmegasim::AppImage::build(outdated ? 3 : kAppVersion, kAppSize, 1));
        unit->setEepromContents(0, 0, TestImages::fpga(outdated ? 4 : kFpgaVersion, kFpgaSize, 9));
        id = bed.addUnit(*unit, 12);
    }
    ~BusUnit() { bed.removeUnit(id); }

    bool updated() const
    {
        return unit->applicationVersion() == kAppVersion
               && unit->eepromContents(0, 0, 2) == std::vector<uint8_t>{0, kFpgaVersion};
    }

    xmegasim::UsbDevfsTestBed& bed;
    std::unique_ptr<xmegasim::XmegaUnit> unit;
    int id = 0;
};

// The program's pieces as main puts them together, with the package folder
// of the test in front of the one beside the program.
struct Session
{
    explicit Session(const QString& packages)
    {
        controller = std::make_unique<FirmwareUpdateController>();
        controller->addPaths({packages.toStdString()});
        controller->setShutdownHandler([this] { ++shutdowns; });
        auto owned = std::make_unique<GUIViewController>(controller.get());
        view = owned.get();
        installSignalHandlers();
        SignalRelay::instance()->registerController(controller.get());
        initialised = controller->init(std::move(owned));
    }
    ~Session()
    {
        SignalRelay::instance()->registerController(nullptr);
        controller.reset();
        notifier.stop();
        DeviceManager::instance().removeAll();
    }

    OndaviaXmegaNotifier notifier; // first: registers itself for init
    std::unique_ptr<FirmwareUpdateController> controller;
    GUIViewController* view = nullptr;
    bool initialised = false;
    std::atomic<int> shutdowns{0};
};

// Answers the message dialog: records each showing as "title | message"
// with the unit's place taken out into places ("" when the unit was named
// without one), and accepts or declines by the policy; watches the progress
// window.
class Answers : public QObject
{
public:
    using Policy = std::function<bool(int index, const QString& shown)>; // true: OK

    Answers(Session& session, Policy policy = {})
        : m_policy(std::move(policy))
        , m_answerer([this](QDialog* d) { return answer(d); })
    {
        connect(&m_watch, &QTimer::timeout, this, [this, &session] {
            FirmwareUpdateProgressDialog* p = session.view->progressDialog();
            if (p->isVisible()) {
                progressSeen = true;
                maxProgress = qMax(maxProgress, p->value());
            }
        });
        m_watch.start(2);
    }

    QStringList shown;
    QStringList places;
    bool progressSeen = false;
    int maxProgress = -1;

private:
    bool answer(QDialog* d)
    {
        auto* dialog = qobject_cast<FirmwareUpdateDialog*>(d);
        if (!dialog)
            return true;
        QString text = dialog->title() + " | " + dialog->message();
        const QRegularExpression place(QStringLiteral("Ondavia StreamPort USB \\(([0-9a-f]+)\\)"));
        const QRegularExpressionMatch match = place.match(text);
        places << match.captured(1);
        text.replace(place, QStringLiteral("Ondavia StreamPort USB"));
        shown << text;
        const bool ok = m_policy ? m_policy(shown.size() - 1, text) : true;
        d->findChild<QPushButton*>(ok ? "okButton" : "cancelButton")->click();
        return true;
    }

    Policy m_policy;
    DialogAnswerer m_answerer;
    QTimer m_watch;
};

std::string uniqueId(uint8_t serial)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x", serial);
    return std::string("44332211-6655-8877-99aa-bbccddeef0") + text;
}

// Blocks the GUI thread (inside a dialog) until the condition holds; the
// hot-plug thread goes on meanwhile.
bool waitBlocking(const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace

class TestUsbAppBus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void acceptUpdatesThroughReboots();
    void declineUntilPluggedAgain();
    void twoUnitsOneAfterTheOther();
    void upToDateUnitDropped();
    void failureThenNextUnit();
    void unitInBootloaderRecovered();
    void removalOfUnknownUnitNotifiesNobody();
    void quitDuringStartUpAndArrivalDuringTeardown();

private:
    std::unique_ptr<xmegasim::UsbDevfsTestBed> m_bed;
    QTemporaryDir m_packages;
};

void TestUsbAppBus::initTestCase()
{
    ONDAVIA_NEED_EMULATED_BUS();
    m_bed = std::make_unique<xmegasim::UsbDevfsTestBed>();
    TestImages::Part app;
    app.resourceId = 0;
    app.version = kAppVersion;
    app.data = xmegasim::AppImage::build(kAppVersion, kAppSize, 2);
    TestImages::Part fpga;
    fpga.resourceId = 1;
    fpga.version = kFpgaVersion;
    fpga.data = TestImages::fpga(kFpgaVersion, kFpgaSize, 3);
    fpga.compress = true;
    QVERIFY(TestImages::writePackage(m_packages.filePath("streamport.bin").toStdString(), {app, fpga}));
}

// Accept, progress, outcome. The unit leaves the bus twice (into its
// bootloader and back) and keeps its Device; signals while offered or
// updating end the program once the outcome is answered.
void TestUsbAppBus::acceptUpdatesThroughReboots()
{
    BusUnit unit(*m_bed, 0x01, true, 300);
    Session session(m_packages.path());
    QVERIFY(session.initialised);
    std::shared_ptr<Device> offered;
    Answers answers(session, [&](int index, const QString&) {
        if (index == 0) {
            offered = DeviceManager::instance().getDevice(uniqueId(0x01));
            std::raise(SIGINT);
        }
        return true;
    });
    QTRY_COMPARE_WITH_TIMEOUT(answers.shown.size(), 1, 5000);
    QCOMPARE(answers.shown[0], kOffer);
    QVERIFY(offered);
    QTRY_VERIFY_WITH_TIMEOUT(answers.progressSeen, 5000);
    std::raise(SIGTERM);
    QTRY_COMPARE_WITH_TIMEOUT(answers.shown.size(), 2, 20000);
    QCOMPARE(answers.shown[1], kDone);
    QCOMPARE(answers.places, (QStringList{"", ""}));
    QVERIFY(answers.maxProgress > 0);
    QVERIFY(!session.view->progressDialog()->isVisible());

    QVERIFY(unit.updated());
    QCOMPARE(unit.unit->rebootCount(), 2u);
    QCOMPARE(DeviceManager::instance().count(), size_t(1));
    QCOMPARE(DeviceManager::instance().getDevice(offered->uniqueID()), offered);
    QCOMPARE(offered->device()->usbDevice() != nullptr, true);

    QTRY_COMPARE(session.shutdowns.load(), 1);
    QVERIFY(!session.controller->isBusy());
    std::raise(SIGTERM);
    QTRY_COMPARE(session.shutdowns.load(), 2);
    QCOMPARE(answers.shown.size(), 2);
}

void TestUsbAppBus::declineUntilPluggedAgain()
{
    BusUnit unit(*m_bed, 0x02, true);
    Session session(m_packages.path());
    Answers answers(session, [](int, const QString&) { return false; });
    QTRY_COMPARE_WITH_TIMEOUT(answers.shown.size(), 1, 5000);
    QTest::qWait(400);
    QCOMPARE(answers.shown.size(), 1);
    QVERIFY(!session.controller->isBusy());

    unit.unit->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(DeviceManager::instance().count(), size_t(0), 5000);
    unit.unit->plugIn();
    QTRY_COMPARE_WITH_TIMEOUT(answers.shown.size(), 2, 5000);
    QCOMPARE(answers.shown[1], kOffer);
    QVERIFY(!answers.progressSeen);
    QCOMPARE(unit.unit->applicationVersion(), 3u);
}

// The second unit is offered only after the first one's outcome is
// confirmed; re-plugged while it waits, it is still listed once.
void TestUsbAppBus::twoUnitsOneAfterTheOther()
{
    BusUnit first(*m_bed, 0x03, true);
    BusUnit second(*m_bed, 0x04, true);
    Session session(m_packages.path());
    bool replugged = false;
    Answers answers(session, [&](int index, const QString&) {
        if (index == 0) {
            // The unit that waits is unplugged and plugged in again.
            waitBlocking([&] { return session.controller->waitingCount() == 1; }, 5000);
            const std::shared_ptr<Device> a = DeviceManager::instance().getDevice(uniqueId(0x03));
            BusUnit& waiting = a && a->state() == Device::StateUpdateAvailable ? second : first;
            waiting.unit->unplug();
            waitBlocking([&] { return session.controller->waitingCount() == 0; }, 5000);
            waiting.unit->plugIn();
            replugged = waitBlocking([&] { return session.controller->waitingCount() == 1; }, 5000);
        }
        return true;
    });
    QTRY_COMPARE_WITH_TIMEOUT(answers.shown.size(), 4, 30000);
    QCOMPARE(answers.shown, (QStringList{kOffer, kDone, kOffer, kDone}));
    // Two of one model: each is named with its place.
    QVERIFY(!answers.places[0].isEmpty() && answers.places[0] == answers.places[1]);
    QVERIFY(!answers.places[2].isEmpty() && answers.places[2] == answers.places[3]);
    QVERIFY(answers.places[0] != answers.places[2]);
    QVERIFY(replugged);
    QVERIFY(first.updated());
    QVERIFY(second.updated());
    QTest::qWait(400);
    QCOMPARE(answers.shown.size(), 4);
    QVERIFY(!session.controller->isBusy());
}

void TestUsbAppBus::upToDateUnitDropped()
{
    BusUnit unit(*m_bed, 0x05, false);
    Session session(m_packages.path());
    Answers answers(session);
    QTRY_COMPARE_WITH_TIMEOUT(DeviceManager::instance().count(), size_t(1), 5000);
    QTest::qWait(300);
    QVERIFY(answers.shown.isEmpty());
    QCOMPARE(session.controller->waitingCount(), size_t(0));
    QVERIFY(!session.controller->isBusy());
    QCOMPARE(unit.unit->rebootCount(), 0u);
}

// A read-back mismatch fails the update; the failure is shown and the unit
// that arrived meanwhile is offered next.
void TestUsbAppBus::failureThenNextUnit()
{
    BusUnit broken(*m_bed, 0x06, true);
    broken.unit->setFlashCorruptOffset(100);
    Session session(m_packages.path());
    std::unique_ptr<BusUnit> next;
    Answers answers(session, [&](int index, const QString&) {
        if (index == 0) {
            next = std::make_unique<BusUnit>(*m_bed, 0x07, true);
            waitBlocking([&] { return session.controller->waitingCount() == 1; }, 5000);
        }
        return true;
    });
    QTRY_COMPARE_WITH_TIMEOUT(answers.shown.size(), 4, 30000);
    QCOMPARE(answers.shown, (QStringList{kOffer, kFailed, kOffer, kDone}));
    // Alone at its offer; by its failure the next unit is on the bus too.
    QCOMPARE(answers.places, (QStringList{"", "bbccddeef006", "bbccddeef007", "bbccddeef007"}));
    QVERIFY(!broken.updated());
    QVERIFY(next->updated());
    QTest::qWait(200);
    QCOMPARE(answers.shown.size(), 4);
    QVERIFY(!session.controller->isBusy());
    next.reset();
}

// A unit stuck in its bootloader (no valid application) is reported like
// any other, offered, and brought back to a working application.
void TestUsbAppBus::unitInBootloaderRecovered()
{
    BusUnit unit(*m_bed, 0x09, BusUnit::NoApplication);
    QVERIFY(unit.unit->inBootloader());
    Session session(m_packages.path());
    Answers answers(session);
    QTRY_COMPARE_WITH_TIMEOUT(answers.shown.size(), 2, 20000);
    QCOMPARE(answers.shown, (QStringList{kOffer, kDone}));
    QVERIFY(!unit.unit->inBootloader());
    QVERIFY(unit.updated());
}

// A unit that never became a Device (no package for it) comes and goes
// without a word; one that did is reported gone once.
void TestUsbAppBus::removalOfUnknownUnitNotifiesNobody()
{
    FileStore empty;
    FileStore full;
    full.addPath(m_packages.path().toStdString());
    for (FileStore* store : {&empty, &full}) {
        BusUnit unit(*m_bed, 0x08, true);
        USBFDPoller poller;
        poller.start();
        std::mutex mutex;
        std::vector<DeviceNotificationType> notes;
        {
            OndaviaXmegaNotifier notifier;
            notifier.init(
                [&](const std::shared_ptr<Device>&, DeviceNotificationType type) {
                    std::lock_guard<std::mutex> lock(mutex);
                    notes.push_back(type);
                },
                nullptr);
            notifier.setFirmwareStore(store);
            notifier.listen();
            QTRY_COMPARE(notifier.usbNotifier().deviceCount(), size_t(1));
            unit.unit->unplug();
            QTRY_COMPARE(notifier.usbNotifier().deviceCount(), size_t(0));
            poller.stop();
        }
        std::lock_guard<std::mutex> lock(mutex);
        if (store == &empty)
            QVERIFY(notes.empty());
        else
            QCOMPARE(notes, (std::vector<DeviceNotificationType>{DeviceAdded, DeviceRemoved}));
        QCOMPARE(DeviceManager::instance().count(), size_t(0));
    }
}

// A quit that came before the controller was registered ends the program
// as soon as it runs; a unit that arrives while the controller goes must not
// reach the view being destroyed.
void TestUsbAppBus::quitDuringStartUpAndArrivalDuringTeardown()
{
    struct Calls
    {
        std::atomic<bool> viewGone{false};
        std::atomic<int> shown{0};
        std::atomic<int> late{0};
    } calls;
    std::unique_ptr<BusUnit> arriving;
    xmegasim::UsbDevfsTestBed& bed = *m_bed;
    // Plugs the unit in from its destructor and gives the hot-plug thread
    // time to report it.
    class ArrivalView : public UpdateView
    {
    public:
        ArrivalView(Calls& calls, std::function<void()> arrive) : m_calls(calls), m_arrive(std::move(arrive)) {}
        ~ArrivalView() override
        {
            m_calls.viewGone = true;
            m_arrive();
        }
        void update(std::shared_ptr<Device>) override { ++(m_calls.viewGone ? m_calls.late : m_calls.shown); }

    private:
        Calls& m_calls;
        std::function<void()> m_arrive;
    };

    OndaviaXmegaNotifier notifier;
    auto controller = std::make_unique<FirmwareUpdateController>();
    // Whatever the outcome, nothing may outlive the test bed's unit.
    const auto cleanUp = qScopeGuard([&] {
        SignalRelay::instance()->registerController(nullptr);
        controller.reset();
        notifier.stop();
        DeviceManager::instance().removeAll();
        arriving.reset();
    });
    controller->addPaths({m_packages.path().toStdString()});
    int shutdowns = 0;
    controller->setShutdownHandler([&] { ++shutdowns; });
    installSignalHandlers();
    std::raise(SIGTERM);
    SignalRelay::instance()->registerController(controller.get());
    QCOMPARE(shutdowns, 1);
    QVERIFY(controller->init(std::make_unique<ArrivalView>(calls, [&] {
        arriving = std::make_unique<BusUnit>(bed, 0x0A, true);
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
    })));
    SignalRelay::instance()->registerController(nullptr);
    controller.reset();
    QVERIFY(arriving);
    QCOMPARE(calls.late.load(), 0);
    QCOMPARE(calls.shown.load(), 0);
}

QTEST_MAIN(TestUsbAppBus)
#include "tst_usbappbus.moc"
