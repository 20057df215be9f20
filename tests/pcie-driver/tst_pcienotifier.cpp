// The shared-memory arrival notifier across real processes, with emulated
// card nodes in a umockdev test bed. CTest runs it with a private /dev/shm,
// so the segment here is never the machine's; every test starts and ends
// without it.

#include "emulatedcardbed.h"
#include "izeltradevicediscoverynotifierdelegate.h"
#include "preloadreexec.h"
#include "zeltradevicediscoverynotifier.h"
#include "zeltradiscoverysegment.h"
#include "zeltradriver.h"
#include "zeltranotification.h"

#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kName = ZeltraDeviceDiscoveryNotifier::kSegmentName;

// A read-write view of the segment, for checking and for playing a hostile
// or careless other process.
class SegmentView {
public:
    explicit SegmentView(size_t size = sizeof(ZeltraDiscoverySegment), bool create = false) : m_size(size)
    {
        const int fd = shm_open(kName, O_RDWR | (create ? O_CREAT | O_EXCL : 0), 0666);
        if (fd < 0)
            return;
        if (create && ftruncate(fd, off_t(size)) != 0) {
            close(fd);
            return;
        }
        void* area = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
        if (area != MAP_FAILED)
            m_segment = static_cast<ZeltraDiscoverySegment*>(area);
    }
    ~SegmentView()
    {
        if (m_segment)
            munmap(m_segment, m_size);
    }
    SegmentView(const SegmentView&) = delete;
    SegmentView& operator=(const SegmentView&) = delete;

    ZeltraDiscoverySegment* operator->() const { return m_segment; }
    explicit operator bool() const { return m_segment != nullptr; }

    // Sets up the mutex and condition variable as a well-behaved creator does.
    void initialiseSync()
    {
        pthread_mutexattr_t ma;
        pthread_mutexattr_init(&ma);
        pthread_mutexattr_setpshared(&ma, PTHREAD_PROCESS_SHARED);
        pthread_mutexattr_setrobust(&ma, PTHREAD_MUTEX_ROBUST);
        pthread_mutex_init(&m_segment->mutex, &ma);
        pthread_mutexattr_destroy(&ma);
        pthread_condattr_t ca;
        pthread_condattr_init(&ca);
        pthread_condattr_setpshared(&ca, PTHREAD_PROCESS_SHARED);
        pthread_cond_init(&m_segment->condition, &ca);
        pthread_condattr_destroy(&ca);
    }
    void wakeReaders()
    {
        pthread_mutex_lock(&m_segment->mutex);
        pthread_cond_broadcast(&m_segment->condition);
        pthread_mutex_unlock(&m_segment->mutex);
    }
    QStringList present() const
    {
        QStringList result;
        const char* const kinds[] = {"dv", "card", "io"};
        for (int kind = 0; kind < 3; ++kind) {
            for (int n = 0; n < 64; ++n) {
                if (m_segment->presence[kind][n / 32] & (1u << (n % 32)))
                    result << QString::fromLatin1(kinds[kind]) + QString::number(n);
            }
        }
        return result;
    }

private:
    size_t m_size;
    ZeltraDiscoverySegment* m_segment = nullptr;
};

ino_t segmentInode()
{
    struct stat info {};
    const int fd = shm_open(kName, O_RDONLY, 0);
    if (fd < 0)
        return 0;
    fstat(fd, &info);
    close(fd);
    return info.st_ino;
}

