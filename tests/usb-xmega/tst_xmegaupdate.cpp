// Deciding what a unit needs and carrying the update out, against the
// emulated unit on the in-process bus: version reads, queueing, task
// progress, reboots, header-last EEPROM writes and injected faults.
#include "appimage.h"
#include "devicemanager.h"
#include "filestore.h"
#include "ondaviaxmegadevice.h"
#include "ondaviaxmegausbdevice.h"
#include "taskqueue.h"
#include "unitrig.h"
#include "xmegafirmwareupdater.h"

#include <QtTest>

#include <chrono>
#include <thread>

using xmegasim::FaultKind;
using xmegasim::UnitConfig;
using xmegasim::UnitFault;
using xmegasim::XmegaUnit;
using Entry = XmegaUnit::LogEntry;
using TestImages::Part;

namespace {

constexpr uint32_t kUnknown = 0xFFFFFFFF;

size_t countRequests(const XmegaUnit& unit, uint8_t code, bool withData = false)
{
    size_t n = 0;
    for (const Entry& e : unit.log())
        if (e.kind == Entry::Control && e.request == code && (e.requestType & 0x60) == 0x40
            && (!withData || e.length))
            ++n;
    return n;
}

size_t bulkOutTraffic(const XmegaUnit& unit)
{
    size_t n = 0;
    for (const Entry& e : unit.log())
        n += e.kind == Entry::BulkOut ? 1 : 0;
    return n;
}

int64_t msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// One unit, its packages and the updater's view of it.
class Bench
{
public:
    explicit Bench(const UnitConfig& config = UnitConfig())
        : rig(config)
    {
        store.addPath(dir.path().toStdString());
    }

    XmegaUnit& unit() { return rig.unit(); }

    // What the unit runs now: application version and FPGA image.
    void loadUnit(uint32_t appVersion, const std::vector<uint8_t>& fpga)
    {
        unit().loadApplication(xmegasim::AppImage::build(appVersion, 6000, 1));
        unit().setEepromContents(0, 0, fpga);
    }

    bool addPackage(const QString& name, const std::vector<Part>& parts)
    {
        return TestImages::writePackage(dir.filePath(name).toStdString(), parts);
    }

    static std::vector<Part> standardParts(uint32_t appVersion, uint8_t fpgaVersion, bool compress = false)
    {
        Part app;
        app.resourceId = 0;
        app.version = appVersion;
        app.data = xmegasim::AppImage::build(appVersion, 6000, 2);
        app.compress = compress;
        Part fpga;
        fpga.resourceId = 1;
        fpga.version = fpgaVersion;
        fpga.data = TestImages::fpga(fpgaVersion, 20000, 3);
        fpga.compress = compress;
        return {app, fpga};
    }

    // Creates the Device and lets the device manager hold it, as the
    // application does; null when creation fails.
    std::shared_ptr<OndaviaXmegaDevice> create(const FirmwarePart* parts = nullptr)
    {
        if (!rig.waitForDevice(2000))
            return nullptr;
        std::unique_ptr<OndaviaXmegaDevice> made = OndaviaXmegaDevice::Create(&store, rig.device(), parts);
        if (!made)
            return nullptr;
        const std::string id = made->uniqueID();
        std::unique_ptr<Device> owned(made.release());
        if (!DeviceManager::instance().addDevice(owned))
            return nullptr;
        return std::dynamic_pointer_cast<OndaviaXmegaDevice>(DeviceManager::instance().getDevice(id));
    }

    // Queues and runs the device's updates; the statuses the task reported.
    Task::Result update(const std::shared_ptr<OndaviaXmegaDevice>& device, bool force = false)
    {
        statuses.clear();
        TaskQueue queue(device, [this](const std::shared_ptr<Device>&, Task::Result r, double f) {
            std::lock_guard<std::mutex> lock(statusMutex);
            statuses.push_back({r, f});
        });
        if (!device->queueUpdates(queue, force))
            return Task::Failed;
        queue.run();
        queue.wait();
        return queue.result();
    }

    std::vector<double> fractions()
    {
        std::lock_guard<std::mutex> lock(statusMutex);
        std::vector<double> f;
        for (const auto& s : statuses)
            f.push_back(s.second);
        return f;
    }

