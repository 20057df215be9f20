// The package reader: what it extracts from good packages and how it refuses
// damaged and hostile ones, in both the full read and the header read.

#include "firmwareunpacker.h"
#include "packagefixture.h"
#include "resource.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <sys/stat.h>
#include <zlib.h>

using namespace MVNFirmwarePackage;
using namespace fixture;

Q_DECLARE_METATYPE(std::vector<uint8_t>)

namespace {

// A query's resources, freed when the holder goes.
struct Query
{
    ResourceList list;
    ErrorCode rc = ERROR_OK;
    ~Query() { FreeResourceList(list); }
    Resource* at(int i) const { return GetResourceByIndex(list, i); }
};

} // namespace

class TestFirmwarePackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void extractsFields_data();
    void extractsFields();
    void formatFlags_data();
    void formatFlags();
    void shortFiles_data();
    void shortFiles();
    void changedByteFailsFullReadOnly_data();
    void changedByteFailsFullReadOnly();
    void largePackage();
    void badResourceHeader_data();
    void badResourceHeader();
    void badDeviceHeader_data();
    void badDeviceHeader();
    void oneResourcePerRecord();
    void inflation_data();
    void inflation();
    void hostileSizes();
    void randomDamageStaysInBounds();
    void fileAccessAndCache();
    void listHelpers();

private:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    void query(const std::vector<uint8_t>& package, bool full, Query& q, uint32_t id = kUnit);

    QTemporaryDir m_dir;
};

void TestFirmwarePackage::query(const std::vector<uint8_t>& package, bool full, Query& q, uint32_t id)
{
    const QString file = path("q.bin");
    QVERIFY(write(file, package));
    FirmwareUnpacker unpacker;
    unpacker.init(file.toStdString());
    q.rc = full ? unpacker.queryResources(USB, id, q.list) : unpacker.queryHeaders(USB, id, q.list);
}

void TestFirmwarePackage::extractsFields_data()
{
    QTest::addColumn<bool>("full");
    QTest::newRow("full read") << true;
    QTest::newRow("header read") << false;
}

// Three records: a plain image for the unit, one for another unit only, and
// a compressed one whose unit appears behind a 16-byte header for another.
void TestFirmwarePackage::extractsFields()
{
    QFETCH(bool, full);
    const std::vector<uint8_t> app = bytes(5000, 1), fpga = bytes(70000, 2), other = bytes(300, 3);
    const auto package = build({image(app, 7, {device(kUnit, 0, 24, 0, 0x400, 0x11223344)}),
                                image(other, 9, {device(kOtherUnit, 0)}),
                                image(fpga, 5, {device(kOtherUnit, 1, 16), device(kUnit, 1, 20, 1, 64, -5)}, true)});
    QVERIFY(!package.empty());
    Query q;
    query(package, full, q);
    QCOMPARE(q.rc, ERROR_OK);
    QCOMPARE(int(q.list.size()), 2);

    Resource* a = q.at(0);
    QCOMPARE(a->version, 7u);
    QCOMPARE(a->device_id_type, USB);
    QCOMPARE(a->device_id, kUnit);
    QCOMPARE(int(a->resource_id), 0);
    QCOMPARE(a->address_offset, 0x400u);
    QCOMPARE(a->target_sub_id, 0x11223344);
    QCOMPARE(a->compressed, 0u);
    QCOMPARE(a->stored_length, 5000u);
    QCOMPARE(a->data_length, 5000u);
    QCOMPARE(a->hash, uint32_t(crc32(0, app.data(), uInt(app.size()))));

    Resource* f = q.at(1);
    QCOMPARE(f->version, 5u);
    QCOMPARE(int(f->resource_id), 1);
    QCOMPARE(int(f->target_id), 1);
    QCOMPARE(f->address_offset, 64u);
    QCOMPARE(f->target_sub_id, -5);
    QCOMPARE(f->compressed, 1u);
    QCOMPARE(f->data_length, 70000u);
    QVERIFY(f->stored_length < 70000u);

    if (!full) {
        QVERIFY(!a->data && !f->data);
        QVERIFY(!f->getResourceData()); // nothing to inflate
        return;
    }
    QCOMPARE(a->getResourceDataLength(), 5000u);
    QVERIFY(std::equal(app.begin(), app.end(), a->getResourceData()));
    QVERIFY(!f->decompressed);
    QCOMPARE(f->getResourceDataLength(), 70000u);
    QVERIFY(f->decompressed);
    QVERIFY(std::equal(fpga.begin(), fpga.end(), f->getResourceData()));

    // A 16-byte header carries no sub id.
    Query other16;
    query(package, full, other16, kOtherUnit);
    QCOMPARE(int(other16.list.size()), 2);
    QCOMPARE(other16.at(1)->target_sub_id, -1);
}

