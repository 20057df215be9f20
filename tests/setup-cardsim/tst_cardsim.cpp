// The card simulator library as a host sees it: loaded with dlopen, driven
// through its binary interface, hot-plugged with zeltra-simctl.

#include "zeltraapi.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <mutex>
#include <thread>
#include <unistd.h>

// The simulator's built-in card set (default-cards.json).
constexpr size_t kBuiltInCards = 15;

namespace {

constexpr uint32_t kPref = kZeltraTopicPreferences;
constexpr uint32_t kStat = kZeltraTopicStatus;

QString takeString(const char *text)
{
    const QString s = QString::fromUtf8(text);
    std::free(const_cast<char *>(text));
    return s;
}

// Releases a library reference at the end of a scope.
template <typename T>
struct Ref
{
    T *p = nullptr;
    Ref() = default;
    explicit Ref(T *pointer) : p(pointer) {}
    Ref(const Ref &) = delete;
    Ref &operator=(const Ref &) = delete;
    Ref(Ref &&other) noexcept : p(other.p) { other.p = nullptr; }
    ~Ref() { reset(); }
    void reset()
    {
        if (p)
            p->Release();
        p = nullptr;
    }
    T *operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
    void **out() { reset(); return reinterpret_cast<void **>(&p); }
};

template <typename T>
Ref<T> query(IUnknown *object, const IID &iid)
{
    Ref<T> ref;
    object->QueryInterface(iid, ref.out());
    return ref;
}

// A host's arrival and removal callback that remembers what it was told.
class DeviceWatcher final : public IZeltraDeviceNotificationCallback
{
public:
    struct Event
    {
        bool arrived;
        IZeltra *device;
        QString model;
        std::thread::id thread;
    };

    int32_t QueryInterface(IID, void **out) override { *out = nullptr; return kZeltraNoInterface; }
    uint32_t AddRef() override { return ++references; }
    uint32_t Release() override { return --references; }

    int32_t ZeltraDeviceArrived(IZeltra *device) override
    {
        const char *name = nullptr;
        QString model;
        if (device->GetModelName(&name) == kZeltraOk)
            model = takeString(name);
        device->AddRef();
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back({true, device, model, std::this_thread::get_id()});
        return 0;
    }
    int32_t ZeltraDeviceRemoved(IZeltra *device) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back({false, device, {}, std::this_thread::get_id()});
        return 0;
    }

    std::vector<Event> snapshot()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }
    size_t count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return events.size();
    }
    // Drops the references taken on arrival.
    void releaseDevices()
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (const Event &e : events) {
            if (e.arrived)
                e.device->Release();
        }
        events.clear();
    }

    std::atomic<int> references{0};
    std::mutex mutex;
    std::vector<Event> events;
};

// A notice subscriber that counts what it receives and its own references.
class NoticeCounter final : public IZeltraNotificationCallback
{
public:
    int32_t QueryInterface(IID, void **out) override { *out = nullptr; return kZeltraNoInterface; }
    uint32_t AddRef() override { return ++references; }
    uint32_t Release() override { return --references; }
    int32_t Notify(uint32_t topic, uint64_t param1, uint64_t) override
    {
        if (onNotify)
            onNotify();
        std::lock_guard<std::mutex> lock(mutex);
        notices.push_back({topic, param1});
        return 0;
    }
    int count(uint32_t topic)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return int(std::count_if(notices.begin(), notices.end(), [topic](auto &n) { return n.first == topic; }));
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex);
        notices.clear();
    }

    std::atomic<int> references{1};
    std::function<void()> onNotify;
    std::mutex mutex;
    std::vector<std::pair<uint32_t, uint64_t>> notices;
};

// The library, bound as the setup utility binds it.
struct Library
{
    void *handle = nullptr;
    CreateZeltraIteratorInstanceFunc createIterator = nullptr;
    CreateZeltraAPIInformationInstanceFunc createInformation = nullptr;
    CreateZeltraDiscoveryInstanceFunc createDiscovery = nullptr;
    void (*restart)() = nullptr;

    bool load()
    {
        handle = dlopen(CARDSIM_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return false;
        createIterator = reinterpret_cast<CreateZeltraIteratorInstanceFunc>(dlsym(handle, "CreateZeltraIteratorInstance_0003"));
        createInformation = reinterpret_cast<CreateZeltraAPIInformationInstanceFunc>(dlsym(handle, "CreateZeltraAPIInformationInstance_0001"));
        createDiscovery = reinterpret_cast<CreateZeltraDiscoveryInstanceFunc>(dlsym(handle, "CreateZeltraDiscoveryInstance_0002"));
        restart = reinterpret_cast<void (*)()>(dlsym(handle, "ZeltraSimulatorRestart"));
        return createIterator && createInformation && createDiscovery && restart
            && dlsym(handle, "CreateVideoConversionInstance_0001");
    }

    std::vector<IZeltra *> devices()
    {
        std::vector<IZeltra *> list;
        Ref<IZeltraIterator> iterator(createIterator());
        IZeltra *device = nullptr;
        while (iterator && iterator->Next(&device) == kZeltraOk)
            list.push_back(device);
        return list;
    }

    size_t deviceCount()
    {
        const auto list = devices();
        for (IZeltra *device : list)
            device->Release();
        return list.size();
    }
};

// Runs f with standard error sent to a file and returns what was written.
template <typename F>
QByteArray captureStderr(F f)
{
    QTemporaryFile file;
    file.open();
    fflush(stderr);
    const int saved = dup(2);
    dup2(file.handle(), 2);
    f();
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    file.seek(0);
    return file.readAll();
}

int64_t attributeInt(IZeltra *device, uint32_t id)
{
    auto attributes = query<IZeltraAttributes>(device, IID_IZeltraAttributes);
    int64_t value = -1;
    if (attributes)
        attributes->GetInt(id, &value);
    return value;
}

QString modelOf(IZeltra *device)
{
    const char *name = nullptr;
    return device->GetModelName(&name) == kZeltraOk ? takeString(name) : QString();
}

} // namespace

class TestCardSimulator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void defaultCardsArriveInOrderOnTheLibraryThread();
    void referenceCounts();
    void unknownInterfaces_data();
    void unknownInterfaces();
    void valuesTheCardRefuses_data();
    void valuesTheCardRefuses();
    void displayModes();
    void preferencesPersistAndRevert();
    void pairedSubDevicesStoreTogether();
    void duplexChangeMovesThePartner();
    void noticesReachEverySubscriber();
    void unsubscribeFromInsideANotice();
    void noNoticeAfterUnsubscribeReturns();
    void twoHostsSeeTheSameCards();
    void storeFailureIsReported();
    void ownCardDescription();
    void hotPlugThroughSimctl();
    void simctlErrors();
    void malformedDescription_data();
    void malformedDescription();
    void twoProcessesShareOneSet();
    void unstoredChangesEndWithTheWriter_data();
    void unstoredChangesEndWithTheWriter();
    void killedDaemonIsReplaced();
    void daemonDropsBadMessages_data();
    void daemonDropsBadMessages();
    // Last: it unloads the library.
    void unloadWhileNotificationsInstalled();

private:
    void writeCards(const QByteArray &json);
    // Runs the control tool; its exit code, and what it printed to `output`.
    int simctl(const QStringList &arguments, QByteArray *output = nullptr);
    IZeltra *deviceByModel(const QString &model);

    Library m_library;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<IZeltra *> m_held;
};

void TestCardSimulator::initTestCase()
{
    QVERIFY2(m_library.load(), dlerror());
}

