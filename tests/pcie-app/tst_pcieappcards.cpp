// The front end end to end over emulated card nodes: one pass over several
// cards and daemon mode with arrivals posted into the shared segment.
#include "checkupdatedialog.h"
#include "dialoganswerer.h"
#include "emulatedcardbed.h"
#include "fakeupdaterfixture.h"
#include "main.h"
#include "messagedialog.h"
#include "preloadreexec.h"
#include "updatemanager.h"
#include "updateprogressdialog.h"
#include "zeltradiscoverysegment.h"

#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* kSegment = "/com_morvane_ZeltraDiscoveryNotifier";

QByteArray card(const char* node, bool needsUpdate, const char* outcome = "boot", const char* extra = "")
{
    return QByteArray("{\"path\": \"/dev/morvane/") + node + "\", \"name\": \"Ondavia Card " + node +
           "\", \"code\": \"0a\", \"needsUpdate\": " + (needsUpdate ? "true" : "false") +
           ", \"paceMs\": 20, \"progress\": [50, 100], \"outcome\": \"" + outcome + "\"" + extra + "}";
}

std::unique_ptr<EmulatedCardBed> makeBed(const char* description)
{
    auto bed = std::make_unique<EmulatedCardBed>();
    std::vector<EmulatedCard> cards;
    std::string error;
    if (!EmulatedCard::parseList(description, &cards, &error) || !bed->addCards(cards, &error)) {
        qWarning("test bed: %s", error.c_str());
        return nullptr;
    }
    return bed;
}

// Answers every question with `accept`, and every message with OK,
// recording the messages' first lines and the progress dialogs' card lines.
struct Answers
{
    bool accept = true;
    QStringList messages;
    QStringList progress;

    DialogAnswerer::Handler handler()
    {
        return [this](QDialog* dialog) {
            if (auto* q = qobject_cast<CheckUpdateDialog*>(dialog)) {
                (accept ? q->updateButton() : q->dontUpdateButton())->click();
                return true;
            }
            if (auto* m = qobject_cast<MessageDialog*>(dialog)) {
                messages << m->text().section("</b>", 0, 0).remove("<b>");
                m->okButton()->click();
                return true;
            }
            if (auto* p = qobject_cast<UpdateProgressDialog*>(dialog)) {
                if (!progress.contains(p->deviceText()))
                    progress << p->deviceText();
            }
            return false;
        };
    }
};

// Leaves the segment's lock unrecoverable and wakes its readers: an owner
// dies holding it and the next takes it over without making it consistent.
bool poisonSegmentLock()
{
    const int fd = shm_open(kSegment, O_RDWR, 0);
    if (fd < 0)
        return false;
    void* area = mmap(nullptr, sizeof(ZeltraDiscoverySegment), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    if (area == MAP_FAILED)
        return false;
    auto* segment = static_cast<ZeltraDiscoverySegment*>(area);
    pthread_mutex_t* mutex = &segment->mutex;
    pthread_cond_t* condition = &segment->condition;
    const pid_t child = fork();
    if (child == 0) {
        pthread_mutex_lock(mutex);
        _exit(0);
    }
    int status = 0;
    bool poisoned = child > 0 && waitpid(child, &status, 0) == child && pthread_mutex_lock(mutex) == EOWNERDEAD;
    if (poisoned) {
        pthread_cond_broadcast(condition);
        pthread_mutex_unlock(mutex);
    }
    munmap(area, sizeof(ZeltraDiscoverySegment));
    return poisoned;
}

} // namespace

class TestPcieAppCards : public QObject
{
    Q_OBJECT
private slots:
    void init() { shm_unlink(kSegment); }
    void cleanup() { shm_unlink(kSegment); }
    void onePass_data();
    void onePass();
    void cardNodeIsAskedAboutAsDv();
    void daemonOffersArrivals();
    void daemonQuit_data();
    void daemonQuit();
    void daemonRefusesForeignSegment();
    void daemonEndsOnUnrecoverableLock();
};

