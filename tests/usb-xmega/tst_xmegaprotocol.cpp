// The XMEGA vendor protocol against the emulated unit: chunking and paging
// on the wire, flash programming with read-back, the EEPROM service and its
// sessions, and what the host does with answers that make no sense.
#include "appimage.h"
#include "ondaviaxmegadevice.h"
#include "ondaviaxmegausbdevice.h"
#include "pagedaccess.h"
#include "unitrig.h"
#include "xmegaeepromaccess.h"

#include <QtTest>

#include <chrono>

using xmegasim::UnitConfig;
using xmegasim::UnitFault;
using xmegasim::FaultKind;
using xmegasim::XmegaUnit;
using Entry = XmegaUnit::LogEntry;

namespace {

struct Step
{
    uint64_t page, offset, bytes;
    bool operator==(const Step& o) const { return page == o.page && offset == o.offset && bytes == o.bytes; }
};

std::vector<Step> walk(uint64_t start, uint64_t length, uint64_t size)
{
    std::vector<Step> steps;
    for (PagedAccess p(start, length, size); p && steps.size() < 100; ++p)
        steps.push_back({p.pageNumber(), p.pageOffset(), p.pageBytes()});
    return steps;
}

std::vector<uint32_t> bulkOutLengths(const XmegaUnit& unit)
{
    std::vector<uint32_t> lengths;
    for (const Entry& e : unit.log())
        if (e.kind == Entry::BulkOut)
            lengths.push_back(e.length);
    return lengths;
}

std::vector<Entry> requests(const XmegaUnit& unit, uint8_t code)
{
    std::vector<Entry> out;
    for (const Entry& e : unit.log())
        if (e.kind == Entry::Control && e.request == code && (e.requestType & 0x60) == 0x40)
            out.push_back(e);
    return out;
}

std::vector<uint8_t> pattern(size_t size, uint8_t seed)
{
    std::vector<uint8_t> v(size);
    for (size_t i = 0; i < size; ++i)
        v[i] = uint8_t(i * 7 + seed + (i >> 8));
    return v;
}

struct ChunkLog : XmegaUSBDevice::ProgressCallback
{
    std::vector<std::pair<uint32_t, uint32_t>> calls;
    void progress(uint32_t done, uint32_t total) override { calls.push_back({done, total}); }
};

UnitConfig eepromUnit(uint32_t pageSize, uint16_t packet)
{
    UnitConfig c;
    c.eeproms[0].pageSize = pageSize;
    c.eeproms[0].sectorSize = 4096;
    c.bulkPacketSize = packet;
    return c;
}

} // namespace

Q_DECLARE_METATYPE(std::vector<uint32_t>)

class TestXmegaProtocol : public QObject
{
    Q_OBJECT

private slots:
    void pagedAccess();
    void chunkRule_data();
    void chunkRule();
    void eepromWriteOnTheWire_data();
    void eepromWriteOnTheWire();
    void eepromRead();
    void flashProgramming_data();
    void flashProgramming();
    void flashReadBackMismatch();
    void eraseProgress();
    void writeWaitsForEitherStatusByte_data();
    void writeWaitsForEitherStatusByte();
    void sessions();
    void setup_data();
    void setup();
    void uniqueId();
    void registerPaging();
    void nonsenseGeometry_data();
    void nonsenseGeometry();
    void transferFailures();
};

void TestXmegaProtocol::pagedAccess()
{
    QVERIFY((walk(0, 70000, 32768) == std::vector<Step>{{0, 0, 32768}, {1, 0, 32768}, {2, 0, 4464}}));
    QVERIFY((walk(100, 300, 256) == std::vector<Step>{{0, 100, 156}, {1, 0, 144}}));
    QVERIFY((walk(65530, 10, 65536) == std::vector<Step>{{0, 65530, 6}, {1, 0, 4}}));
    QVERIFY((walk(512, 256, 256) == std::vector<Step>{{2, 0, 256}}));
    QVERIFY(walk(10, 0, 256).empty());
    QVERIFY(walk(0, 100, 0).empty());
}