// Leaves the shared mutex unrecoverable, as a careless process does: one
// owner dies holding it, the next takes it over without making it
// consistent, wakes the readers and lets go.
bool poisonLock(ZeltraDiscoverySegment* segment)
{
    const pid_t child = fork();
    if (child == 0) {
        pthread_mutex_lock(&segment->mutex);
        _exit(0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return false;
    if (pthread_mutex_lock(&segment->mutex) != EOWNERDEAD)
        return false;
    pthread_cond_broadcast(&segment->condition);
    pthread_mutex_unlock(&segment->mutex);
    return pthread_mutex_lock(&segment->mutex) == ENOTRECOVERABLE;
}

bool segmentExists()
{
    const int fd = shm_open(kName, O_RDONLY, 0);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

EmulatedCard card(const std::string& line)
{
    EmulatedCard result;
    std::string error;
    if (!result.parse(line, &error))
        qFatal("bad card line: %s", error.c_str());
    return result;
}

ZeltraDeviceNode nodeOf(const char* name)
{
    ZeltraDeviceNode node;
    if (!node.fromPath(name))
        qFatal("bad node %s", name);
    return node;
}

// Records what the notifier thread reports.
class RecordingDelegate : public IZeltraDeviceDiscoveryNotifierDelegate {
public:
    void ProcessNotification(ZeltraInstanceRec* instance, bool arrived) override
    {
        char path[kZeltraPathSize] = {};
        GetDevicePath(instance, path);
        CloseDriverConnectionCore(instance);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events << QString::fromLatin1(arrived ? "arrived " : "removed ") + QString::fromLatin1(path).mid(13);
    }
    void NotifierStopped(const char* reason) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events << QString::fromLatin1("stopped: ") + QString::fromLatin1(reason);
    }
    QStringList events() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }

private:
    mutable std::mutex m_mutex;
    QStringList m_events;
};

// A child process of the helper program with its output gathered in lines.
class Helper {
public:
    explicit Helper(const QString& role)
    {
        m_process.setProgram(QCoreApplication::applicationDirPath() + "/pcie-notifier-helper");
        m_process.setArguments({role});
        m_process.start();
    }
    ~Helper()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.closeWriteChannel();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished();
            }
        }
    }
    QStringList lines()
    {
        m_output += m_process.readAllStandardOutput();
        QStringList result = QString::fromLatin1(m_output).split('\n');
        result.removeAll(QString());
        return result;
    }
    bool waitForLine(const QString& line, int timeout = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!lines().contains(line)) {
            if (timer.elapsed() > timeout || m_process.state() == QProcess::NotRunning)
                return lines().contains(line);
            m_process.waitForReadyRead(100);
        }
        return true;
    }
    int finish()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            return -1;
        lines();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_output;
};

int post(const QStringList& arguments)
{
    QProcess producer;
    producer.start(QStringLiteral(ZELTRA_NOTIFY_POST), arguments);
    if (!producer.waitForFinished(10000))
        return -1;
    return producer.exitCode();
}

#define ADD_CARDS(bed, ...)                                                               \
    do {                                                                                  \
        std::string error;                                                                \
        for (const std::string& entry : std::initializer_list<std::string>{__VA_ARGS__}) \
            QVERIFY2((bed).addCard(card(entry), &error), error.c_str());                  \
    } while (false)

} // namespace

class TestPcieNotifier : public QObject {
    Q_OBJECT

private slots:
    void init() { shm_unlink(kName); }
    void cleanup() { shm_unlink(kName); }

    void firstConnectSeedsSecondDoesNot();
    void initialReportOrder();
    void eventsAcrossProcesses();
    void ringWrapsAfterTwentyOnePostings();
    void deadOwnerRecovered();
    void hostileSegmentReadSafely();
    void connectRefuses_data();
    void connectRefuses();
    void abandonedSegmentRecreated_data();
    void abandonedSegmentRecreated();
    void unrecoverableLockEndsThread();
    void waitingLifecycle();

private:
    QAtomicInt m_arrivals;
};

void TestPcieNotifier::firstConnectSeedsSecondDoesNot()
{
    EmulatedCardBed bed;
    ADD_CARDS(bed, "dv0", "io3", "card5");
    Helper first("connect");
    QCOMPARE(first.finish(), 0);
    {
        SegmentView view;
        QVERIFY(view);
        QCOMPARE(int(view->state), ZeltraDiscoverySegment::kStateReady);
        QCOMPARE(int(view->writeIndex), 0);
        // A card node is recorded as the dv node the device answers to.
        QCOMPARE(view.present(), QStringList({"dv0", "dv5", "io3"}));
    }
    struct stat info {};
    const int fd = shm_open(kName, O_RDONLY, 0);
    QVERIFY(fd >= 0);
    QCOMPARE(fstat(fd, &info), 0);
    close(fd);
    QCOMPARE(int(info.st_mode & 0777), 0666);
    QCOMPARE(qint64(info.st_size), qint64(sizeof(ZeltraDiscoverySegment)));

    // A card that appears later is not seeded by the next process.
    ADD_CARDS(bed, "dv1");
    Helper second("connect");
    QCOMPARE(second.finish(), 0);
    SegmentView view;
    QCOMPARE(view.present(), QStringList({"dv0", "dv5", "io3"}));
    QVERIFY(segmentExists()); // no process removes a seeded segment
}