// The outcomes of a pass: what the user reads last, and what the updater
// was asked. Every card is asked about before any update runs.
void TestPcieAppCards::onePass_data()
{
    QTest::addColumn<QByteArray>("cards");
    QTest::addColumn<QString>("updater"); // empty: the stand-in
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("quiet");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("progress");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QStringList>("commands");

    const QStringList statuses{"-gui status /dev/morvane/dv0", "-gui status /dev/morvane/dv1",
                               "-gui status /dev/morvane/dv2"};
    const QByteArray two = "[" + card("dv0", true, "boot") + "," + card("dv1", false) + "," +
                           card("dv2", true, "shuP") + "]";
    QTest::newRow("updates done") << two << QString() << true << false << 0
                                  << QStringList{"Restart is Required!", "Please Power Cycle"}
                                  << QStringList{"Updating the firmware of Ondavia Card dv0",
                                                 "Updating the firmware of Ondavia Card dv2"}
                                  << QStringList{}
                                  << statuses + QStringList{"-gui update /dev/morvane/dv0", "-gui update /dev/morvane/dv2"};
    QTest::newRow("declined") << two << QString() << false << false << 0 << QStringList{} << QStringList{}
                              << QStringList{}
                              << statuses + QStringList{"-gui update-cancelled /dev/morvane/dv0",
                                                        "-gui update-cancelled /dev/morvane/dv2"};
    QByteArray sameModel = "[" + card("dv0", true, "boot") + "," + card("dv1", false) + "," +
                           card("dv2", true, "fail") + "]";
    sameModel.replace("Ondavia Card dv2", "Ondavia Card dv0");
    QTest::newRow("failed, two of one model")
        << sameModel << QString() << true << false << 0
        << QStringList{"Restart is Required!", "The Morvane software could not be upgraded."}
        << QStringList{"Updating the firmware of Ondavia Card dv0 (dv0)",
                       "Updating the firmware of Ondavia Card dv0 (dv2)"}
        << QStringList{} << statuses + QStringList{"-gui update /dev/morvane/dv0", "-gui update /dev/morvane/dv2"};
    const QByteArray current = "[" + card("dv0", false) + "," + card("dv1", false) + "," + card("dv2", false) + "]";
    QTest::newRow("nothing due") << current << QString() << true << false << 0
                                 << QStringList{"All firmware is up to date!"} << QStringList{} << QStringList{}
                                 << statuses;
    QTest::newRow("updater missing") << current << QString("/nonexistent/MorvaneFirmwareUpdater") << true << false
                                     << 1 << QStringList{"The firmware could not be checked."} << QStringList{}
                                     << QStringList{} << QStringList{};
    const QByteArray failing = "[" + card("dv0", false, "boot", ", \"statusMisbehave\": \"exit-nonzero\"") + "," +
                               card("dv1", true) + "," + card("dv2", false) + "]";
    QTest::newRow("updater failing") << failing << QString() << true << false << 1
                                     << QStringList{"The firmware could not be checked.", "Restart is Required!"}
                                     << QStringList{"Updating the firmware of Ondavia Card dv1"} << QStringList{}
                                     << statuses + QStringList{"-gui update /dev/morvane/dv1"};
    const QByteArray garbage = "[" + card("dv0", false) + "," + card("dv1", false) + "," +
                               card("dv2", false, "boot", ", \"statusMisbehave\": \"garbage\"") + "]";
    QTest::newRow("answer unreadable, quiet")
        << garbage << QString() << true << true << 1 << QStringList{} << QStringList{}
        << QStringList{"MorvaneFirmwareUpdaterGui: the firmware of /dev/morvane/dv2 could not be checked. The updater "
                       ONDAVIA_BIN_DIR "/MorvaneFirmwareUpdater gave an answer that cannot be read."}
        << statuses;
}