void TestXmegaProtocol::chunkRule_data()
{
    QTest::addColumn<uint>("pageSize");
    QTest::addColumn<uint>("packet");
    QTest::addColumn<uint>("chunk"); // 0: refused
    QTest::newRow("256/64") << 256u << 64u << 32768u;
    QTest::newRow("512/64") << 512u << 64u << 32768u;
    QTest::newRow("page 96 rounds to 128") << 96u << 64u << 0u;
    QTest::newRow("page below packet") << 64u << 512u << 32768u;
    QTest::newRow("200/64") << 200u << 64u << 0u;
    QTest::newRow("3000/1000") << 3000u << 1000u << 30000u;
    QTest::newRow("page 0") << 0u << 64u << 0u;
    QTest::newRow("packet 0") << 256u << 0u << 0u;
    QTest::newRow("page above 32 KiB") << 65536u << 64u << 0u;
}

void TestXmegaProtocol::chunkRule()
{
    QFETCH(uint, pageSize);
    QFETCH(uint, packet);
    QFETCH(uint, chunk);
    uint32_t k = 0;
    QCOMPARE(XmegaUSBDevice::chunkSize(pageSize, uint16_t(packet), &k), chunk != 0);
    if (chunk)
        QCOMPARE(k, uint32_t(chunk));
}

void TestXmegaProtocol::eepromWriteOnTheWire_data()
{
    QTest::addColumn<uint>("pageSize");
    QTest::addColumn<uint>("packet");
    QTest::addColumn<uint>("length");
    QTest::addColumn<std::vector<uint32_t>>("expected"); // bulk-out lengths, the final ZLP included
    QTest::newRow("70000, no ZLP between") << 256u << 64u << 70000u << std::vector<uint32_t>{32768, 32768, 4464, 0};
    QTest::newRow("4480 tail needs ZLP") << 512u << 64u << 37248u << std::vector<uint32_t>{32768, 4480, 0, 0};
    QTest::newRow("whole pages") << 256u << 64u << 1024u << std::vector<uint32_t>{1024, 0};
    QTest::newRow("page 96 refused") << 96u << 64u << 1000u << std::vector<uint32_t>{};
}

void TestXmegaProtocol::eepromWriteOnTheWire()
{
    QFETCH(uint, pageSize);
    QFETCH(uint, packet);
    QFETCH(uint, length);
    QFETCH(std::vector<uint32_t>, expected);
    UnitRig rig(eepromUnit(pageSize, uint16_t(packet)));
    OndaviaXmegaUSBDevice* d = rig.device();
    QVERIFY(d);
    QVERIFY(d->beginEepromSession());
    QVERIFY(d->setSelectedEeprom(0));
    const std::vector<uint8_t> data = pattern(length, 3);
    ChunkLog chunks;
    rig.unit().clearLog();
    const bool ok = d->writeEeprom(0, length, data.data(), &chunks);
    QCOMPARE(ok, !expected.empty());
    QCOMPARE(bulkOutLengths(rig.unit()), expected);
    if (!ok)
        return;
    const uint32_t count = uint32_t(expected.size() - 1 - std::count(expected.begin(), expected.end() - 1, 0u));
    QCOMPARE(chunks.calls.size(), size_t(count + 1));
    for (uint32_t i = 0; i <= count; ++i)
        QCOMPARE(chunks.calls[i], std::make_pair(i, count));
    QVERIFY(QTest::qWaitFor([&] { return !rig.unit().eepromBusy(); }, 5000));
    QCOMPARE(rig.unit().eepromContents(0, 0, length), data);
}

void TestXmegaProtocol::eepromRead()
{
    // The reported size is larger than the cells behind it, so a read past
    // them comes back short, as a failing part would answer.
    UnitConfig c = eepromUnit(256, 64);
    c.eeproms[0].size = 128ull * 1024 * 1024;
    UnitRig rig(c);
    const std::vector<uint8_t> data = pattern(50000, 9);
    rig.unit().setEepromContents(0, 8192, data);
    OndaviaXmegaUSBDevice* d = rig.device();
    QVERIFY(d);

    XmegaEepromAccess access(d);
    {
        XmegaEepromAccess::Session session(access);
        QVERIFY(access.isOpen());
        std::vector<double> fractions;
        access.setProgressUpdateCallback([&](double f) { fractions.push_back(f); });
        std::vector<uint8_t> buffer(data.size());
        QVERIFY(access.read(0, 8192, buffer.data(), uint32_t(buffer.size())));
        QCOMPARE(buffer, data);
        QCOMPARE(fractions.back(), 1.0);
        // Not on a page boundary: the same bytes, shifted.
        std::vector<uint8_t> shifted(1000);
        QVERIFY(access.read(0, 8192 + 100, shifted.data(), 1000));
        QVERIFY(std::equal(shifted.begin(), shifted.end(), data.begin() + 100));

        std::vector<uint8_t> tail(512);
        QVERIFY(!access.read(0, 64u * 1024 * 1024 - 256, tail.data(), uint32_t(tail.size())));
    }
    QVERIFY(!access.isOpen());
    QVERIFY(!rig.unit().sessionOpen());
}