void TestCardSimulator::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath("config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->filePath("runtime")));
    QDir().mkpath(m_dir->filePath("runtime"));
    QFile::setPermissions(m_dir->filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qunsetenv("ZELTRA_SIMULATOR_CARDS");
    m_library.restart();
}

void TestCardSimulator::cleanup()
{
    for (IZeltra *device : m_held)
        device->Release();
    m_held.clear();
}

void TestCardSimulator::writeCards(const QByteArray &json)
{
    const QString path = m_dir->filePath("cards.json");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(json);
    file.close();
    qputenv("ZELTRA_SIMULATOR_CARDS", QFile::encodeName(path));
    m_library.restart();
}

int TestCardSimulator::simctl(const QStringList &arguments, QByteArray *output)
{
    QProcess process;
    process.start(CARDSIM_SIMCTL, arguments);
    if (!process.waitForFinished(15000))
        return -1;
    if (output)
        *output = process.readAllStandardOutput() + process.readAllStandardError();
    return process.exitCode();
}

IZeltra *TestCardSimulator::deviceByModel(const QString &model)
{
    IZeltra *found = nullptr;
    for (IZeltra *device : m_library.devices()) {
        if (!found && modelOf(device) == model)
            found = device;
        else
            device->Release();
    }
    if (found)
        m_held.push_back(found);
    return found;
}

void TestCardSimulator::defaultCardsArriveInOrderOnTheLibraryThread()
{
    DeviceWatcher watcher;
    {
        Ref<IZeltraDiscovery> discovery(m_library.createDiscovery());
        QVERIFY(discovery);
        QCOMPARE(discovery->InstallDeviceNotifications(&watcher), kZeltraOk);
        QCOMPARE(discovery->InstallDeviceNotifications(&watcher), kZeltraAccessDenied);
        QTRY_COMPARE(watcher.count(), kBuiltInCards);

        const auto events = watcher.snapshot();
        QStringList models;
        QList<int64_t> channels;
        for (const auto &e : events) {
            QVERIFY(e.arrived);
            QVERIFY(e.thread != std::this_thread::get_id());
            models << e.model;
            if (e.model == "Ondavia Quartet")
                channels << attributeInt(e.device, zeltraCode("subi"));
        }
        QCOMPARE(models.first(), QString("Ondavia Meridian 4K"));
        QVERIFY(models.contains("Ondavia Legacy SD"));
        QCOMPARE(attributeInt(events[2].device, zeltraCode("rvid")), int64_t(39));
        // The four channels share a group id and arrive out of order.
        QCOMPARE(channels, (QList<int64_t>{2, 0, 3, 1}));
        QCOMPARE(attributeInt(events[3].device, zeltraCode("dgid")), attributeInt(events[4].device, zeltraCode("dgid")));
        QCOMPARE(models.count("Ondavia Duo Link"), 2);

        // The iterator sees the same objects, in the same order.
        const auto listed = m_library.devices();
        QCOMPARE(listed.size(), kBuiltInCards);
        for (size_t i = 0; i < listed.size(); ++i) {
            QCOMPARE(listed[i], events[i].device);
            listed[i]->Release();
        }
        QCOMPARE(discovery->UninstallDeviceNotifications(), kZeltraOk);
    }
    QCOMPARE(watcher.references.load(), 0);
    watcher.releaseDevices();

    Ref<IZeltraAPIInformation> information(m_library.createInformation());
    const char *version = nullptr;
    QCOMPARE(information->GetString(kZeltraInformationVersion, &version), kZeltraOk);
    QCOMPARE(takeString(version), QString("4.8.2"));
    QVERIFY(information->GetString(zeltraCode("nope"), &version) < 0);
}

void TestCardSimulator::referenceCounts()
{
    IZeltra *device = deviceByModel("Ondavia Meridian 4K");
    QVERIFY(device);
    QCOMPARE(device->AddRef(), 3u); // the simulator's, ours and this one
    QCOMPARE(device->Release(), 2u);

    // An interface outlives the device reference it came from.
    IZeltraAttributes *attributes = nullptr;
    QCOMPARE(device->QueryInterface(IID_IZeltraAttributes, reinterpret_cast<void **>(&attributes)), kZeltraOk);
    QCOMPARE(attributes->AddRef(), 2u);
    QCOMPARE(attributes->Release(), 1u);
    IZeltraAttributes *again = nullptr;
    QCOMPARE(attributes->QueryInterface(IID_IZeltraAttributes, reinterpret_cast<void **>(&again)), kZeltraOk);
    QCOMPARE(again, attributes);
    QCOMPARE(again->Release(), 1u);
    int64_t model = 0;
    QCOMPARE(attributes->GetInt(zeltraCode("rvid"), &model), kZeltraOk);
    QCOMPARE(model, int64_t(61));
    QCOMPARE(attributes->Release(), 0u);

    // Counting from several threads at once loses nothing.
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([device] {
            for (int i = 0; i < 10000; ++i) {
                device->AddRef();
                device->Release();
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    QCOMPARE(device->AddRef(), 3u);
    device->Release();

    // A subscription holds the callback; unsubscribing and releasing the
    // notification object give every reference back.
    NoticeCounter counter;
    {
        auto notification = query<IZeltraNotification>(device, IID_IZeltraNotification);
        QCOMPARE(notification->Subscribe(kPref, &counter), kZeltraOk);
        QCOMPARE(notification->Subscribe(kPref, &counter), kZeltraOk);
        QCOMPARE(notification->Subscribe(kStat, &counter), kZeltraOk);
        QCOMPARE(counter.references.load(), 3);
        QCOMPARE(notification->Unsubscribe(kPref, &counter), kZeltraOk);
        QVERIFY(notification->Unsubscribe(kPref, &counter) < 0);
        QCOMPARE(counter.references.load(), 2);
    }
    QCOMPARE(counter.references.load(), 1);
}

void TestCardSimulator::unknownInterfaces_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QByteArray>("iid");
    QTest::addColumn<bool>("found");
    auto bytes = [](const IID &iid) { return QByteArray(reinterpret_cast<const char *>(iid.bytes), 16); };
    const IID invented = {{0xde, 0xad, 0xbe, 0xef, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
    QTest::newRow("unknown") << "Ondavia Meridian 4K" << bytes(invented) << false;
    QTest::newRow("discovery from a device") << "Ondavia Meridian 4K" << bytes(IID_IZeltraDiscovery) << false;
    QTest::newRow("unknown interface") << "Ondavia Meridian 4K" << bytes(IID_IUnknown) << true;
    QTest::newRow("status") << "Ondavia Meridian 4K" << bytes(IID_IZeltraStatus) << true;
    QTest::newRow("input of a playback-only card") << "Ondavia Beacon Play" << bytes(IID_IZeltraInput) << false;
    QTest::newRow("output of a playback-only card") << "Ondavia Beacon Play" << bytes(IID_IZeltraOutput) << true;
    QTest::newRow("output of a capture-only unit") << "Ondavia Pocket Capture" << bytes(IID_IZeltraOutput) << false;
}

void TestCardSimulator::unknownInterfaces()
{
    QFETCH(QString, model);
    QFETCH(QByteArray, iid);
    QFETCH(bool, found);
    IZeltra *device = deviceByModel(model);
    QVERIFY(device);
    IID id;
    std::memcpy(id.bytes, iid.constData(), 16);
    void *out = reinterpret_cast<void *>(0x1);
    const int32_t result = device->QueryInterface(id, &out);
    if (found) {
        QCOMPARE(result, kZeltraOk);
        QVERIFY(out != nullptr);
        static_cast<IUnknown *>(out)->Release();
    } else {
        QVERIFY(result < 0);
        QVERIFY(out == nullptr);
    }
    QVERIFY(device->QueryInterface(id, nullptr) < 0);
}

void TestCardSimulator::valuesTheCardRefuses_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("item the card lacks") << "Ondavia Beacon Play" << "vicn" << QVariant(qint64(1));
    QTest::newRow("int written as a flag") << "Ondavia Meridian 4K" << "vicn" << QVariant(true);
    QTest::newRow("connection not on the card") << "Ondavia Meridian 4K" << "vicn" << QVariant(qint64(8));
    QTest::newRow("output connections beyond the card's") << "Ondavia Deckhand" << "vocn" << QVariant(qint64(16));
    QTest::newRow("no output connection") << "Ondavia Deckhand" << "vocn" << QVariant(qint64(0));
    QTest::newRow("mode the card cannot play") << "Ondavia Prism Analog" << "dvom" << QVariant(qint64(zeltraCode("4k25")));
    QTest::newRow("gain above range") << "Ondavia Prism Analog" << "iclg" << QVariant(1.5);
    QTest::newRow("not a number") << "Ondavia Prism Analog" << "micg" << QVariant(std::nan(""));
    QTest::newRow("note too long") << "Ondavia Meridian 4K" << "dila" << QVariant(QByteArray(4097, 'x'));
    QTest::newRow("not UTF-8") << "Ondavia Meridian 4K" << "dila" << QVariant(QByteArray("caf\xe9"));
}

void TestCardSimulator::valuesTheCardRefuses()
{
    QFETCH(QString, model);
    QFETCH(QString, item);
    QFETCH(QVariant, value);
    IZeltra *device = deviceByModel(model);
    QVERIFY(device);
    const uint32_t id = (uint32_t(item[0].toLatin1()) << 24) | (uint32_t(item[1].toLatin1()) << 16)
        | (uint32_t(item[2].toLatin1()) << 8) | uint32_t(item[3].toLatin1());
    NoticeCounter counter;
    auto notification = query<IZeltraNotification>(device, IID_IZeltraNotification);
    notification->Subscribe(kPref, &counter);
    auto configuration = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
    QVERIFY(configuration);

    int64_t intBefore = 0;
    double floatBefore = 0;
    const char *textBefore = nullptr;
    configuration->GetInt(id, &intBefore);
    configuration->GetFloat(id, &floatBefore);
    if (configuration->GetString(id, &textBefore) == kZeltraOk)
        takeString(textBefore);

    int32_t result = kZeltraOk;
    switch (int(value.type())) {
    case QVariant::Bool: result = configuration->SetFlag(id, value.toBool()); break;
    case QVariant::LongLong: result = configuration->SetInt(id, value.toLongLong()); break;
    case QVariant::Double: result = configuration->SetFloat(id, value.toDouble()); break;
    default: result = configuration->SetString(id, value.toByteArray().constData()); break;
    }
    QVERIFY2(result < 0, qPrintable(QString::number(result, 16)));

    int64_t intAfter = 0;
    double floatAfter = 0;
    configuration->GetInt(id, &intAfter);
    configuration->GetFloat(id, &floatAfter);
    QCOMPARE(intAfter, intBefore);
    QCOMPARE(floatAfter, floatBefore);
    QTest::qWait(50);
    QCOMPARE(counter.count(kPref), 0);

    // Reads of what the card lacks fail and leave the value alone.
    int64_t untouched = 1234;
    QVERIFY(configuration->GetInt(zeltraCode("zzzz"), &untouched) < 0);
    QCOMPARE(untouched, int64_t(1234));
    auto status = query<IZeltraStatus>(device, IID_IZeltraStatus);
    uint32_t size = 0;
    QVERIFY(status->GetBytes(zeltraCode("zzzz"), nullptr, &size) < 0);
    notification->Unsubscribe(kPref, &counter);
}

void TestCardSimulator::displayModes()
{
    IZeltra *device = deviceByModel("Ondavia Meridian 4K");
    auto output = query<IZeltraOutput>(device, IID_IZeltraOutput);
    QVERIFY(output);
    Ref<IZeltraDisplayModeIterator> iterator;
    QCOMPARE(output->GetDisplayModeIterator(reinterpret_cast<IZeltraDisplayModeIterator **>(iterator.out())), kZeltraOk);

    struct Seen { QString name; long width, height; int64_t duration, scale; uint32_t field; };
    QMap<uint32_t, Seen> modes;
    IZeltraDisplayMode *mode = nullptr;
    while (iterator->Next(&mode) == kZeltraOk) {
        const char *name = nullptr;
        QCOMPARE(mode->GetName(&name), kZeltraOk);
        Seen seen{takeString(name), mode->GetWidth(), mode->GetHeight(), 0, 0, mode->GetFieldDominance()};
        QCOMPARE(mode->GetFrameRate(&seen.duration, &seen.scale), kZeltraOk);
        QVERIFY(!modes.contains(mode->GetModeId()));
        modes.insert(mode->GetModeId(), seen);
        mode->Release();
    }
    QVERIFY(mode == nullptr);
    QVERIFY(iterator->Next(&mode) != kZeltraOk);

    const Seen ntsc = modes.value(zeltraCode("ntsc"));
    QCOMPARE(ntsc.width, 720L);
    QCOMPARE(ntsc.height, 486L);
    QCOMPARE(ntsc.field, kZeltraFieldLower);
    QCOMPARE(double(ntsc.scale) / double(ntsc.duration), 30000.0 / 1001.0);
    const Seen pal = modes.value(zeltraCode("pal "));
    QCOMPARE(pal.height, 576L);
    QCOMPARE(pal.field, kZeltraFieldUpper);
    const Seen p25 = modes.value(zeltraCode("Hp25"));
    QCOMPARE(p25.name, QString("1080p25"));
    QCOMPARE(p25.field, kZeltraFieldProgressive);
    const Seen i50 = modes.value(zeltraCode("Hi50"));
    QCOMPARE(i50.scale / i50.duration, int64_t(25)); // whole frames per second
    QCOMPARE(i50.field, kZeltraFieldUpper);
    const Seen k2 = modes.value(zeltraCode("2k24"));
    QCOMPARE(k2.width, 2048L);
    QCOMPARE(k2.height, 1080L);
    const Seen uhd = modes.value(zeltraCode("4k60"));
    QCOMPARE(uhd.width, 3840L);
    QCOMPARE(uhd.height, 2160L);
    QVERIFY(modes.contains(zeltraCode("H23d")));
    QVERIFY(!modes.contains(zeltraCode("iunk")));

    // Looking one mode up; an absent one fails.
    Ref<IZeltraDisplayMode> one;
    QCOMPARE(output->GetDisplayMode(zeltraCode("hp59"), reinterpret_cast<IZeltraDisplayMode **>(one.out())), kZeltraOk);
    QCOMPARE(one->GetWidth(), 1280L);
    QVERIFY(output->GetDisplayMode(zeltraCode("iunk"), reinterpret_cast<IZeltraDisplayMode **>(one.out())) < 0);
}

void TestCardSimulator::preferencesPersistAndRevert()
{
    const uint32_t label = zeltraCode("dila");
    const uint32_t idle = zeltraCode("voio");
    auto readLabel = [&](IZeltra *device) {
        auto configuration = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
        const char *text = nullptr;
        return configuration && configuration->GetString(label, &text) == kZeltraOk ? takeString(text) : QString("?");
    };

    IZeltra *device = deviceByModel("Ondavia Meridian 4K");
    NoticeCounter counter;
    auto notification = query<IZeltraNotification>(device, IID_IZeltraNotification);
    notification->Subscribe(kPref, &counter);
    {
        // Applied at once, visible through another session, announced.
        auto session = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
        QCOMPARE(session->SetString(label, "Edit bay 2"), kZeltraOk);
        QCOMPARE(session->SetInt(idle, zeltraCode("lafa")), kZeltraOk);
        QCOMPARE(readLabel(device), QString("Edit bay 2"));
        QTRY_COMPARE(counter.count(kPref), 2);
        counter.clear();
    }
    // Released without storing: back to the stored preferences.
    QCOMPARE(readLabel(device), QString(""));
    QTRY_COMPARE(counter.count(kPref), 1);

    {
        auto session = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
        QCOMPARE(session->SetString(label, "Edit bay 3"), kZeltraOk);
        QCOMPARE(session->StoreToPreferences(), kZeltraOk);
        // A change after storing is still undone on release.
        QCOMPARE(session->SetInt(idle, zeltraCode("lafa")), kZeltraOk);
    }
    QCOMPARE(readLabel(device), QString("Edit bay 3"));
    {
        auto session = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
        int64_t value = 0;
        QCOMPARE(session->GetInt(idle, &value), kZeltraOk);
        QCOMPARE(value, int64_t(zeltraCode("blac")));
    }
    // A session that only reads never reverts another's unstored change.
    {
        auto writer = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
        QCOMPARE(writer->SetString(label, "Unstored"), kZeltraOk);
        { auto reader = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration); }
        QCOMPARE(readLabel(device), QString("Unstored"));
    }
    notification->Unsubscribe(kPref, &counter);
    notification.reset();

    // Stored preferences survive a restart of the simulator, per card.
    m_library.restart();
    cleanup();
    QCOMPARE(readLabel(deviceByModel("Ondavia Meridian 4K")), QString("Edit bay 3"));
    QCOMPARE(readLabel(deviceByModel("Ondavia Prism Analog")), QString(""));
    const QStringList files = QDir(m_dir->filePath("config/zeltra-simulator")).entryList(QDir::Files);
    QCOMPARE(files.size(), 1);

    // A damaged preferences file is reported and the card starts from its
    // factory settings.
    QFile damaged(m_dir->filePath("config/zeltra-simulator/" + files.first()));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("{ \"strings\": ");
    damaged.close();
    cleanup();
    const QByteArray errors = captureStderr([&] {
        m_library.restart();
        QCOMPARE(readLabel(deviceByModel("Ondavia Meridian 4K")), QString(""));
    });
    QVERIFY2(errors.contains(files.first().toUtf8()), errors.constData());
    QCOMPARE(errors.count('\n'), 1);
}

void TestCardSimulator::pairedSubDevicesStoreTogether()
{
    // The second sub-device's window changes a setting of the first (which
    // owns their connectors) and is saved: the change is kept with the pair.
    const uint32_t passThrough = zeltraCode("cptm");
    IZeltra *first = nullptr;
    IZeltra *second = nullptr;
    for (IZeltra *device : m_library.devices()) {
        m_held.push_back(device);
        if (modelOf(device) == "Ondavia Duo Link")
            (attributeInt(device, zeltraCode("subi")) == 0 ? first : second) = device;
    }
    QVERIFY(first && second);
    QCOMPARE(attributeInt(second, zeltraCode("ppid")), attributeInt(first, zeltraCode("peid")));
    {
        auto viaSecond = query<IZeltraConfiguration>(first, IID_IZeltraConfiguration);
        auto own = query<IZeltraConfiguration>(second, IID_IZeltraConfiguration);
        QCOMPARE(viaSecond->SetInt(passThrough, zeltraCode("pcln")), kZeltraOk);
        QCOMPARE(own->StoreToPreferences(), kZeltraOk);
    }

    cleanup();
    m_library.restart();
    int64_t mode = 0;
    for (IZeltra *device : m_library.devices()) {
        m_held.push_back(device);
        if (modelOf(device) == "Ondavia Duo Link" && attributeInt(device, zeltraCode("subi")) == 0) {
            auto configuration = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
            QCOMPARE(configuration->GetInt(passThrough, &mode), kZeltraOk);
            QCOMPARE(mode, int64_t(zeltraCode("pcln")));
        }
    }
}

void TestCardSimulator::duplexChangeMovesThePartner()
{
    // Full duplex gives the first sub-device both connectors: the second
    // leaves (a removal), half duplex brings it back (an arrival), and the
    // card keeps the mode without a store, also across a restart.
    const uint32_t duplex = zeltraCode("dupx");
    DeviceWatcher watcher;
    Ref<IZeltraDiscovery> discovery(m_library.createDiscovery());
    QCOMPARE(discovery->InstallDeviceNotifications(&watcher), kZeltraOk);
    QTRY_COMPARE(watcher.count(), kBuiltInCards);
    IZeltra *first = nullptr;
    for (const auto &event : watcher.snapshot()) {
        if (event.model == "Ondavia Duo Link" && attributeInt(event.device, zeltraCode("subi")) == 0)
            first = event.device;
    }
    QVERIFY(first);
    auto countDuoLinks = [this] {
        int count = 0;
        for (IZeltra *device : m_library.devices()) {
            count += modelOf(device) == "Ondavia Duo Link";
            device->Release();
        }
        return count;
    };
    {
        auto configuration = query<IZeltraConfiguration>(first, IID_IZeltraConfiguration);
        QCOMPARE(configuration->SetInt(duplex, zeltraCode("fdup")), kZeltraOk);
        QTRY_COMPARE(watcher.count(), kBuiltInCards + 1);
        QVERIFY(!watcher.snapshot().back().arrived);
        QCOMPARE(countDuoLinks(), 1);
    }
    // Released without a store: the duplex mode stays.
    QCOMPARE(countDuoLinks(), 1);
    discovery->UninstallDeviceNotifications();
    watcher.releaseDevices();
    discovery.reset();
    cleanup();
    m_library.restart();
    QCOMPARE(countDuoLinks(), 1);
    for (IZeltra *device : m_library.devices()) {
        m_held.push_back(device);
        if (modelOf(device) == "Ondavia Duo Link") {
            auto configuration = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
            QCOMPARE(configuration->SetInt(duplex, zeltraCode("hdup")), kZeltraOk);
        }
    }
    QTRY_COMPARE(countDuoLinks(), 2);
}

void TestCardSimulator::noticesReachEverySubscriber()
{
    DeviceWatcher watcher;
    Ref<IZeltraDiscovery> discovery(m_library.createDiscovery());
    discovery->InstallDeviceNotifications(&watcher);
    QTRY_COMPARE(watcher.count(), kBuiltInCards);

    IZeltra *device = deviceByModel("Ondavia Deckhand");
    // Two clients of the same card, as two windows of a host would be.
    NoticeCounter first, second;
    auto firstNotification = query<IZeltraNotification>(device, IID_IZeltraNotification);
    auto secondNotification = query<IZeltraNotification>(device, IID_IZeltraNotification);
    for (auto *n : {firstNotification.p, secondNotification.p}) {
        NoticeCounter *c = n == firstNotification.p ? &first : &second;
        QCOMPARE(n->Subscribe(kPref, c), kZeltraOk);
        QCOMPARE(n->Subscribe(kStat, c), kZeltraOk);
    }

    auto configuration = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
    QCOMPARE(configuration->SetInt(zeltraCode("dcco"), 2), kZeltraOk);
    QTRY_COMPARE(first.count(kPref), 1);
    QTRY_COMPARE(second.count(kPref), 1);
    // Writing the value it already has is no change.
    QCOMPARE(configuration->SetInt(zeltraCode("dcco"), 2), kZeltraOk);

    // The idle output follows the default output mode, and says so.
    QCOMPARE(configuration->SetInt(zeltraCode("dvom"), zeltraCode("Hp25")), kZeltraOk);
    QTRY_COMPARE(first.count(kStat), 1);
    auto status = query<IZeltraStatus>(device, IID_IZeltraStatus);
    int64_t current = 0;
    QCOMPARE(status->GetInt(zeltraCode("cvom"), &current), kZeltraOk);
    QCOMPARE(current, int64_t(zeltraCode("Hp25")));

    // Status driven from outside reaches both; once unsubscribed, only one.
    first.clear();
    second.clear();
    QCOMPARE(simctl({"signal", "9", "off"}), 0);
    QCOMPARE(first.count(kStat), 2); // signal present and detected format
    QCOMPARE(second.count(kStat), 2);
    bool signal = true;
    QCOMPARE(status->GetFlag(zeltraCode("visl"), &signal), kZeltraOk);
    QVERIFY(!signal);

    QCOMPARE(secondNotification->Unsubscribe(kStat, &second), kZeltraOk);
    QCOMPARE(simctl({"reference", "9", "unlocked"}), 0);
    QCOMPARE(first.count(kStat), 3);
    QCOMPARE(second.count(kStat), 2);
    QCOMPARE(first.count(kPref), 0); // status changes are not configuration changes
    QCOMPARE(second.count(kPref), 0);

    firstNotification.reset();
    secondNotification.reset();
    QCOMPARE(first.references.load(), 1);
    QCOMPARE(second.references.load(), 1);
    discovery->UninstallDeviceNotifications();
    watcher.releaseDevices();
}

void TestCardSimulator::unsubscribeFromInsideANotice()
{
    IZeltra *device = deviceByModel("Ondavia Meridian 4K");
    auto notification = query<IZeltraNotification>(device, IID_IZeltraNotification);
    NoticeCounter counter;
    std::atomic<int32_t> result{1};
    counter.onNotify = [&] { result = notification->Unsubscribe(kStat, &counter); };
    QCOMPARE(notification->Subscribe(kStat, &counter), kZeltraOk);
    QCOMPARE(simctl({"busy", "0", "capture"}), 0);
    QTRY_COMPARE(result.load(), kZeltraOk);
    simctl({"busy", "0", "idle"});
    QCOMPARE(counter.count(kStat), 1);
    QCOMPARE(counter.references.load(), 1);
}

void TestCardSimulator::noNoticeAfterUnsubscribeReturns()
{
    // A host deletes its callback as soon as Unsubscribe returns, while the
    // library's thread may be delivering to it: that delivery must be over.
    IZeltra *device = deviceByModel("Ondavia Prism Analog");
    auto configuration = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        auto own = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
        for (int i = 0; !stop; ++i) {
            own->SetFloat(zeltraCode("hvol"), (i % 2) ? 0.25 : 0.5);
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
        own->StoreToPreferences();
    });
    std::atomic<int> late{0};
    std::atomic<int> delivered{0};
    for (int round = 0; round < 200; ++round) {
        auto notification = query<IZeltraNotification>(device, IID_IZeltraNotification);
        NoticeCounter counter;
        std::atomic<bool> gone{false};
        counter.onNotify = [&] {
            if (gone)
                ++late;
            ++delivered;
            std::this_thread::yield();
        };
        QCOMPARE(notification->Subscribe(kPref, &counter), kZeltraOk);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        QCOMPARE(notification->Unsubscribe(kPref, &counter), kZeltraOk);
        gone = true;
        QCOMPARE(counter.references.load(), 1);
    }
    stop = true;
    writer.join();
    QCOMPARE(late.load(), 0);
    QVERIFY(delivered.load() > 0);
}

void TestCardSimulator::twoHostsSeeTheSameCards()
{
    DeviceWatcher first, second;
    Ref<IZeltraDiscovery> one(m_library.createDiscovery());
    Ref<IZeltraDiscovery> two(m_library.createDiscovery());
    QCOMPARE(one->InstallDeviceNotifications(&first), kZeltraOk);
    QCOMPARE(two->InstallDeviceNotifications(&second), kZeltraOk);
    QTRY_COMPARE(first.count(), kBuiltInCards);
    QTRY_COMPARE(second.count(), kBuiltInCards);
    QCOMPARE(first.snapshot()[5].device, second.snapshot()[5].device);

    QCOMPARE(simctl({"unplug", "5"}), 0);
    QCOMPARE(first.count(), kBuiltInCards + 1);
    QCOMPARE(second.count(), kBuiltInCards + 1);

    // The host that forgets to uninstall is uninstalled with its last reference.
    one.reset();
    QCOMPARE(first.references.load(), 0);
    simctl({"plug", "5"});
    QCOMPARE(first.count(), kBuiltInCards + 1);
    QCOMPARE(second.count(), kBuiltInCards + 2);
    QCOMPARE(second.snapshot().back().model, QString("Ondavia Quartet"));
    two->UninstallDeviceNotifications();
    first.releaseDevices();
    second.releaseDevices();
}

void TestCardSimulator::storeFailureIsReported()
{
    // The configuration folder cannot be created: a file is in the way.
    QFile blocker(m_dir->filePath("config"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // Starting up has nothing to complain about: nothing was stored yet.
    IZeltra *device = nullptr;
    QCOMPARE(captureStderr([&] { device = deviceByModel("Ondavia Deckhand"); }), QByteArray());
    QVERIFY(device);
    auto configuration = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
    QCOMPARE(configuration->SetInt(zeltraCode("dcco"), 2), kZeltraOk);
    int32_t result = kZeltraOk;
    const QByteArray errors = captureStderr([&] { result = configuration->StoreToPreferences(); });
    QVERIFY(result < 0);
    QVERIFY2(errors.contains("Ondavia Deckhand") && errors.contains("config"), errors.constData());
    // Nothing was stored, so releasing the session undoes the change.
    configuration.reset();
    auto again = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
    int64_t port = 0;
    QCOMPARE(again->GetInt(zeltraCode("dcco"), &port), kZeltraOk);
    QCOMPARE(port, int64_t(1));
}

void TestCardSimulator::ownCardDescription()
{
    writeCards(R"json({
      "apiVersion": "9.1.0",
      "cards": [
        {"model": "Bench A", "display": "Bench A (left)",
         "attributes": {"ints": {"peid": "0xfeedface00000001", "vios": 1, "dbus": "usb "}},
         "configuration": {"ints": {"vicm": {"value": "none", "allowed": ["none", "lbup"]}},
                           "floats": {"micg": {"value": 10, "min": 0, "max": 64}}},
         "status": {"bytes": {"edid": "00 ff ff ff"}},
         "inputModes": ["Hp25", {"id": "my01", "name": "1080p12", "width": 1920, "height": 1080,
                                 "frameDuration": 1000, "timeScale": 12000, "field": "prog"}]},
        {"model": "Bench B", "present": false, "attributes": {"ints": {"vios": 2}},
         "configuration": {"ints": {"dvom": {"value": "pal ", "allowed": "outputModes"}}},
         "outputModes": ["pal ", "ntsc"]}
      ]})json");
    QCOMPARE(m_library.deviceCount(), size_t(1));
    IZeltra *a = deviceByModel("Bench A");
    QVERIFY(a);
    const char *name = nullptr;
    QCOMPARE(a->GetDisplayName(&name), kZeltraOk);
    QCOMPARE(takeString(name), QString("Bench A (left)"));
    QCOMPARE(uint64_t(attributeInt(a, zeltraCode("peid"))), uint64_t(0xfeedface00000001ull));
    QCOMPARE(attributeInt(a, zeltraCode("dbus")), int64_t(zeltraCode("usb ")));

    auto input = query<IZeltraInput>(a, IID_IZeltraInput);
    Ref<IZeltraDisplayMode> mode;
    QCOMPARE(input->GetDisplayMode(zeltraCode("my01"), reinterpret_cast<IZeltraDisplayMode **>(mode.out())), kZeltraOk);
    int64_t duration = 0, scale = 0;
    mode->GetFrameRate(&duration, &scale);
    QCOMPARE(scale / duration, int64_t(12));
    auto configuration = query<IZeltraConfiguration>(a, IID_IZeltraConfiguration);
    QCOMPARE(configuration->SetInt(zeltraCode("vicm"), zeltraCode("lbup")), kZeltraOk);
    QVERIFY(configuration->SetInt(zeltraCode("vicm"), zeltraCode("amup")) < 0);
    QVERIFY(configuration->SetFloat(zeltraCode("micg"), 65) < 0);
    auto status = query<IZeltraStatus>(a, IID_IZeltraStatus);
    uint32_t size = 0;
    QCOMPARE(status->GetBytes(zeltraCode("edid"), nullptr, &size), kZeltraOk);
    QCOMPARE(size, 4u);

    // A card that starts unplugged arrives when plugged in.
    QCOMPARE(simctl({"plug", "1"}), 0);
    IZeltra *b = deviceByModel("Bench B");
    QVERIFY(b);
    auto bConfiguration = query<IZeltraConfiguration>(b, IID_IZeltraConfiguration);
    QCOMPARE(bConfiguration->SetInt(zeltraCode("dvom"), zeltraCode("ntsc")), kZeltraOk);
    QVERIFY(bConfiguration->SetInt(zeltraCode("dvom"), zeltraCode("Hp25")) < 0);

    // Reading back what reached the card: accepted values, not refused ones,
    // whichever group holds the item.
    const struct { const char *card, *item, *answer; } readBack[] = {
        {"0", "vicm", "1818391920"}, // 'lbup'
        {"0", "micg", "10"},
        {"0", "edid", "00ffffff"},
        {"0", "vios", "1"},
        {"1", "dvom", "1853125475"}, // 'ntsc'
    };
    QByteArray answer;
    for (const auto &row : readBack) {
        QCOMPARE(simctl({"get", row.card, row.item}, &answer), 0);
        QCOMPARE(answer.trimmed(), QByteArray(row.answer));
    }
    QCOMPARE(simctl({"config", "0"}, &answer), 0);
    QVERIFY(answer.contains("vicm (int) = 1818391920"));
    QCOMPARE(simctl({"get", "0", "nope"}), 1);

    Ref<IZeltraAPIInformation> information(m_library.createInformation());
    const char *version = nullptr;
    QCOMPARE(information->GetString(kZeltraInformationVersion, &version), kZeltraOk);
    QCOMPARE(takeString(version), QString("9.1.0"));
}

void TestCardSimulator::hotPlugThroughSimctl()
{
    DeviceWatcher watcher;
    Ref<IZeltraDiscovery> discovery(m_library.createDiscovery());
    discovery->InstallDeviceNotifications(&watcher);
    QTRY_COMPARE(watcher.count(), kBuiltInCards);
    IZeltra *first = watcher.snapshot().front().device;

    QByteArray list;
    QCOMPARE(simctl({"list"}, &list), 0);
    QVERIFY2(list.contains("Ondavia Meridian 4K") && list.contains("unplugged") == false, list.constData());

    QCOMPARE(simctl({"unplug", "0"}), 0);
    auto events = watcher.snapshot();
    QCOMPARE(events.size(), kBuiltInCards + 1);
    QVERIFY(!events.back().arrived);
    QCOMPARE(events.back().device, first); // the same object that arrived
    // The unplugged card's object stays valid, but answers nothing.
    const char *name = nullptr;
    QVERIFY(first->GetModelName(&name) < 0);
    void *attributes = nullptr;
    QVERIFY(first->QueryInterface(IID_IZeltraAttributes, &attributes) < 0);
    QCOMPARE(m_library.deviceCount(), kBuiltInCards - 1);

    // Unplugging twice changes nothing.
    QCOMPARE(simctl({"unplug", "0"}), 0);
    QCOMPARE(watcher.count(), kBuiltInCards + 1);

    QCOMPARE(simctl({"plug", "0"}), 0);
    events = watcher.snapshot();
    QCOMPARE(events.size(), kBuiltInCards + 2);
    QVERIFY(events.back().arrived);
    QVERIFY(events.back().device != first);
    QCOMPARE(events.back().model, QString("Ondavia Meridian 4K"));

    // By persistent id, and every card at once.
    QCOMPARE(simctl({"unplug", "0x4f44560000004301"}), 0);
    QCOMPARE(watcher.count(), kBuiltInCards + 3);
    simctl({"unplug", "all"});
    QCOMPARE(watcher.count(), 2 * kBuiltInCards + 2);
    QCOMPARE(m_library.deviceCount(), size_t(0));
    simctl({"plug", "all"});
    QCOMPARE(watcher.count(), 3 * kBuiltInCards + 2);

    // Live status of a running card.
    IZeltra *meridian = deviceByModel("Ondavia Meridian 4K");
    QCOMPARE(simctl({"format", "0", "pal "}), 0);
    auto status = query<IZeltraStatus>(meridian, IID_IZeltraStatus);
    int64_t mode = 0;
    QCOMPARE(status->GetInt(zeltraCode("dvim"), &mode), kZeltraOk);
    QCOMPARE(mode, int64_t(zeltraCode("pal ")));
    QCOMPARE(simctl({"reference", "0", "locked", "Hi50"}), 0);
    bool locked = false;
    QCOMPARE(status->GetFlag(zeltraCode("refl"), &locked), kZeltraOk);
    QVERIFY(locked);
    QCOMPARE(simctl({"set", "0", "pwid", "8"}), 0);
    QCOMPARE(status->GetInt(zeltraCode("pwid"), &mode), kZeltraOk);
    QCOMPARE(mode, int64_t(8));
    uint32_t size = 0;
    QCOMPARE(status->GetBytes(zeltraCode("edid"), nullptr, &size), kZeltraOk);
    QCOMPARE(size, 128u);
    QByteArray edid(int(size), '\0');
    uint32_t small = 10;
    QVERIFY(status->GetBytes(zeltraCode("edid"), edid.data(), &small) < 0);
    QCOMPARE(small, 128u);
    QCOMPARE(status->GetBytes(zeltraCode("edid"), edid.data(), &size), kZeltraOk);
    QVERIFY(edid.startsWith(QByteArray::fromHex("00ffffffffffff00")));

    discovery->UninstallDeviceNotifications();
    QCOMPARE(watcher.references.load(), 0);
    // Uninstalled: nothing more arrives.
    simctl({"unplug", "1"});
    QCOMPARE(watcher.count(), 3 * kBuiltInCards + 2);
    watcher.releaseDevices();
}

void TestCardSimulator::simctlErrors()
{
    m_library.deviceCount(); // starts the simulator
    const struct { QStringList arguments; int code; const char *says; } refused[] = {
        {{"unplug", "99"}, 1, "no card 99"},
        {{"format", "0", "zzzz"}, 1, "no mode"},
        {{"set", "0", "visl", "maybe"}, 1, ""},
        {{"set", "0", "nope", "1"}, 1, ""},
        {{"dance", "0"}, 1, ""},
        {{"--pid", "1", "list"}, 2, ""},
    };
    QByteArray out;
    for (const auto &row : refused) {
        QCOMPARE(simctl(row.arguments, &out), row.code);
        QVERIFY2(out.contains(row.says), out.constData());
    }

    // A socket left behind by a process that is gone is cleared away.
    const QString stale = m_dir->filePath("runtime/zeltra-simulator/999999999.sock");
    QFile(stale).open(QIODevice::WriteOnly);
    QCOMPARE(simctl({"list"}), 0);
    QVERIFY(!QFile::exists(stale));

    // With no simulator running there is nobody to talk to.
    m_library.restart();
    QCOMPARE(simctl({"list"}, &out), 2);
    QVERIFY2(out.contains("no running card simulator"), out.constData());
}

void TestCardSimulator::malformedDescription_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArray>("reason");
    QTest::newRow("not JSON") << QByteArray("{\"cards\": [") << QByteArray("not valid JSON");
    QTest::newRow("no card list") << QByteArray("{\"cards\": 3}") << QByteArray("\"cards\" list");
    QTest::newRow("unknown key") << QByteArray(R"({"cards": [{"model": "X", "colour": "red"}]})") << QByteArray("cards[0]: unknown key \"colour\"");
    QTest::newRow("bad code") << QByteArray(R"({"cards": [{"model": "X", "attributes": {"ints": {"toolong": 1}}}]})") << QByteArray("not a four-character code");
    QTest::newRow("wrong type") << QByteArray(R"({"cards": [{"model": "X", "attributes": {"flags": {"infd": 1}}}]})") << QByteArray("attributes.flags.infd: expected true or false");
    QTest::newRow("unknown mode") << QByteArray(R"({"cards": [{"model": "X", "inputModes": ["qqqq"]}]})") << QByteArray("not a known display mode");
    QTest::newRow("same persistent id") << QByteArray(R"({"cards": [{"model": "A", "attributes": {"ints": {"peid": 7}}}, {"model": "B", "attributes": {"ints": {"peid": 7}}}]})") << QByteArray("cards[1].attributes.peid");
    QTest::newRow("missing file") << QByteArray() << QByteArray("cannot be read: no such file");
    QTest::newRow("a folder") << QByteArray("<folder>") << QByteArray("not a regular file");
    QTest::newRow("a FIFO, which must not block") << QByteArray("<fifo>") << QByteArray("not a regular file");
}

void TestCardSimulator::malformedDescription()
{
    QFETCH(QByteArray, json);
    QFETCH(QByteArray, reason);
    const QByteArray errors = captureStderr([&] {
        if (json.isEmpty() || json.startsWith('<')) {
            const QString path = m_dir->filePath("cards.json");
            if (json == "<folder>")
                QDir().mkpath(path);
            if (json == "<fifo>")
                QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            qputenv("ZELTRA_SIMULATOR_CARDS", QFile::encodeName(path));
            m_library.restart();
        } else {
            writeCards(json);
        }
        DeviceWatcher watcher;
        Ref<IZeltraDiscovery> discovery(m_library.createDiscovery());
        QVERIFY(discovery);
        QCOMPARE(discovery->InstallDeviceNotifications(&watcher), kZeltraOk);
        QCOMPARE(m_library.deviceCount(), size_t(0));
        QTest::qWait(50);
        QCOMPARE(watcher.count(), size_t(0));
        discovery->UninstallDeviceNotifications();
        // Asking again reports nothing more.
        m_library.deviceCount();
    });
    QVERIFY2(errors.contains(qgetenv("ZELTRA_SIMULATOR_CARDS")), errors.constData());
    QVERIFY2(errors.contains(reason), errors.constData());
    QCOMPARE(errors.count('\n'), 1);
}

void TestCardSimulator::unloadWhileNotificationsInstalled()
{
    // A host that never uninstalls and then unloads the library: the
    // library's thread ends, its socket goes, and the host is not called.
    // Both kept for the process's life, as such a host keeps them.
    static DeviceWatcher watcher;
    static IZeltraDiscovery *discovery = m_library.createDiscovery();
    discovery->InstallDeviceNotifications(&watcher);
    QTRY_COMPARE(watcher.count(), kBuiltInCards);
    const QString socket = m_dir->filePath(QString("runtime/zeltra-simulator/%1.sock").arg(getpid()));
    QVERIFY(QFile::exists(socket));
    watcher.releaseDevices(); // their code is about to go away
    QCOMPARE(dlclose(m_library.handle), 0);
    m_library = Library();
    QVERIFY(!QFile::exists(socket));
    QVERIFY(dlopen(CARDSIM_LIBRARY, RTLD_NOW | RTLD_NOLOAD) == nullptr);
    QTest::qWait(50);
    QCOMPARE(watcher.count(), size_t(0));
}

namespace {

// Another program on the same card set (peer.cpp), asked one line at a time.
class Peer
{
public:
    bool start()
    {
        m_process.start(CARDSIM_PEER, QStringList());
        return m_process.waitForStarted() && next(10000) == "ready";
    }
    QString ask(const QString &command)
    {
        m_process.write(command.toUtf8() + "\n");
        return next(10000);
    }
    // Waits for a notice line.
    bool noticed(const QString &notice, int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_notices.contains(notice) && timer.elapsed() < ms)
            read(50);
        return m_notices.contains(notice);
    }
    QProcess &process() { return m_process; }
    ~Peer()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }

private:
    QString next(int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (m_answers.isEmpty() && timer.elapsed() < ms && m_process.state() == QProcess::Running)
            read(100);
        return m_answers.isEmpty() ? QString("(no answer)") : m_answers.takeFirst();
    }
    void read(int ms)
    {
        if (!m_process.canReadLine())
            m_process.waitForReadyRead(ms);
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            (line.startsWith("notice ") ? m_notices : m_answers).append(line);
        }
    }
    QProcess m_process;
    QStringList m_answers;
    QStringList m_notices;
};