void TestPcieNotifier::initialReportOrder()
{
    EmulatedCardBed bed;
    ADD_CARDS(bed, "io3", "dv0");
    Helper reporter("report");
    QVERIFY(reporter.waitForLine("arrived io3"));
    QStringList events = reporter.lines();
    events.removeAll("ready");
    QCOMPARE(events, QStringList({"arrived dv0", "arrived io3"}));
    QCOMPARE(reporter.finish(), 0);
}

void TestPcieNotifier::eventsAcrossProcesses()
{
    EmulatedCardBed bed;
    ADD_CARDS(bed, "dv0");
    Helper reporter("report");
    Helper installed("install");
    QVERIFY(reporter.waitForLine("ready"));
    QVERIFY(installed.waitForLine("ready"));
    QVERIFY(reporter.waitForLine("arrived dv0"));
    QVERIFY(installed.waitForLine("arrived dv0"));

    ADD_CARDS(bed, "dv1");
    QCOMPARE(post({"arrive", "dv1"}), 0);
    QVERIFY(reporter.waitForLine("arrived dv1"));
    QVERIFY(installed.waitForLine("arrived dv1"));
    int writeIndex = 0;
    {
        SegmentView view;
        writeIndex = view->writeIndex;
        QCOMPARE(view.present(), QStringList({"dv0", "dv1"}));
    }
    QCOMPARE(writeIndex, 1);

    // Already present: nothing is queued.
    QCOMPARE(post({"arrive", "dv1"}), 0);
    {
        SegmentView view;
        QCOMPARE(int(view->writeIndex), writeIndex);
    }
    // A removal is queued; the C callback only hears of arrivals.
    QCOMPARE(post({"remove", "dv1"}), 0);
    QVERIFY(reporter.waitForLine("removed dv1"));
    QCOMPARE(post({"arrive", "/dev/morvane/dv1"}), 0);
    QTRY_COMPARE(reporter.lines().count("arrived dv1"), 2);
    QTRY_COMPARE(installed.lines().count("arrived dv1"), 2);
    QCOMPARE(installed.lines().filter("removed").size(), 0);
    QCOMPARE(reporter.lines().count("arrived dv1"), 2);

    QCOMPARE(post({"arrive", "zz9"}), 2);
    QCOMPARE(post({"bogus"}), 2);
    QCOMPARE(reporter.finish(), 0);
    QCOMPARE(installed.finish(), 0);
}

void TestPcieNotifier::ringWrapsAfterTwentyOnePostings()
{
    EmulatedCardBed bed;
    ADD_CARDS(bed, "io2");
    ZeltraDeviceDiscoveryNotifier notifier;
    QVERIFY(notifier.connect());
    ZeltraDeviceNode io2 = nodeOf("io2");
    for (int i = 0; i < 21; ++i)
        QVERIFY(notifier.notify(&io2, i % 2 == 1)); // remove, arrive, remove, ...
    SegmentView view;
    QCOMPARE(int(view->writeIndex), 1);
    QCOMPARE(int(view->ring[0][0]), 0); // the 21st posting, a removal
    ZeltraDeviceNode slot;
    memcpy(&slot, view->ring[0] + 1, sizeof(slot));
    QVERIFY(slot == io2);
    QCOMPARE(int(view->ring[1][0]), 1);
    QVERIFY(view.present().isEmpty());

    // Numbers without a presence bit are posted but leave the bitmap alone.
    ZeltraDeviceNode high = nodeOf("dv100");
    QVERIFY(notifier.notify(&high, true));
    QCOMPARE(int(view->writeIndex), 2);
    QVERIFY(view.present().isEmpty());

    // A damaged write index is repaired, not written through.
    view->writeIndex = 77;
    QVERIFY(notifier.notify(&io2, true));
    QCOMPARE(int(view->writeIndex), 1);
    QCOMPARE(int(view->ring[0][0]), 1);
}