void TestXmegaProtocol::flashProgramming_data()
{
    QTest::addColumn<uint>("pageSize");
    QTest::addColumn<uint>("length");
    QTest::addColumn<std::vector<uint32_t>>("pages"); // value of each write
    QTest::addColumn<std::vector<uint32_t>>("lengths");
    QTest::newRow("128, 5000 bytes") << 128u << 5000u << std::vector<uint32_t>{0, 16, 32}
                                     << std::vector<uint32_t>{2048, 2048, 904};
    QTest::newRow("96 does not divide 2048") << 96u << 4100u << std::vector<uint32_t>{0, 21, 42}
                                             << std::vector<uint32_t>{2016, 2016, 68};
    QTest::newRow("2048") << 2048u << 2048u << std::vector<uint32_t>{0} << std::vector<uint32_t>{2048};
    QTest::newRow("page size 0") << 0u << 1000u << std::vector<uint32_t>{} << std::vector<uint32_t>{};
    QTest::newRow("page size 4096") << 4096u << 1000u << std::vector<uint32_t>{} << std::vector<uint32_t>{};
}

void TestXmegaProtocol::flashProgramming()
{
    QFETCH(uint, pageSize);
    QFETCH(uint, length);
    QFETCH(std::vector<uint32_t>, pages);
    QFETCH(std::vector<uint32_t>, lengths);
    UnitConfig c;
    c.startInBootloader = true;
    c.flashPageSize = uint16_t(pageSize);
    UnitRig rig(c);
    OndaviaXmegaUSBDevice* d = rig.device();
    QVERIFY(d);
    const std::vector<uint8_t> image = xmegasim::AppImage::build(9, length);
    rig.unit().clearLog();
    QCOMPARE(d->programAppBinary(length, image.data()), !pages.empty());
    if (pages.empty()) {
        QVERIFY(requests(rig.unit(), 0x04).empty()); // refused before erasing
        return;
    }
    std::vector<uint32_t> writePages, writeLengths, readPages, readLengths;
    for (const Entry& e : requests(rig.unit(), 0x05)) {
        writePages.push_back(e.value);
        writeLengths.push_back(e.length);
    }
    for (const Entry& e : requests(rig.unit(), 0x06)) {
        readPages.push_back(e.value);
        readLengths.push_back(e.length);
    }
    // The zero-length write with value 0 finalises, last.
    QCOMPARE(writeLengths.back(), 0u);
    QCOMPARE(writePages.back(), 0u);
    writePages.pop_back();
    writeLengths.pop_back();
    QCOMPARE(writePages, pages);
    QCOMPARE(writeLengths, lengths);
    QCOMPARE(readPages, pages);
    QCOMPARE(readLengths, lengths);
    QCOMPARE(rig.unit().flashContents(length), image);
    QCOMPARE(rig.unit().applicationVersion(), 9u);

    std::vector<uint8_t> back(length);
    QVERIFY(d->readAppBinary(length, back.data()));
    QCOMPARE(back, image);
}

void TestXmegaProtocol::flashReadBackMismatch()
{
    UnitConfig c;
    c.startInBootloader = true;
    c.flashCorruptOffset = 3000;
    UnitRig rig(c);
    OndaviaXmegaUSBDevice* d = rig.device();
    QVERIFY(d);
    const std::vector<uint8_t> image = xmegasim::AppImage::build(9, 5000);
    QVERIFY(!d->programAppBinary(uint32_t(image.size()), image.data()));
    for (const Entry& e : requests(rig.unit(), 0x05))
        QVERIFY2(e.length != 0, "finalised despite a read-back mismatch");
    QCOMPARE(rig.unit().applicationVersion(), 0xFFFFFFFFu);
}