const QString kDeckhand = "0x4f44560000004801";

QString labelOf(IZeltra *device)
{
    auto configuration = query<IZeltraConfiguration>(device, IID_IZeltraConfiguration);
    const char *text = nullptr;
    return configuration && configuration->GetString(zeltraCode("dila"), &text) == kZeltraOk ? takeString(text) : QString("?");
}

} // namespace

void TestCardSimulator::twoProcessesShareOneSet()
{
    IZeltra *deckhand = deviceByModel("Ondavia Deckhand");
    NoticeCounter counter;
    auto notification = query<IZeltraNotification>(deckhand, IID_IZeltraNotification);
    QCOMPARE(notification->Subscribe(kPref, &counter), kZeltraOk);
    Peer peer;
    QVERIFY(peer.start());

    // A change in either program is read and announced in the other within a second.
    QCOMPARE(peer.ask("set " + kDeckhand + " dila Bay 7"), QString("0"));
    QTRY_COMPARE_WITH_TIMEOUT(labelOf(deckhand), QString("Bay 7"), 1000);
    QTRY_VERIFY_WITH_TIMEOUT(counter.count(kPref) >= 1, 1000);
    QCOMPARE(peer.ask("watch " + kDeckhand), QString("0"));
    auto session = query<IZeltraConfiguration>(deckhand, IID_IZeltraConfiguration);
    QCOMPARE(session->SetString(zeltraCode("dila"), "Bay 8"), kZeltraOk);
    QVERIFY(peer.noticed("notice pref dila", 1000));
    QCOMPARE(peer.ask("get " + kDeckhand + " dila"), QString("Bay 8"));

    // zeltra-simctl reaches the one set once, and both programs see its plugging.
    QByteArray out;
    QCOMPARE(simctl({"list"}, &out), 0);
    QVERIFY2(!out.contains('['), out.constData());
    QCOMPARE(simctl({"unplug", "9"}), 0);
    QCOMPARE(m_library.deviceCount(), kBuiltInCards - 1);
    QCOMPARE(peer.ask("count"), QString::number(kBuiltInCards - 1));
    QCOMPARE(simctl({"plug", "9"}), 0);
    QCOMPARE(m_library.deviceCount(), kBuiltInCards);
    QCOMPARE(peer.ask("count"), QString::number(kBuiltInCards));
    notification->Unsubscribe(kPref, &counter);
}