    QTemporaryDir dir;
    FileStore store;
    UnitRig rig;
    std::mutex statusMutex;
    std::vector<std::pair<Task::Result, double>> statuses;
};

std::vector<uint32_t> deviceVersions(const Device& device)
{
    std::vector<uint32_t> v;
    for (const Firmware& f : device.firmware())
        v.push_back(f.deviceVersion);
    return v;
}

std::vector<uint8_t> headerOnly(std::vector<uint8_t> header)
{
    header.resize(64, 0x77);
    return header;
}

} // namespace

class TestXmegaUpdate : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DeviceManager::instance().removeAll(); }
    void deviceCreation_data();
    void deviceCreation();
    void queueing_data();
    void queueing();
    void taskProgress();
    void fullUpdate_data();
    void fullUpdate();
    void eepromHeaderLast_data();
    void eepromHeaderLast();
    void twoPackagesHoldTheSamePart();
    void secondRebootWhileWaiting();
    void faults_data();
    void faults();
};

void TestXmegaUpdate::deviceCreation_data()
{
    QTest::addColumn<QByteArray>("eepromHeader"); // empty: erased
    QTest::addColumn<int>("checksumStalls");
    QTest::addColumn<bool>("fpgaPackage");
    QTest::addColumn<bool>("created");
    QTest::addColumn<uint>("xmegaVersion");
    QTest::addColumn<uint>("fpgaVersion");
    QTest::addColumn<int>("eepromReads");
    const QByteArray v6("\x00\x06\x3C\xC3", 4);
    QTest::newRow("current") << v6 << 0 << true << true << 5u << 6u << 1;
    QTest::newRow("erased EEPROM") << QByteArray() << 0 << true << true << 5u << kUnknown << 5;
    QTest::newRow("newer on the unit") << QByteArray("\x00\x07\x3C\xC3", 4) << 0 << true << true << 5u << 7u << 1;
    QTest::newRow("image without version") << QByteArray("\x42\x09\x3C\xC3", 4) << 0 << true << true << 5u << 1u << 1;
    QTest::newRow("update cut short") << QByteArray("\x00\x06\xFF\xFF", 4) << 0 << true << true << 5u << kUnknown << 5;
    QTest::newRow("checksum stalls twice") << v6 << 2 << true << true << 5u << 6u << 1;
    QTest::newRow("checksum always stalls") << v6 << 99 << true << true << kUnknown << 6u << 1;
    QTest::newRow("no FPGA package") << v6 << 0 << false << false << 0u << 0u << 1;
}

void TestXmegaUpdate::deviceCreation()
{
    QFETCH(QByteArray, eepromHeader);
    QFETCH(int, checksumStalls);
    QFETCH(bool, fpgaPackage);
    QFETCH(bool, created);
    QFETCH(uint, xmegaVersion);
    QFETCH(uint, fpgaVersion);
    QFETCH(int, eepromReads);
    Bench bench;
    bench.loadUnit(5, headerOnly(std::vector<uint8_t>(eepromHeader.begin(), eepromHeader.end())));
    if (eepromHeader.isEmpty())
        bench.unit().setEepromContents(0, 0, std::vector<uint8_t>(64, 0xFF));
    std::vector<Part> parts = Bench::standardParts(5, 6);
    if (!fpgaPackage)
        parts.pop_back();
    QVERIFY(bench.addPackage("unit.bin", parts));
    QVERIFY(bench.rig.waitForDevice(2000));
    if (checksumStalls)
        bench.unit().addFault(UnitFault::control(0x11, FaultKind::Stall).repeat(checksumStalls));
    bench.unit().clearLog();

    const auto start = std::chrono::steady_clock::now();
    const std::shared_ptr<OndaviaXmegaDevice> device = bench.create();
    QCOMPARE(device != nullptr, created);
    if (!device)
        return;
    QCOMPARE(device->name(), std::string("Ondavia StreamPort USB"));
    QCOMPARE(device->productID(), uint16_t(0x7EAA));
    QCOMPARE(device->uniqueID(), std::string("44332211-6655-8877-99aa-bbccddeef001"));
    QCOMPARE(device->firmware().size(), size_t(2));
    QCOMPARE(device->firmware()[0].description, std::string("XMEGA"));
    QCOMPARE(device->firmware()[1].description, std::string("FPGA"));
    QCOMPARE(deviceVersions(*device), (std::vector<uint32_t>{xmegaVersion, fpgaVersion}));
    QCOMPARE(device->firmware()[1].packageVersion, 6u);
    QCOMPARE(countRequests(bench.unit(), 0x3A), size_t(eepromReads));
    QCOMPARE(countRequests(bench.unit(), 0x11), size_t(std::min(checksumStalls + 1, 5)));
    // Each failed read is followed by 100 ms; five of them cost half a second.
    const int failedReads = (eepromReads - 1) + std::min(checksumStalls, 5);
    QVERIFY(msSince(start) >= failedReads * 100 - 20);
    QVERIFY(!bench.unit().sessionOpen());
}