void TestXmegaProtocol::eraseProgress()
{
    uint32_t sectors = 0;
    QCOMPARE(XmegaEepromAccess::writeWork(0, 10000, 4096, 256, &sectors), uint64_t(10240 + 12288));
    QCOMPARE(sectors, 3u);
    // A range that starts inside a sector also erases the one it ends in.
    QCOMPARE(XmegaEepromAccess::writeWork(4096 + 2048, 4096, 4096, 256, &sectors), uint64_t(4096 + 8192));
    QCOMPARE(sectors, 2u);

    UnitConfig c = eepromUnit(256, 64);
    c.eraseMsPerSector = 400; // well above the poll interval: every count is seen
    UnitRig rig(c);
    rig.unit().setEepromContents(0, 0, std::vector<uint8_t>(16384, 0x00)); // not erased
    OndaviaXmegaUSBDevice* d = rig.device();
    QVERIFY(d);
    XmegaEepromAccess access(d);
    XmegaEepromAccess::Session session(access);
    std::vector<double> fractions;
    access.setProgressUpdateCallback([&](double f) { fractions.push_back(f); });
    const std::vector<uint8_t> data = pattern(10000, 1);
    QVERIFY(access.write(0, 0, data.data(), uint32_t(data.size()), true));
    QVERIFY(std::find(fractions.begin(), fractions.end(), 4096.0 / 22528) != fractions.end());
    QVERIFY(std::find(fractions.begin(), fractions.end(), 8192.0 / 22528) != fractions.end());
    QVERIFY(std::find(fractions.begin(), fractions.end(), 0.5) != fractions.end()); // the write starts at 0.5
    QCOMPARE(fractions.back(), 1.0);
    // Flash cells: without the erase the zeros would have stayed.
    QCOMPARE(rig.unit().eepromContents(0, 0, data.size()), data);
    QCOMPARE(requests(rig.unit(), 0x37).size(), size_t(1));
    // What the unit itself spent: 3 sectors and 40 pages at the default 20 us.
    QCOMPARE(rig.unit().busyTime(), std::chrono::microseconds(3 * 400000 + 40 * 20));
}

void TestXmegaProtocol::writeWaitsForEitherStatusByte_data()
{
    QTest::addColumn<int>("statusByte");
    QTest::newRow("byte 1") << 1;
    QTest::newRow("byte 2 only") << 2;
}

void TestXmegaProtocol::writeWaitsForEitherStatusByte()
{
    QFETCH(int, statusByte);
    UnitConfig c = eepromUnit(256, 64);
    c.statusWriteByte = statusByte;
    c.writeUsPerPage = 5000; // 40 pages: 200 ms of programming after the data
    UnitRig rig(c);
    OndaviaXmegaUSBDevice* d = rig.device();
    QVERIFY(d);
    XmegaEepromAccess access(d);
    XmegaEepromAccess::Session session(access);
    const std::vector<uint8_t> data = pattern(10240, 2);
    QVERIFY(access.write(0, 0, data.data(), uint32_t(data.size()), false));
    QVERIFY(!rig.unit().eepromBusy());
    QCOMPARE(rig.unit().busyTime(), std::chrono::microseconds(40 * 5000));
}

void TestXmegaProtocol::sessions()
{
    // A session left open by someone else: Session stays out of it.
    UnitConfig c;
    c.sessionOpenAtStart = true;
    UnitRig rig(c);
    OndaviaXmegaUSBDevice* d = rig.device();
    QVERIFY(d);
    {
        XmegaEepromAccess access(d);
        XmegaEepromAccess::Session session(access);
        QVERIFY(!session.ownsSession());
        QVERIFY(!access.isOpen());
        rig.unit().clearLog();
        uint8_t byte = 0;
        QVERIFY(!access.read(0, 0, &byte, 1));
        QVERIFY(!access.write(0, 0, &byte, 1, true));
        QCOMPARE(access.pageSize(0), 0u);
        QVERIFY(rig.unit().log().empty()); // refused without asking the unit
    }
    // Beginning a session explicitly ends the stale one first.
    QVERIFY(d->beginEepromSession());
    QVERIFY(rig.unit().sessionOpen());
    QVERIFY(d->endEepromSession());

    // Nested sessions: the inner one leaves the outer one's session alone.
    XmegaEepromAccess access(d);
    {
        XmegaEepromAccess::Session outer(access);
        QVERIFY(outer.ownsSession());
        {
            XmegaEepromAccess::Session inner(access);
            QVERIFY(!inner.ownsSession());
        }
        QVERIFY(access.isOpen());
        QCOMPARE(access.pageSize(0), 256u);
    }
    QVERIFY(!access.isOpen());
    QVERIFY(!rig.unit().sessionOpen());

    // cancel ends what a failed operation left open.
    QVERIFY(d->beginEepromSession());
    access.cancel();
    QVERIFY(!rig.unit().sessionOpen());
}