void TestFirmwarePackage::formatFlags_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("format");
    QTest::newRow("none") << 0x00 << int(BINARY);
    QTest::newRow("bit 0") << 0x01 << int(XSVF);
    QTest::newRow("bits 0+1") << 0x03 << int(XSVF);
    QTest::newRow("bit 1") << 0x02 << int(XMEGA);
    QTest::newRow("bits 1+2") << 0x06 << int(XMEGA);
    QTest::newRow("bit 2") << 0x04 << int(HASHED_BINARY);
    QTest::newRow("bit 3 only") << 0x08 << int(BINARY);
}

void TestFirmwarePackage::formatFlags()
{
    QFETCH(int, flags);
    QFETCH(int, format);
    auto package = build({image(bytes(10, 0), 1, {device(kUnit, 0)})});
    package[kFlags] = uint8_t(flags);
    PackageWriter::seal(package);
    Query q;
    query(package, true, q);
    QCOMPARE(q.rc, ERROR_OK);
    QCOMPARE(int(q.at(0)->format), format);
}

void TestFirmwarePackage::shortFiles_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("fullRc");
    QTest::addColumn<int>("headerRc");
    QTest::newRow("empty") << 0 << int(ERROR_INVALID_BLOB_LENGTH) << int(ERROR_OK);
    QTest::newRow("digest only") << 32 << int(ERROR_INVALID_BLOB_LENGTH) << int(ERROR_OK);
    QTest::newRow("33 bytes") << 33 << int(ERROR_INVALID_BLOB_LENGTH) << int(ERROR_INVALID_RESOURCE_HEADER);
    QTest::newRow("72 bytes") << 72 << int(ERROR_INVALID_BLOB_LENGTH) << int(ERROR_INVALID_RESOURCE_HEADER);
    // Long enough for the length check, too short for any valid record.
    QTest::newRow("73 bytes") << 73 << int(ERROR_INVALID_RESOURCE_HEADER) << int(ERROR_INVALID_RESOURCE_HEADER);
}

// Cut-down copies of a real package, digest re-sealed.
void TestFirmwarePackage::shortFiles()
{
    QFETCH(int, size);
    QFETCH(int, fullRc);
    QFETCH(int, headerRc);
    auto package = build({image(bytes(100, 0), 1, {device(kUnit, 0)})});
    package.resize(size_t(size));
    PackageWriter::seal(package);
    for (bool full : {true, false}) {
        Query q;
        query(package, full, q);
        QCOMPARE(int(q.rc), full ? fullRc : headerRc);
        QVERIFY(q.list.empty());
    }
}

void TestFirmwarePackage::changedByteFailsFullReadOnly_data()
{
    QTest::addColumn<int>("offset");
    QTest::newRow("digest first") << 0;
    QTest::newRow("digest last") << 31;
    QTest::newRow("record magic") << 32;
    QTest::newRow("version") << int(kVersion);
    QTest::newRow("device id") << int(kDevId + 3);
    QTest::newRow("data") << 200;
    QTest::newRow("last byte") << -1;
}

void TestFirmwarePackage::changedByteFailsFullReadOnly()
{
    QFETCH(int, offset);
    auto package = build({image(bytes(300, 0), 3, {device(kUnit, 0)})});
    const size_t at = offset < 0 ? package.size() - 1 : size_t(offset);
    package[at] ^= 0x01;
    Query full;
    query(package, true, full);
    QCOMPARE(full.rc, ERROR_BLOB_CHECKSUM);
    QVERIFY(full.list.empty());

    // The header read does not look at the digest; a flipped version or
    // data byte still reads, a flipped magic is a bad header.
    Query headers;
    query(package, false, headers);
    if (at == kMagic)
        QCOMPARE(headers.rc, ERROR_INVALID_RESOURCE_HEADER);
    else if (at == kDevId + 3)
        QVERIFY(headers.rc == ERROR_OK && headers.list.empty());
    else
        QCOMPARE(headers.rc, ERROR_OK);
}