void TestXmegaUpdate::queueing_data()
{
    QTest::addColumn<uint>("unitApp");
    QTest::addColumn<int>("unitFpga"); // -1: erased
    QTest::addColumn<bool>("force");
    QTest::addColumn<QVector<int>>("queued");
    QTest::newRow("all current") << 5u << 6 << false << QVector<int>{};
    QTest::newRow("all current, forced") << 5u << 6 << true << QVector<int>{0, 1};
    QTest::newRow("7 against 5") << 5u << 7 << false << QVector<int>{1};
    QTest::newRow("erased FPGA") << 5u << -1 << false << QVector<int>{1};
    QTest::newRow("both outdated") << 3u << 2 << false << QVector<int>{0, 1};
}

void TestXmegaUpdate::queueing()
{
    QFETCH(uint, unitApp);
    QFETCH(int, unitFpga);
    QFETCH(bool, force);
    QFETCH(QVector<int>, queued);
    Bench bench;
    bench.loadUnit(unitApp, unitFpga < 0 ? std::vector<uint8_t>(64, 0xFF) : TestImages::fpga(uint8_t(unitFpga), 64));
    QVERIFY(bench.addPackage("unit.bin", Bench::standardParts(5, 6)));
    const std::shared_ptr<OndaviaXmegaDevice> device = bench.create();
    QVERIFY(device);
    if (!force)
        QCOMPARE(device->needsUpdate(), !queued.isEmpty());

    TaskQueue queue(device, nullptr);
    QVERIFY(device->queueUpdates(queue, force));
    QVERIFY(device->firmware().empty()); // consumed either way
    QCOMPARE(queue.size(), size_t(queued.isEmpty() ? 0 : 1));
    if (queued.isEmpty())
        return;
    auto task = std::dynamic_pointer_cast<OndaviaXmegaDevice::UpdateTask>(queue.task(0));
    QVERIFY(task);
    QCOMPARE(task->name(), "Ondavia StreamPort USB (" + device->uniqueID() + ")");
    QVector<int> indices;
    for (const Firmware& f : task->parts())
        indices.push_back(f.index);
    QCOMPARE(indices, queued);
}

void TestXmegaUpdate::taskProgress()
{
    // Two EEPROM parts of 1000 and 3000 bytes: their fractions are weighted
    // by size, so 0.5 of each shows as 0.125 and 0.625.
    static const FirmwarePart kParts[] = {
        {"Small", "small", FirmwarePart::Eeprom, FirmwarePart::EepromHeader, 1},
        {"Large", "large", FirmwarePart::Eeprom, FirmwarePart::EepromHeader, 1},
        {nullptr, nullptr, 0, 0, 0},
    };
    UnitConfig config;
    config.eeproms.push_back(xmegasim::EepromConfig{});
    Bench bench(config);
    Part small;
    small.resourceId = 0;
    small.version = 2;
    small.data = TestImages::fpga(2, 1000, 1);
    Part large;
    large.resourceId = 1;
    large.version = 3;
    large.target = 1;
    large.data = TestImages::fpga(3, 3000, 2);
    QVERIFY(bench.addPackage("parts.bin", {small, large}));
    const std::shared_ptr<OndaviaXmegaDevice> device = bench.create(kParts);
    QVERIFY(device);
    QCOMPARE(deviceVersions(*device), (std::vector<uint32_t>{kUnknown, kUnknown}));

    QCOMPARE(bench.update(device), Task::Succeeded);
    const std::vector<double> f = bench.fractions();
    QVERIFY(std::find(f.begin(), f.end(), 0.125) != f.end());
    QVERIFY(std::find(f.begin(), f.end(), 0.625) != f.end());
    for (size_t i = 0; i + 1 < bench.statuses.size(); ++i) {
        QCOMPARE(bench.statuses[i].first, Task::NotFinished);
        QVERIFY(f[i] >= 0.0 && f[i] <= 1.0);
    }
    QCOMPARE(bench.statuses.back(), std::make_pair(Task::Succeeded, 1.0));
    QCOMPARE(bench.unit().eepromContents(0, 0, 1000), small.data);
    QCOMPARE(bench.unit().eepromContents(1, 0, 3000), large.data);
}