void TestCardSimulator::unstoredChangesEndWithTheWriter_data()
{
    QTest::addColumn<QString>("ending");
    QTest::newRow("session released") << "release";
    QTest::newRow("program ends") << "quit";
    QTest::newRow("program killed") << "kill";
}

void TestCardSimulator::unstoredChangesEndWithTheWriter()
{
    QFETCH(QString, ending);
    IZeltra *deckhand = deviceByModel("Ondavia Deckhand");
    {
        Peer writer;
        QVERIFY(writer.start());
        QCOMPARE(writer.ask("set " + kDeckhand + " dila Stored"), QString("0"));
        QCOMPARE(writer.ask("store " + kDeckhand), QString("0"));
        QCOMPARE(writer.ask("set " + kDeckhand + " dila Unstored"), QString("0"));
        QTRY_COMPARE_WITH_TIMEOUT(labelOf(deckhand), QString("Unstored"), 1000);
        if (ending == "release") {
            QCOMPARE(writer.ask("release " + kDeckhand), QString("0"));
        } else {
            if (ending == "kill")
                writer.process().kill();
            else
                writer.process().closeWriteChannel();
            QVERIFY(writer.process().waitForFinished(5000));
        }
        QTRY_COMPARE_WITH_TIMEOUT(labelOf(deckhand), QString("Stored"), 2000);
    }
    // The set outlives the writer, whatever its end: a new program reads
    // what was stored and zeltra-simctl still reaches it.
    Peer next;
    QVERIFY(next.start());
    QCOMPARE(next.ask("get " + kDeckhand + " dila"), QString("Stored"));
    QCOMPARE(simctl({"get", "9", "dila"}), 0);
}