void TestXmegaProtocol::setup_data()
{
    QTest::addColumn<bool>("bootloader");
    QTest::addColumn<bool>("bulkIn");
    QTest::addColumn<bool>("bulkOut");
    QTest::addColumn<bool>("failStatus");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("application") << false << true << true << false << true;
    QTest::newRow("application without bulk-out") << false << true << false << false << false;
    QTest::newRow("application without bulk-in") << false << false << true << false << false;
    QTest::newRow("bootloader needs no pipes") << true << true << true << false << true;
    QTest::newRow("bootloader query stalls") << false << true << true << true << false;
}

void TestXmegaProtocol::setup()
{
    QFETCH(bool, bootloader);
    QFETCH(bool, bulkIn);
    QFETCH(bool, bulkOut);
    QFETCH(bool, failStatus);
    QFETCH(bool, accepted);
    UnitConfig c;
    c.startInBootloader = bootloader;
    c.bulkIn = bulkIn;
    c.bulkOut = bulkOut;
    c.interfaceNumber = 2;
    UnitRig rig(c);
    rig.unit().loadApplication(xmegasim::AppImage::build(1, 1000));
    if (failStatus)
        rig.unit().addFault(UnitFault::control(0x10, FaultKind::Stall).ofType(0xC1));
    OndaviaXmegaUSBDevice* d = rig.device();
    QCOMPARE(d != nullptr, accepted);
    QCOMPARE(rig.arrivals(), 1u);
    if (!d)
        return;
    QCOMPARE(d->interfaceNumber(), uint8_t(2));
    // Every vendor request went to the claimed interface.
    for (const Entry& e : rig.unit().log())
        if ((e.requestType & 0x60) == 0x40 && e.requestType != 0xC0)
            QCOMPARE(e.index, uint16_t(2));
    bool inBootloader = !bootloader;
    QVERIFY(d->isInBootloader(&inBootloader));
    QCOMPARE(inBootloader, bootloader);
    QCOMPARE(d->modelName(), std::string("Ondavia StreamPort USB"));
}

void TestXmegaProtocol::uniqueId()
{
    XmegaUSBDevice::UUID uuid;
    for (int i = 0; i < 16; ++i)
        uuid.bytes[i] = uint8_t(i);
    QCOMPARE(OndaviaXmegaDevice::FormatUUID(uuid), std::string("03020100-0504-0706-0809-0a0b0c0d0e0f"));
    QCOMPARE(OndaviaXmegaDevice::FormatUUID(XmegaUSBDevice::UUID()),
             std::string("ffffffff-ffff-ffff-ffff-ffffffffffff"));

    UnitConfig c;
    for (int i = 0; i < 16; ++i)
        c.uuid[i] = uint8_t(0xA0 + i);
    UnitRig rig(c);
    OndaviaXmegaUSBDevice* d = rig.device();
    QVERIFY(d);
    XmegaUSBDevice::UUID read;
    QVERIFY(d->getDeviceUUID(&read));
    QCOMPARE(OndaviaXmegaDevice::FormatUUID(read), std::string("a3a2a1a0-a5a4-a7a6-a8a9-aaabacadaeaf"));
    QVERIFY(uuid < read && read != uuid);
}

void TestXmegaProtocol::registerPaging()
{
    UnitRig rig;
    rig.unit().loadApplication(xmegasim::AppImage::build(1, 1000));
    OndaviaXmegaUSBDevice* d = rig.device();
    QVERIFY(d);
    const std::vector<uint8_t> data = pattern(70000, 5);
    rig.unit().clearLog();
    QVERIFY(d->writeRegisters(65000, uint32_t(data.size()), data.data()));
    std::vector<uint32_t> selected;
    for (const Entry& e : requests(rig.unit(), 0x50))
        selected.push_back(e.value);
    QCOMPARE(selected, (std::vector<uint32_t>{0, 1, 2}));
    std::vector<std::pair<uint32_t, uint32_t>> writes;
    for (const Entry& e : requests(rig.unit(), 0x52))
        writes.push_back({e.value, e.length});
    QVERIFY((writes == std::vector<std::pair<uint32_t, uint32_t>>{{65000, 536}, {0, 32768}, {32768, 32768}, {0, 3928}}));

    // Reading page 2 again needs no new selection; page 0 does.
    rig.unit().clearLog();
    std::vector<uint8_t> back(data.size());
    QVERIFY(d->readRegisters(65536 * 2, 100, back.data()));
    QVERIFY(requests(rig.unit(), 0x50).empty());
    QVERIFY(d->readRegisters(65000, uint32_t(back.size()), back.data()));
    QCOMPARE(back, data);
}