void TestPcieAppCards::onePass()
{
    QFETCH(QByteArray, cards);
    QFETCH(QString, updater);
    QFETCH(bool, accept);
    QFETCH(bool, quiet);
    QFETCH(QStringList, warnings);
    auto bed = makeBed("dv0; dv1; dv2");
    QVERIFY(bed);
    FakeUpdaterFixture fixture(cards);
    if (!updater.isEmpty())
        qputenv("MORVANE_FIRMWARE_UPDATER_PATH", updater.toLocal8Bit());
    Answers answers;
    answers.accept = accept;
    DialogAnswerer answerer(answers.handler());
    for (const QString& warning : warnings)
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    Main program(qApp);
    QCOMPARE(program.parseArguments(quiet ? QStringList{"MorvaneFirmwareUpdaterGui", "-q"}
                                          : QStringList{"MorvaneFirmwareUpdaterGui"}),
             QString());
    QTEST(program.run(), "exitCode");
    QTEST(answers.messages, "messages");
    QTEST(answers.progress, "progress");
    QTEST(fixture.commands(), "commands");
}

void TestPcieAppCards::cardNodeIsAskedAboutAsDv()
{
    auto bed = makeBed("card3");
    QVERIFY(bed);
    FakeUpdaterFixture fixture("[" + card("dv3", false) + "]");
    Answers answers;
    DialogAnswerer answerer(answers.handler());
    Main program(qApp);
    QCOMPARE(program.run(), 0);
    QCOMPARE(fixture.commands(), QStringList{"-gui status /dev/morvane/dv3"});
}

void TestPcieAppCards::daemonOffersArrivals()
{
    auto bed = makeBed("dv0; dv1");
    QVERIFY(bed);
    FakeUpdaterFixture fixture("[" + card("dv0", false) + "," + card("dv1", true) + "]");
    Answers answers;
    answers.accept = false;
    DialogAnswerer answerer(answers.handler());

    // The card present at start is offered once; a removal and an arrival
    // posted by another process offer it again; a signal ends the run.
    QTimer script;
    int step = 0;
    script.setInterval(100);
    connect(&script, &QTimer::timeout, [&] {
        const int cancelled = fixture.commands().count("-gui update-cancelled /dev/morvane/dv1");
        if (step == 0 && cancelled == 1) {
            ++step;
            QProcess::execute(ZELTRA_NOTIFY_POST, {"remove", "dv1"});
            QProcess::execute(ZELTRA_NOTIFY_POST, {"arrive", "dv1"});
        } else if (step == 1 && cancelled == 2) {
            ++step;
            ::raise(SIGTERM);
        }
    });
    script.start();
    QTimer::singleShot(20000, [] { ::raise(SIGINT); }); // never hang the suite

    Main program(qApp);
    program.parseArguments({"MorvaneFirmwareUpdaterGui", "-d"});
    QVERIFY(program.daemon() && program.quiet());
    QCOMPARE(program.run(), 0);
    QCOMPARE(step, 2);
    QCOMPARE(answers.messages, QStringList{});
    const QStringList commands = fixture.commands();
    QCOMPARE(commands.count("-gui update-cancelled /dev/morvane/dv1"), 2);
    // Asked about once at start and once after the re-plug.
    QCOMPARE(commands.count("-gui status /dev/morvane/dv1"), 2);
    QVERIFY(commands.contains("-gui status /dev/morvane/dv0"));
    QVERIFY(!commands.contains("-gui update-cancelled /dev/morvane/dv0"));
}

void TestPcieAppCards::daemonQuit_data()
{
    QTest::addColumn<bool>("duringUpdate");
    QTest::addColumn<QStringList>("commands");
    // dv1 is asked about, dv2 waits in the queue; the quit leaves dv2 alone.
    QTest::newRow("question open") << false
                                   << QStringList{"-gui status /dev/morvane/dv1", "-gui status /dev/morvane/dv2"};
    QTest::newRow("update running") << true
                                    << QStringList{"-gui status /dev/morvane/dv1", "-gui status /dev/morvane/dv2",
                                                   "-gui update /dev/morvane/dv1"};
}