void TestCardSimulator::killedDaemonIsReplaced()
{
    DeviceWatcher watcher;
    Ref<IZeltraDiscovery> discovery(m_library.createDiscovery());
    QCOMPARE(discovery->InstallDeviceNotifications(&watcher), kZeltraOk);
    QTRY_COMPARE(watcher.count(), kBuiltInCards);
    const QStringList pids = QDir(m_dir->filePath("runtime/zeltra-simulator/sets")).entryList({"*.pid"});
    QCOMPARE(pids.size(), 1);
    QFile pidFile(m_dir->filePath("runtime/zeltra-simulator/sets/" + pids.first()));
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    const pid_t daemon = pid_t(pidFile.readAll().trimmed().toInt());
    QVERIFY(daemon > 0);

    // The cards leave with the daemon and come back with the one started in
    // its place, as new arrivals that answer again.
    const QByteArray errors = captureStderr([&] {
        QCOMPARE(::kill(daemon, SIGKILL), 0);
        QTRY_COMPARE_WITH_TIMEOUT(watcher.count(), 3 * kBuiltInCards, 10000);
    });
    QVERIFY2(errors.contains("went away"), errors.constData());
    IZeltra *deckhand = deviceByModel("Ondavia Deckhand");
    auto session = query<IZeltraConfiguration>(deckhand, IID_IZeltraConfiguration);
    QCOMPARE(session->SetString(zeltraCode("dila"), "Back"), kZeltraOk);
    QCOMPARE(simctl({"get", "9", "dila"}), 0);
    discovery->UninstallDeviceNotifications();
    watcher.releaseDevices();
}