void TestXmegaUpdate::fullUpdate_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::newRow("stored") << false;
    QTest::newRow("compressed") << true;
}

void TestXmegaUpdate::fullUpdate()
{
    QFETCH(bool, compressed);
    Bench bench;
    bench.loadUnit(3, TestImages::fpga(4, 20000, 9));
    const std::vector<Part> parts = Bench::standardParts(5, 6, compressed);
    QVERIFY(bench.addPackage("unit.bin", parts));
    const std::shared_ptr<OndaviaXmegaDevice> device = bench.create();
    QVERIFY(device);
    QCOMPARE(deviceVersions(*device), (std::vector<uint32_t>{3, 4}));

    QCOMPARE(bench.update(device), Task::Succeeded);
    QCOMPARE(bench.statuses.back(), std::make_pair(Task::Succeeded, 1.0));
    // The XMEGA went through the bootloader and back.
    QCOMPARE(bench.unit().rebootCount(), 2u);
    QVERIFY(!bench.unit().inBootloader());
    QCOMPARE(bench.unit().applicationVersion(), 5u);
    QCOMPARE(bench.unit().flashContents(parts[0].data.size()), parts[0].data);
    QCOMPARE(bench.unit().eepromContents(0, 0, parts[1].data.size()), parts[1].data);
    QVERIFY(!bench.unit().sessionOpen());
    QCOMPARE(device->device()->usbDevice() != nullptr, true);

    // A fresh look at the unit sees the package versions.
    std::unique_ptr<OndaviaXmegaDevice> again =
        OndaviaXmegaDevice::Create(&bench.store, static_cast<OndaviaXmegaUSBDevice*>(device->device()));
    QVERIFY(again);
    QCOMPARE(deviceVersions(*again), (std::vector<uint32_t>{5, 6}));
    QVERIFY(!again->needsUpdate());
}

void TestXmegaUpdate::eepromHeaderLast_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("4 bytes") << 4;
    QTest::newRow("5 bytes") << 5;
    QTest::newRow("300 bytes") << 300;
    QTest::newRow("70000 bytes") << 70000;
}

void TestXmegaUpdate::eepromHeaderLast()
{
    QFETCH(int, size);
    Bench bench;
    bench.loadUnit(5, TestImages::fpga(4, 70000, 7));
    std::vector<Part> parts = Bench::standardParts(5, 6);
    parts[1].data = TestImages::fpga(6, size_t(size), 5);
    QVERIFY(bench.addPackage("unit.bin", parts));
    const std::shared_ptr<OndaviaXmegaDevice> device = bench.create();
    QVERIFY(device);
    bench.unit().clearLog();
    QCOMPARE(bench.update(device), Task::Succeeded);
    QCOMPARE(bench.unit().eepromContents(0, 0, size_t(size)), parts[1].data);
    // Image with bytes 2 and 3 held back, then the header on its own.
    QCOMPARE(countRequests(bench.unit(), 0x37), size_t(1));
    QCOMPARE(countRequests(bench.unit(), 0x39), size_t(2));
    QCOMPARE(bench.unit().rebootCount(), 0u); // the XMEGA part was current
}

void TestXmegaUpdate::twoPackagesHoldTheSamePart()
{
    Bench bench;
    bench.loadUnit(5, TestImages::fpga(4, 64));
    std::vector<Part> first = Bench::standardParts(5, 6);
    Part second;
    second.resourceId = 1;
    second.version = 9;
    second.address = 0x40000;
    second.data = TestImages::fpga(9, 5000, 4);
    QVERIFY(bench.addPackage("a.bin", first));
    QVERIFY(bench.addPackage("b.bin", {second}));
    const std::shared_ptr<OndaviaXmegaDevice> device = bench.create();
    QVERIFY(device);
    QCOMPARE(device->firmware()[1].packageVersion, 6u); // from the first package
    QCOMPARE(bench.update(device), Task::Succeeded);
    QCOMPARE(bench.unit().eepromContents(0, 0, first[1].data.size()), first[1].data);
    QCOMPARE(bench.unit().eepromContents(0, 0x40000, second.data.size()), second.data);
}