// A package many times the reader's buffer: the image comes out whole, and a
// damaged byte anywhere fails the check.
void TestFirmwarePackage::largePackage()
{
    const std::vector<uint8_t> data = bytes((1 << 20) + 333, 4);
    const auto good = build({image(data, 2, {device(kUnit, 0)})});
    Query q;
    query(good, true, q);
    QCOMPARE(q.rc, ERROR_OK);
    QCOMPARE(int(q.list.size()), 1);
    QVERIFY(std::equal(data.begin(), data.end(), q.at(0)->getResourceData()));

    for (size_t at : {good.size() / 2, good.size() - 1}) {
        auto damaged = good;
        damaged[at] ^= 0x80;
        Query d;
        query(damaged, true, d);
        QCOMPARE(d.rc, ERROR_BLOB_CHECKSUM);
        QVERIFY(d.list.empty());
    }
}

void TestFirmwarePackage::badResourceHeader_data()
{
    QTest::addColumn<std::vector<uint8_t>>("package");
    // The damage is always in the second record, after one that matched.
    const auto good = build({image(bytes(64, 0), 1, {device(kUnit, 0)}), image(bytes(64, 1), 2, {device(kUnit, 1)})});
    const size_t second = kRec + 48 + 64;
    auto edit = [&](auto change) {
        auto p = good;
        change(p);
        PackageWriter::seal(p);
        return p;
    };
    QTest::newRow("header length 47") << edit([&](auto& p) { put16(p, second + 12, 47); });
    QTest::newRow("compression 2") << edit([&](auto& p) { p[second + 14] = 2; });
    QTest::newRow("bad magic") << edit([&](auto& p) { put16(p, second, 0x7E7F); });
    QTest::newRow("record past the end") << edit([&](auto& p) { put32(p, second + 8, 48 + 65); });
    QTest::newRow("record length 0xFFFFFFFF") << edit([&](auto& p) { put32(p, second + 8, 0xFFFFFFFF); });
    QTest::newRow("header fills the record") << edit([&](auto& p) { put16(p, second + 12, 48 + 64); });
    QTest::newRow("data length below stored") << edit([&](auto& p) { put32(p, second + 16, 63); });
    QTest::newRow("stored image claims more") << edit([&](auto& p) { put32(p, second + 16, 65); });
    QTest::newRow("trailing bytes") << edit([&](auto& p) { p.resize(p.size() + 23, 0x7E); });
}

void TestFirmwarePackage::badResourceHeader()
{
    QFETCH(std::vector<uint8_t>, package);
    for (bool full : {true, false}) {
        Query q;
        query(package, full, q);
        QCOMPARE(q.rc, ERROR_INVALID_RESOURCE_HEADER);
        QVERIFY(q.list.empty());
    }
}

void TestFirmwarePackage::badDeviceHeader_data()
{
    QTest::addColumn<std::vector<uint8_t>>("package");
    // Record 1: one 24-byte header for another unit. Record 2: two 16-byte
    // headers, the unit's second, so nothing matches before the damage.
    const auto good = build({image(bytes(40, 0), 1, {device(kOtherUnit, 0)}),
                             image(bytes(40, 1), 2, {device(kOtherUnit, 1, 16), device(kUnit, 1, 16)})});
    const size_t dev2 = kRec + 48 + 40 + 24;
    auto edit = [&](auto change) {
        auto p = good;
        change(p);
        PackageWriter::seal(p);
        return p;
    };
    QTest::newRow("length 15") << edit([&](auto& p) { put16(p, kDevLength, 15); });
    QTest::newRow("length 25") << edit([&](auto& p) { put16(p, kDevLength, 25); });
    QTest::newRow("length 0") << edit([&](auto& p) { put16(p, dev2 + 2, 0); });
    QTest::newRow("id type 3") << edit([&](auto& p) { put16(p, kDevType, 3); });
    QTest::newRow("id type 0xFFFF") << edit([&](auto& p) { put16(p, dev2 + 10, 0xFFFF); });
    // 24 instead of 16 leaves 8 bytes before the data: a header would
    // overlap the image.
    QTest::newRow("runs into the data") << edit([&](auto& p) { put16(p, dev2 + 2, 24); });
}