void TestXmegaProtocol::nonsenseGeometry_data()
{
    QTest::addColumn<qulonglong>("size");
    QTest::addColumn<uint>("sector");
    QTest::addColumn<uint>("page");
    QTest::addColumn<uint>("length");
    QTest::addColumn<bool>("readable");
    QTest::newRow("page size 0") << 2097152ull << 4096u << 0u << 1000u << false;
    QTest::newRow("sector size 0") << 2097152ull << 0u << 256u << 1000u << true;
    QTest::newRow("page 96 with packet 64") << 2097152ull << 4096u << 96u << 1000u << false;
    QTest::newRow("image beyond the size") << 4096ull << 4096u << 256u << 10000u << false;
    QTest::newRow("page above 32 KiB") << 2097152ull << 4096u << 0x10000000u << 1000u << false;
    QTest::newRow("size 0") << 0ull << 4096u << 256u << 16u << false;
}

void TestXmegaProtocol::nonsenseGeometry()
{
    QFETCH(qulonglong, size);
    QFETCH(uint, sector);
    QFETCH(uint, page);
    QFETCH(uint, length);
    QFETCH(bool, readable);
    UnitConfig c;
    c.eeproms[0] = {size, sector, page};
    UnitRig rig(c);
    OndaviaXmegaUSBDevice* d = rig.device();
    QVERIFY(d);
    XmegaEepromAccess access(d);
    XmegaEepromAccess::Session session(access);
    QVERIFY(access.isOpen());
    const std::vector<uint8_t> data = pattern(length, 4);
    rig.unit().clearLog();
    QVERIFY(!access.write(0, 0, data.data(), length, true));
    std::vector<uint8_t> buffer(length);
    QCOMPARE(access.read(0, 0, buffer.data(), length), readable);
    QVERIFY(bulkOutLengths(rig.unit()).empty());
}

void TestXmegaProtocol::transferFailures()
{
    UnitRig rig(eepromUnit(256, 64));
    OndaviaXmegaUSBDevice* d = rig.device();
    QVERIFY(d);
    uint32_t version = 0;

    rig.unit().addFault(UnitFault::control(0x11, FaultKind::Stall));
    QVERIFY(!d->getChecksumStatus(nullptr, &version));
    QVERIFY(d->getChecksumStatus(nullptr, &version)); // one-shot

    // A unit that never answers costs the request's time-out, no more.
    rig.unit().addFault(UnitFault::control(0x11, FaultKind::Timeout));
    const auto start = std::chrono::steady_clock::now();
    QVERIFY(!d->getChecksumStatus(nullptr, &version));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    QVERIFY2(ms.count() >= 900 && ms.count() < 2000, qPrintable(QString::number(ms.count())));

    // A stalled chunk ends the write at once.
    QVERIFY(d->beginEepromSession());
    QVERIFY(d->setSelectedEeprom(0));
    rig.unit().addFault(UnitFault::onBulk(xmegasim::kBulkOutEndpoint, FaultKind::Stall).after(1));
    rig.unit().clearLog();
    const std::vector<uint8_t> data = pattern(70000, 1);
    QVERIFY(!d->writeEeprom(0, uint32_t(data.size()), data.data(), nullptr));
    QCOMPARE(bulkOutLengths(rig.unit()), (std::vector<uint32_t>{32768, 32768}));

    // Once the unit is gone, everything fails fast with "no device".
    d->addRef(); // the rig lets go of its object when the unit leaves
    rig.unit().unplug();
    MakeDevRequest r = d->usbInRequest(0x11);
    uint8_t answer[8];
    QCOMPARE(r.data(8, answer).doRequest(d->usbDevice()), MVN::USB::kMVNUsbNoDevice);
    QVERIFY(!d->getChecksumStatus(nullptr, &version));
    d->release();
}

QTEST_GUILESS_MAIN(TestXmegaProtocol)
#include "tst_xmegaprotocol.moc"