void TestPcieAppCards::daemonQuit()
{
    QFETCH(bool, duringUpdate);
    auto bed = makeBed("dv1; dv2");
    QVERIFY(bed);
    QByteArray slow = card("dv1", true);
    slow.replace("\"paceMs\": 20, \"progress\": [50, 100]", "\"paceMs\": 150, \"progress\": [25, 50, 75, 100]");
    FakeUpdaterFixture fixture("[" + slow + "," + card("dv2", true) + "]");
    Main program(qApp);
    program.parseArguments({"MorvaneFirmwareUpdaterGui", "-d"});

    // The quit comes once dv2 is queued behind the open question (or, when
    // the update was accepted, behind its progress dialog).
    QStringList seen;
    bool raised = false;
    DialogAnswerer answerer([&](QDialog* dialog) {
        if (auto* q = qobject_cast<CheckUpdateDialog*>(dialog)) {
            if (duringUpdate) {
                q->updateButton()->click();
                return true;
            }
        } else if (qobject_cast<UpdateProgressDialog*>(dialog)) {
            if (!duringUpdate)
                return false;
        } else {
            seen << dialog->metaObject()->className(); // no message may follow the quit
            qobject_cast<MessageDialog*>(dialog)->okButton()->click();
            return true;
        }
        if (!raised && program.updateManager()->queuedCount() == 1) {
            raised = true;
            ::raise(SIGTERM);
        }
        return false;
    });
    QTimer::singleShot(20000, [] { ::raise(SIGINT); }); // never hang the suite
    if (duringUpdate)
        QTest::ignoreMessage(QtInfoMsg, "MorvaneFirmwareUpdaterGui: update of Ondavia Card dv1 at /dev/morvane/dv1 "
                                        "ended: restart required");
    QCOMPARE(program.run(), 0);
    QVERIFY(raised);
    QCOMPARE(seen, QStringList{});
    QStringList commands = fixture.commands();
    // The two arrival checks run on the notifier thread in either order.
    std::sort(commands.begin(), commands.end());
    QTEST(commands, "commands");
    if (duringUpdate) {
        // The update ran to its end: the updater reports the card current.
        Device device;
        program.updateManager()->tool()->checkDevice("/dev/morvane/dv1", device);
        QCOMPARE(device.path, QString("/dev/morvane/dv1"));
        QVERIFY(!device.needsUpdate);
    }
}

void TestPcieAppCards::daemonRefusesForeignSegment()
{
    // A segment of another size belongs to some other layout: not ours to use.
    const int fd = shm_open(kSegment, O_CREAT | O_EXCL | O_RDWR, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(ftruncate(fd, 16), 0);
    ::close(fd);
    FakeUpdaterFixture fixture("[]");
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(ONDAVIA_BIN_DIR "/MorvaneFirmwareUpdaterGui", {"-d"});
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 1);
}

void TestPcieAppCards::daemonEndsOnUnrecoverableLock()
{
    // Arrivals can no longer be followed: the daemon says so and ends with 1
    // rather than staying up deaf (or spinning).
    auto bed = makeBed("dv0");
    QVERIFY(bed);
    FakeUpdaterFixture fixture("[" + card("dv0", false) + "]");
    bool poisoned = false;
    QTimer script;
    script.setInterval(100);
    connect(&script, &QTimer::timeout, [&] {
        if (!poisoned && fixture.commands().contains("-gui status /dev/morvane/dv0"))
            poisoned = poisonSegmentLock();
    });
    script.start();
    QTimer::singleShot(20000, [] { ::raise(SIGINT); }); // never hang the suite
    Main program(qApp);
    program.parseArguments({"MorvaneFirmwareUpdaterGui", "-d"});
    QCOMPARE(program.run(), 1);
    QVERIFY(poisoned);
}

int main(int argc, char** argv)
{
    reexecUnderPreload(argv);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false); // as the program does: dialogs come and go
    TestPcieAppCards tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "tst_pcieappcards.moc"