void TestFirmwarePackage::badDeviceHeader()
{
    QFETCH(std::vector<uint8_t>, package);
    for (bool full : {true, false}) {
        Query q;
        query(package, full, q);
        QCOMPARE(q.rc, ERROR_INVALID_DEVICE_HEADER);
        QVERIFY(q.list.empty());
    }
}

void TestFirmwarePackage::oneResourcePerRecord()
{
    const auto package = build({image(bytes(10, 0), 1, {device(kUnit, 0, 16, 0, 100), device(kUnit, 0, 16, 0, 200)})});
    Query q;
    query(package, true, q);
    QCOMPARE(q.rc, ERROR_OK);
    QCOMPARE(int(q.list.size()), 1);
    QCOMPARE(q.at(0)->address_offset, 100u); // the first header wins

    // Same number, other id type: no match.
    FirmwareUnpacker unpacker;
    unpacker.init(path("q.bin").toStdString());
    Query pci;
    QCOMPARE(unpacker.queryResources(PCI, kUnit, pci.list), ERROR_OK);
    QVERIFY(pci.list.empty());
}

void TestFirmwarePackage::inflation_data()
{
    QTest::addColumn<int>("claimedDelta"); // data length field minus the true length
    QTest::addColumn<bool>("ok");
    QTest::newRow("exact") << 0 << true;
    QTest::newRow("one byte short") << 1 << false;
    QTest::newRow("one byte long") << -1 << false;
}

void TestFirmwarePackage::inflation()
{
    QFETCH(int, claimedDelta);
    QFETCH(bool, ok);
    const auto data = bytes(4480, 9);
    auto package = build({image(data, 1, {device(kUnit, 1)}, true)});
    put32(package, kDataLength, uint32_t(int(data.size()) + claimedDelta));
    PackageWriter::seal(package);
    Query q;
    query(package, true, q);
    QCOMPARE(q.rc, ERROR_OK);
    Resource* r = q.at(0);
    const uint8_t* stored = r->data;
    for (int attempt = 0; attempt < 2; ++attempt) { // a failure can be retried and fails the same way
        QCOMPARE(r->decompressResource(), ok);
        QCOMPARE(r->getResourceData() != nullptr, ok);
        QCOMPARE(r->getResourceDataLength(), ok ? uint32_t(data.size()) : 0u);
        QCOMPARE(r->decompressed, ok);
    }
    if (!ok)
        QCOMPARE(r->data, stored); // the stored stream stays
}

// Streams that claim little and inflate to a lot, or claim the impossible.
void TestFirmwarePackage::hostileSizes()
{
    const std::vector<uint8_t> zeros(32 << 20, 0); // deflates to about 32 KiB
    auto bomb = build({image(zeros, 1, {device(kUnit, 0)}, true)});
    put32(bomb, kDataLength, 100000);
    PackageWriter::seal(bomb);
    Query q;
    query(bomb, true, q);
    QCOMPARE(q.rc, ERROR_OK);
    QVERIFY(q.at(0)->stored_length < 100000);
    QVERIFY(!q.at(0)->getResourceData());

    // 4 GiB promised by a 50-byte stream is refused without trying.
    auto huge = build({image(bytes(50, 1), 1, {device(kUnit, 0)}, false)});
    huge[kCompression] = 1;
    put32(huge, kDataLength, 0xFFFFFFFF);
    PackageWriter::seal(huge);
    Query h;
    query(huge, true, h);
    QCOMPARE(h.rc, ERROR_OK);
    QVERIFY(!h.at(0)->decompressResource()); // not a zlib stream either way
    QCOMPARE(h.at(0)->getResourceDataLength(), 0u);

    // The most device headers a record can hold; the unit's is the last.
    std::vector<DeviceHeaderSpec> many(4090, device(kOtherUnit, 0, 16));
    many.push_back(device(kUnit, 3, 16));
    const auto crowd = build({image(bytes(1, 0), 1, many)});
    QVERIFY(!crowd.empty());
    Query c;
    query(crowd, false, c);
    QCOMPARE(c.rc, ERROR_OK);
    QCOMPARE(int(c.at(0)->resource_id), 3);
}