void TestCardSimulator::daemonDropsBadMessages_data()
{
    // What a stray or broken program might send the daemon; <key> is the set's.
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("framed"); // with the four-byte length before it
    const QByteArray hello = R"({"op":"hello","version":1,"key":"<key>","pid":1})";
    auto frame = [](const QByteArray &json) {
        const quint32 n = quint32(json.size());
        return QByteArray(1, char(n >> 24)) + char(n >> 16) + char(n >> 8) + char(n) + json;
    };
    QTest::newRow("length beyond the limit") << QByteArray("\xff\xff\xff\xff{}") << false;
    QTest::newRow("not JSON") << QByteArray("{\"op\": ") << true;
    QTest::newRow("not an object") << QByteArray("[1, 2]") << true;
    QTest::newRow("a request before hello") << QByteArray(R"({"op":"store","id":1,"card":0,"plug":1})") << true;
    QTest::newRow("another set's key") << QByteArray(R"({"op":"hello","version":1,"key":"0000000000000000","pid":1})") << true;
    QTest::newRow("no such card") << frame(hello) + frame(R"({"op":"set","id":1,"card":99,"plug":1,"session":1,"item":"dila","value":"x"})") << false;
    QTest::newRow("a field of the wrong kind") << frame(hello) + frame(R"({"op":"store","id":"one","card":0,"plug":1})") << false;
    QTest::newRow("an unknown request") << frame(hello) + frame(R"({"op":"format","id":1})") << false;
}