void TestXmegaUpdate::secondRebootWhileWaiting()
{
    UnitConfig config;
    config.rebootArriveMs = 1000;
    Bench bench(config);
    bench.loadUnit(5, TestImages::fpga(6, 64));
    QVERIFY(bench.addPackage("unit.bin", Bench::standardParts(5, 6)));
    const std::shared_ptr<OndaviaXmegaDevice> device = bench.create();
    QVERIFY(device);

    bool first = false;
    std::thread waiting([&] { first = device->rebootBlocking(true); });
    QVERIFY(QTest::qWaitFor([&] { return bench.unit().rebootCount() == 1; }, 2000));
    const auto start = std::chrono::steady_clock::now();
    QVERIFY(!device->rebootBlocking(false));
    QVERIFY(msSince(start) < 300); // the unit is away for a whole second
    QVERIFY(device->isRebooting());
    waiting.join();
    QVERIFY(first);
    QVERIFY(!device->isRebooting());
    QVERIFY(bench.unit().inBootloader());
    QCOMPARE(bench.unit().rebootCount(), 1u);

    QVERIFY(device->rebootBlocking(false));
    QVERIFY(!bench.unit().inBootloader());
}

enum Fault {
    UnplugDuringEepromWrite,
    UnplugDuringFlashWrite,
    StallStartOfWrite,
    EraseProgressTimesOut,
    ReadBackMismatch,
    RebootNeverReturns,
    FlashPageSizeZero,
    EepromPage96,
    EepromSectorZero,
    ShortFpgaImage,
    ShortReadBack,
};
Q_DECLARE_METATYPE(Fault)

void TestXmegaUpdate::faults_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("flashPart"); // else the FPGA part is the outdated one
    QTest::addColumn<int>("maxMs");
    QTest::newRow("unplug during EEPROM write") << UnplugDuringEepromWrite << false << 5000;
    QTest::newRow("unplug during flash write") << UnplugDuringFlashWrite << true << 5000;
    QTest::newRow("stall at the start of a write") << StallStartOfWrite << false << 5000;
    QTest::newRow("erase progress times out") << EraseProgressTimesOut << false << 5000;
    QTest::newRow("read-back mismatch") << ReadBackMismatch << true << 5000;
    QTest::newRow("short read-back") << ShortReadBack << true << 5000;
    QTest::newRow("reboot never returns") << RebootNeverReturns << true << 9000;
    QTest::newRow("flash page size 0") << FlashPageSizeZero << true << 5000;
    QTest::newRow("EEPROM page 96") << EepromPage96 << false << 5000;
    QTest::newRow("EEPROM sector 0") << EepromSectorZero << false << 5000;
    QTest::newRow("3-byte FPGA image") << ShortFpgaImage << false << 5000;
}