void TestPcieNotifier::deadOwnerRecovered()
{
    EmulatedCardBed bed;
    ADD_CARDS(bed, "dv0");
    ZeltraDeviceDiscoveryNotifier notifier;
    QVERIFY(notifier.connect());

    for (int round = 0; round < 2; ++round) {
        Helper holder("hold-lock");
        QVERIFY(holder.waitForLine("locked"));
        kill(pid_t(holder.process().processId()), SIGKILL);
        QVERIFY(holder.process().waitForFinished(5000));
        if (round == 0) {
            // Another process's connect goes through the dead owner's lock.
            Helper connector("connect");
            QVERIFY(connector.process().waitForFinished(10000));
            QCOMPARE(connector.process().exitCode(), 0);
        } else {
            QVERIFY(notifier.lock());
            notifier.unlock();
        }
    }
    ZeltraDeviceNode dv0 = nodeOf("dv0");
    QVERIFY(notifier.notify(&dv0, false));
    SegmentView view;
    QCOMPARE(int(view->writeIndex), 1);
}

void TestPcieNotifier::hostileSegmentReadSafely()
{
    EmulatedCardBed bed;
    ADD_CARDS(bed, "dv0");
    {
        SegmentView view(sizeof(ZeltraDiscoverySegment), true);
        QVERIFY(view);
        view.initialiseSync();
        // Bits for absent nodes too, including the card kind that seeding
        // never sets. (Kept to a dozen: the test bed's preload library keeps
        // a record of every failed open under /dev and gives up after fifty.)
        for (int kind = 0; kind < 3; ++kind)
            view->presence[kind][kind == 0 ? 1 : 0] = 0x80000001u;
        view->presence[0][0] = 0x0000000Fu;
        memset(view->ring, 0xFF, sizeof(view->ring)); // names without terminator
        view->writeIndex = 1000;
        view->state = ZeltraDiscoverySegment::kStateReady;
    }
    ZeltraDeviceDiscoveryNotifier notifier;
    RecordingDelegate delegate;
    QVERIFY(notifier.connect());
    QVERIFY(notifier.waitForNotifications(&delegate));
    // Many bits are set, but only dv0 exists.
    QTRY_COMPARE(delegate.events(), QStringList({"arrived dv0"}));

    SegmentView view;
    view.wakeReaders(); // with the write index still outside the ring
    QTest::qWait(200);
    QCOMPARE(delegate.events().size(), 1);

    // Three slots to read: two of garbage and one good arrival between them.
    pthread_mutex_lock(&view->mutex);
    view->ring[1][0] = ZeltraDiscoverySegment::kArrivedFlag;
    ZeltraDeviceNode dv0 = nodeOf("dv0");
    memcpy(view->ring[1] + 1, &dv0, sizeof(dv0));
    view->writeIndex = 3;
    pthread_cond_broadcast(&view->condition);
    pthread_mutex_unlock(&view->mutex);
    QTRY_COMPARE(delegate.events(), QStringList({"arrived dv0", "arrived dv0"}));

    view->writeIndex = -4;
    view.wakeReaders();
    QTest::qWait(100);
    notifier.cancelWaitForNotifications();
    QCOMPARE(delegate.events().size(), 2);
}

void TestPcieNotifier::connectRefuses_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("state");

    QTest::newRow("creator died while seeding") << int(sizeof(ZeltraDiscoverySegment))
                                                << ZeltraDiscoverySegment::kStateSeeding;
    QTest::newRow("layout of another build") << int(sizeof(ZeltraDiscoverySegment)) - 20
                                             << ZeltraDiscoverySegment::kStateReady;
}

void TestPcieNotifier::connectRefuses()
{
    QFETCH(int, size);
    QFETCH(int, state);
    {
        SegmentView view(size_t(size), true);
        QVERIFY(view);
        if (size_t(size) == sizeof(ZeltraDiscoverySegment))
            view.initialiseSync();
        view->state = state;
    }
    ZeltraDeviceDiscoveryNotifier notifier;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!notifier.connect());
    QVERIFY(timer.elapsed() < 8000);
    QVERIFY(!notifier.isConnected());
    QVERIFY(segmentExists()); // left for whoever cleans up
    QCOMPARE(InstallZeltraNotificationCallback(nullptr, nullptr), nullptr);
}

void TestPcieNotifier::abandonedSegmentRecreated_data()
{
    QTest::addColumn<bool>("sized");
    QTest::newRow("never sized") << false;
    QTest::newRow("sized, left in its first state") << true;
}