void TestCardSimulator::daemonDropsBadMessages()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, framed);
    IZeltra *deckhand = deviceByModel("Ondavia Deckhand");
    const QDir sets(m_dir->filePath("runtime/zeltra-simulator/sets"));
    const QStringList links = sets.entryList({"*.link"}, QDir::System);
    QCOMPARE(links.size(), 1);
    payload.replace("<key>", links.first().section('.', 0, 0).toLatin1());
    if (framed) {
        const quint32 n = quint32(payload.size());
        payload.prepend(QByteArray(1, char(n)));
        payload.prepend(char(n >> 8));
        payload.prepend(char(n >> 16));
        payload.prepend(char(n >> 24));
    }
    QLocalSocket stray;
    stray.connectToServer(sets.filePath(links.first()));
    QVERIFY(stray.waitForConnected(2000));
    stray.write(payload);
    QVERIFY(stray.waitForBytesWritten(2000));
    // The daemon hangs up on it, and goes on serving the set.
    QVERIFY(stray.state() == QLocalSocket::UnconnectedState || stray.waitForDisconnected(5000));
    auto session = query<IZeltraConfiguration>(deckhand, IID_IZeltraConfiguration);
    QCOMPARE(session->SetString(zeltraCode("dila"), "Still here"), kZeltraOk);
    QCOMPARE(labelOf(deckhand), QString("Still here"));
}

QTEST_GUILESS_MAIN(TestCardSimulator)
#include "tst_cardsim.moc"