void TestXmegaUpdate::faults()
{
    QFETCH(Fault, fault);
    QFETCH(bool, flashPart);
    QFETCH(int, maxMs);
    UnitConfig config;
    if (fault == FlashPageSizeZero)
        config.flashPageSize = 0;
    if (fault == EepromPage96)
        config.eeproms[0].pageSize = 96;
    if (fault == EepromSectorZero)
        config.eeproms[0].sectorSize = 0;
    Bench bench(config);
    bench.loadUnit(flashPart ? 3 : 5, TestImages::fpga(flashPart ? 6 : 4, 40000, 8));
    std::vector<Part> parts = Bench::standardParts(5, 6);
    if (fault == ShortFpgaImage)
        parts[1].data = {0x00, 0x06, 0x3C};
    // Two whole read-back chunks of padding: a short answer to the second
    // leaves the first's bytes in place, which look the same.
    if (fault == ShortReadBack)
        parts[0].data.resize(5 * 2048, 0xFF);
    QVERIFY(bench.addPackage("unit.bin", parts));
    const std::shared_ptr<OndaviaXmegaDevice> device = bench.create();
    QVERIFY(device);
    QVERIFY(device->needsUpdate());

    switch (fault) {
    case UnplugDuringEepromWrite:
        bench.unit().addFault(UnitFault::onBulk(xmegasim::kBulkOutEndpoint, FaultKind::Unplug).after(1));
        break;
    case UnplugDuringFlashWrite:
        bench.unit().addFault(UnitFault::control(0x05, FaultKind::Unplug).after(1));
        break;
    case StallStartOfWrite:
        bench.unit().addFault(UnitFault::control(0x39, FaultKind::Stall));
        break;
    case EraseProgressTimesOut:
        bench.unit().addFault(UnitFault::control(0x38, FaultKind::Timeout));
        break;
    case ReadBackMismatch:
        bench.unit().setFlashCorruptOffset(4000);
        break;
    case ShortReadBack:
        bench.unit().addFault(UnitFault::control(0x06, FaultKind::Short).after(4));
        break;
    case RebootNeverReturns:
        bench.unit().setRebootNeverReturns(true);
        break;
    default:
        break;
    }
    bench.unit().clearLog();

    const auto start = std::chrono::steady_clock::now();
    QCOMPARE(bench.update(device), Task::Failed);
    QVERIFY2(msSince(start) < maxMs, qPrintable(QString::number(msSince(start))));
    QCOMPARE(bench.statuses.back(), std::make_pair(Task::Failed, 1.0));
    QVERIFY(!bench.unit().sessionOpen());

    switch (fault) {
    case UnplugDuringEepromWrite:
    case UnplugDuringFlashWrite: {
        // Cut short, the part reads as unknown and is written again next time.
        bench.unit().clearFaults();
        QVERIFY(QTest::qWaitFor([&] { return !bench.rig.device(); }, 2000)); // the removal is reported
        const unsigned arrivals = bench.rig.arrivals();
        bench.unit().plugIn();
        QVERIFY(QTest::qWaitFor([&] { return bench.rig.arrivals() > arrivals; }, 2000));
        DeviceManager::instance().removeAll();
        const std::shared_ptr<OndaviaXmegaDevice> again = bench.create();
        QVERIFY(again);
        if (fault == UnplugDuringEepromWrite) {
            QCOMPARE(bench.unit().eepromContents(0, 2, 2), (std::vector<uint8_t>{0xFF, 0xFF}));
            QCOMPARE(deviceVersions(*again), (std::vector<uint32_t>{5, kUnknown}));
        } else {
            QVERIFY(bench.unit().inBootloader());
            QCOMPARE(deviceVersions(*again)[0], kUnknown);
        }
        QCOMPARE(bench.update(again), Task::Succeeded);
        QCOMPARE(bench.unit().applicationVersion(), 5u);
        QVERIFY(!bench.unit().inBootloader());
        QCOMPARE(bench.unit().eepromContents(0, 0, parts[1].data.size()), parts[1].data);
        break;
    }
    case ReadBackMismatch:
    case ShortReadBack:
        QCOMPARE(countRequests(bench.unit(), 0x05) - countRequests(bench.unit(), 0x05, true), size_t(0));
        QCOMPARE(bench.unit().applicationVersion(), kUnknown);
        if (fault == ShortReadBack) {
            // Not finalised, so the next run writes it again.
            bench.unit().clearFaults();
            DeviceManager::instance().removeAll();
            const std::shared_ptr<OndaviaXmegaDevice> again = bench.create();
            QVERIFY(again);
            QVERIFY(again->needsUpdate());
            QCOMPARE(bench.update(again), Task::Succeeded);
            QCOMPARE(bench.unit().applicationVersion(), 5u);
        }
        break;
    case RebootNeverReturns:
        QVERIFY(msSince(start) >= 4900);
        // Given up on: the unit's next arrival is a new one, not a reboot's end.
        QVERIFY(!device->isRebooting());
        QVERIFY(!device->takeRebootedDevice(device->device()));
        break;
    case ShortFpgaImage:
    case EepromPage96:
    case EepromSectorZero:
        // Refused before anything was erased: the old image is intact.
        QCOMPARE(countRequests(bench.unit(), 0x37), size_t(0));
        QCOMPARE(bench.unit().eepromContents(0, 0, 40000), TestImages::fpga(4, 40000, 8));
        QCOMPARE(bulkOutTraffic(bench.unit()), size_t(0));
        break;
    default:
        break;
    }
}

QTEST_GUILESS_MAIN(TestXmegaUpdate)
#include "tst_xmegaupdate.moc"