void TestPcieNotifier::abandonedSegmentRecreated()
{
    // A creator that died before it began seeding must not lock out every
    // later starter: after the creator wait the next one makes it anew.
    QFETCH(bool, sized);
    EmulatedCardBed bed;
    ADD_CARDS(bed, "dv2");
    if (sized) {
        SegmentView view(sizeof(ZeltraDiscoverySegment), true);
        QVERIFY(view);
        QCOMPARE(int(view->state), ZeltraDiscoverySegment::kStateCreating);
    } else {
        const int fd = shm_open(kName, O_CREAT | O_EXCL | O_RDWR, 0666);
        QVERIFY(fd >= 0);
        close(fd);
    }
    const ino_t abandoned = segmentInode();
    ZeltraDeviceDiscoveryNotifier notifier;
    QVERIFY(notifier.connect());
    QVERIFY(segmentInode() != abandoned);
    SegmentView view;
    QCOMPARE(int(view->state), ZeltraDiscoverySegment::kStateReady);
    QCOMPARE(view.present(), QStringList({"dv2"}));
}

void TestPcieNotifier::unrecoverableLockEndsThread()
{
    // The thread must end once, with its reason, rather than end in silence
    // or spin on a wait that can only fail.
    EmulatedCardBed bed;
    ADD_CARDS(bed, "dv0");
    ZeltraDeviceDiscoveryNotifier notifier;
    RecordingDelegate delegate;
    QVERIFY(notifier.connect());
    QVERIFY(notifier.waitForNotifications(&delegate));
    QTRY_COMPARE(delegate.events(), QStringList({"arrived dv0"}));
    SegmentView view;
    QVERIFY(poisonLock(view.operator->()));
    QTRY_COMPARE(delegate.events().size(), 2);
    QVERIFY2(delegate.events().last().startsWith("stopped: the shared lock"), qPrintable(delegate.events().last()));
    QTest::qWait(200);
    QCOMPARE(delegate.events().size(), 2);
    notifier.cancelWaitForNotifications();
    // A later start on the same segment is refused.
    QVERIFY(!notifier.lock());
    ZeltraDeviceDiscoveryNotifier second;
    QVERIFY(!second.connect());
}

void TestPcieNotifier::waitingLifecycle()
{
    EmulatedCardBed bed;
    ADD_CARDS(bed, "dv0");
    RecordingDelegate delegate;
    ZeltraDeviceDiscoveryNotifier notifier;
    QVERIFY(!notifier.waitForNotifications(&delegate)); // not connected
    ZeltraDeviceNode dv0 = nodeOf("dv0");
    QVERIFY(!notifier.notify(&dv0, true));
    QVERIFY(notifier.connect());
    QVERIFY(!notifier.connect()); // already connected
    QVERIFY(!notifier.waitForNotifications(nullptr));
    QVERIFY(notifier.waitForNotifications(&delegate));
    QVERIFY(!notifier.waitForNotifications(&delegate));
    QTRY_COMPARE(delegate.events().size(), 1);
    notifier.cancelWaitForNotifications();
    notifier.cancelWaitForNotifications();

    // A posting while nobody waits is read by nobody; a new wait starts
    // from the current write index after its initial report.
    QVERIFY(notifier.notify(&dv0, false));
    QVERIFY(notifier.waitForNotifications(&delegate));
    QTest::qWait(100);
    QCOMPARE(delegate.events().size(), 1); // dv0 is no longer present
    QVERIFY(notifier.notify(&dv0, true));
    QTRY_COMPARE(delegate.events().size(), 2);
    notifier.disconnect();
    notifier.disconnect();
    QVERIFY(!notifier.isConnected());

    ZeltraNotificationRec* handle = InstallZeltraNotificationCallback(
        [](ZeltraInstanceRec* instance, void* count) {
            ++*static_cast<QAtomicInt*>(count);
            CloseDriverConnectionCore(instance);
        },
        &m_arrivals);
    QVERIFY(handle);
    QTRY_COMPARE(int(m_arrivals), 1);
    RemoveZeltraNotificationCallback(handle);
    RemoveZeltraNotificationCallback(nullptr);
}

int main(int argc, char** argv)
{
    reexecUnderPreload(argv);
    QCoreApplication app(argc, argv);
    TestPcieNotifier test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pcienotifier.moc"