// Random damage to a resealed package must end in a defined result; the
// sanitizer build turns any stray read into a failure.
void TestFirmwarePackage::randomDamageStaysInBounds()
{
    const auto good = build({image(bytes(100, 0), 1, {device(kUnit, 0, 20), device(kOtherUnit, 0, 16)}),
                             image(bytes(3000, 1), 2, {device(kOtherUnit, 0, 16), device(kUnit, 1, 16)}, true)});
    QVERIFY(!good.empty());
    QRandomGenerator rng(5);
    for (int round = 0; round < 400; ++round) {
        auto p = good;
        for (int n = int(rng.bounded(1, 6)); n > 0; --n)
            p[rng.bounded(32, int(p.size()))] = uint8_t(rng.generate());
        if (rng.bounded(4) == 0)
            p.resize(rng.bounded(int(p.size())));
        PackageWriter::seal(p);
        for (bool full : {true, false}) {
            Query q;
            query(p, full, q);
            QVERIFY2(q.rc == ERROR_OK || q.rc == ERROR_INVALID_BLOB_LENGTH || q.rc == ERROR_INVALID_DEVICE_HEADER
                         || q.rc == ERROR_INVALID_RESOURCE_HEADER,
                     FirmwarePackageErrorString(q.rc));
            for (Resource* r : q.list) {
                if (uint8_t* d = r->getResourceData()) {
                    volatile uint8_t sum = 0;
                    for (uint32_t i = 0; i < r->getResourceDataLength(); ++i)
                        sum += d[i];
                }
            }
        }
    }
}

void TestFirmwarePackage::fileAccessAndCache()
{
    FirmwareUnpacker unpacker;
    ResourceList list;
    QCOMPARE(unpacker.queryResources(USB, kUnit, list), ERROR_NOT_INITIALISED);
    unpacker.init(path("missing.bin").toStdString());
    QCOMPARE(unpacker.queryHeaders(USB, kUnit, list), ERROR_FILE_ACCESS);
    unpacker.init(m_dir.path().toStdString());
    QCOMPARE(unpacker.queryResources(USB, kUnit, list), ERROR_FILE_ACCESS);
    const QString fifo = path("fifo.bin");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    unpacker.init(fifo.toStdString());
    QCOMPARE(unpacker.queryHeaders(USB, kUnit, list), ERROR_FILE_ACCESS); // refused, not waited on

    // A validated package stays in memory: later queries don't need the file.
    const QString file = path("cached.bin");
    QVERIFY(write(file, build({image(bytes(10, 0), 4, {device(kUnit, 0)})})));
    unpacker.init(file.toStdString());
    QCOMPARE(unpacker.queryResources(USB, kUnit, list), ERROR_OK);
    QVERIFY(QFile::remove(file));
    QCOMPARE(unpacker.queryHeaders(USB, kUnit, list), ERROR_OK);
    QCOMPARE(int(list.size()), 1);
    QVERIFY(!list.front()->data);
    QCOMPARE(unpacker.queryResources(USB, kUnit, list), ERROR_OK);
    QVERIFY(list.front()->data);
    unpacker.init(file.toStdString());
    QCOMPARE(unpacker.queryResources(USB, kUnit, list), ERROR_FILE_ACCESS);
    QVERIFY(list.empty());
}

void TestFirmwarePackage::listHelpers()
{
    ResourceList list{new Resource, new Resource};
    QCOMPARE(GetResourceByIndex(list, 0), list.front());
    QCOMPARE(GetResourceByIndex(list, 1), list.back());
    QVERIFY(!GetResourceByIndex(list, -1));
    QVERIFY(!GetResourceByIndex(list, 2));
    QCOMPARE(list.front()->device_id_type, USB);
    QCOMPARE(list.front()->target_sub_id, 0);
    FreeResourceList(list);
    QVERIFY(list.empty());

    QCOMPARE(FirmwarePackageErrorString(ERROR_BLOB_CHECKSUM), "Binary blob checksum failed");
    QCOMPARE(FirmwarePackageErrorString(ErrorCode(8)), "Uknown");
    QCOMPARE(FirmwarePackageErrorString(ErrorCode(-1)), "Uknown");
}

QTEST_APPLESS_MAIN(TestFirmwarePackage)
#include "tst_firmwarepackage.moc"
