// Gathering resources from search paths, the program folder lookup, and the
// package builder's command line.

#include "executabledir.h"
#include "filestore.h"
#include "packagefixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace MVNFirmwarePackage;
using namespace fixture;

class TestFileStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void folderListing();
    void resourcesInPathOrder();
    void pathPlaceholder();
    void mkpackageBuildsAndLists();
    void mkpackageRefuses_data();
    void mkpackageRefuses();

private:
    QString dir(const QString& name) const
    {
        const QString p = m_dir.filePath(name);
        QDir().mkpath(p);
        return p;
    }
    static std::vector<uint8_t> unitPackage(uint32_t version, uint8_t part)
    {
        return build({image(bytes(32, uint8_t(version)), version, {device(kUnit, part)})});
    }
    static QByteArray run(const QStringList& args, int& exitCode)
    {
        QProcess p;
        p.start(QStringLiteral(ONDAVIA_MKPACKAGE), args);
        if (!p.waitForFinished(30000))
            return "did not finish";
        exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return p.readAllStandardOutput() + p.readAllStandardError();
    }

    QTemporaryDir m_dir;
};

void TestFileStore::folderListing()
{
    const QString folder = dir("listing");
    QVERIFY(write(folder + "/b.bin", unitPackage(2, 0)));
    QVERIFY(write(folder + "/a.bin", unitPackage(1, 0)));
    QVERIFY(write(folder + "/c.BIN", unitPackage(3, 0)));
    QVERIFY(QDir(folder).mkdir("d.bin"));
    QVERIFY(QFile::link(folder + "/a.bin", folder + "/e.bin"));       // followed
    QVERIFY(QFile::link(folder + "/nowhere", folder + "/f.bin"));     // broken: skipped
    QVERIFY(write(folder + "/g.bin.old", unitPackage(4, 0)));

    FileStore store;
    store.addPath(folder.toStdString());
    const std::vector<std::string> expected{(folder + "/a.bin").toStdString(), (folder + "/b.bin").toStdString(),
                                            (folder + "/e.bin").toStdString()};
    QCOMPARE(store.packageFiles(), expected);
}

void TestFileStore::resourcesInPathOrder()
{
    const QString first = dir("first"), second = dir("second");
    QVERIFY(write(first + "/z.bin", unitPackage(7, 1)));
    QVERIFY(write(second + "/a.bin", unitPackage(5, 1)));
    auto damaged = unitPackage(9, 1);
    damaged.back() ^= 0xFF;
    QVERIFY(write(second + "/b.bin", damaged));
    const QString single = m_dir.filePath("single.package");
    QVERIFY(write(single, build({image(bytes(10, 0), 3, {device(kUnit, 0), device(kOtherUnit, 0)})})));

    FileStore store;
    store.addPath(m_dir.filePath("missing").toStdString());
    store.addPath(first.toStdString());
    store.addPath(second.toStdString());
    store.addPath(single.toStdString());

    // Full read: the damaged package contributes nothing.
    FileStore::ResourceList out;
    store.getResources(out, USB, kUnit, true);
    QList<uint32_t> versions;
    for (const auto& r : out) {
        QVERIFY(r->data);
        versions << r->version;
    }
    QCOMPARE(versions, QList<uint32_t>({7, 5, 3}));

    // Header read: no digest check, so it is listed; results are appended.
    store.getResources(out, USB, kUnit, false);
    QCOMPARE(int(out.size()), 3 + 4);
    QCOMPARE(std::next(out.begin(), 5)->get()->version, 9u);
    QVERIFY(!out.back()->data);

    FileStore::ResourceList none;
    store.getResources(none, PCI, kUnit, false);
    QVERIFY(none.empty());
}

void TestFileStore::pathPlaceholder()
{
    const std::string exeDir = ExecutableDir();
    QCOMPARE(QString::fromStdString(exeDir), QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
    FileStore store;
    store.addPath("%path%/Firmware/%path%");
    store.addPath("/opt/plain");
    QCOMPARE(store.paths().at(0), exeDir + "/Firmware/%path%");
    QCOMPARE(store.paths().at(1), std::string("/opt/plain"));
}

// The shipping package of a unit: application flash through the bootloader
// (part 0) and the FPGA image for its EEPROM (part 1), compressed.
void TestFileStore::mkpackageBuildsAndLists()
{
    const QString folder = dir("tool");
    QVERIFY(write(folder + "/app.img", bytes(5000, 1)));
    QVERIFY(write(folder + "/fpga.img", bytes(70000, 2)));
    const QString package = folder + "/unit.bin";
    int rc = -1;
    QByteArray out = run({"-o", package, "--image", folder + "/app.img", "--version", "7", "--format", "xmega",
                          "--device", "usb:0xf0da:0x7eaa,resource=0,target=0",
                          "--image", folder + "/fpga.img", "--version", "5", "--compress", "--version-header",
                          "--device", "usb:0xf0da:0x7eaa,resource=1,target=1,address=0,sub=2"},
                         rc);
    QVERIFY2(rc == 0, out.constData());

    FileStore store;
    store.addPath(package.toStdString());
    FileStore::ResourceList resources;
    store.getResources(resources, USB, kUnit, true);
    QCOMPARE(int(resources.size()), 2);
    QCOMPARE(resources.back()->getResourceDataLength(), 70000u);
    auto fpga = bytes(70000, 2);
    fpga[0] = 0; // the EEPROM version header: valid image, version 5
    fpga[1] = 5;
    QVERIFY(std::equal(resources.back()->data, resources.back()->data + 70000, fpga.begin()));

    out = run({"--list", package, "--device", "usb:0xf0da:0x7eaa"}, rc);
    QCOMPARE(rc, 0);
    const QByteArray expected = "Device USB 0xF0DA7EAA\n"
                                "[Resource 1]\nversion = 7\nformat = XMEGA\nHash = "
                                + QByteArray::number(resources.front()->hash, 16).toUpper().rightJustified(8, '0')
                                + "\n- device_id_type = USB\n- device_id = 0xF0DA7EAA\n- resource_id = 0\n"
                                  "- target_id = 0\n- target_sub_id = -1\n- address_offset = 0\n\n"
                                  "[Resource 2]\nversion = 5\nformat = BINARY\nHash = "
                                + QByteArray::number(resources.back()->hash, 16).toUpper().rightJustified(8, '0')
                                + "\n- device_id_type = USB\n- device_id = 0xF0DA7EAA\n- resource_id = 1\n"
                                  "- target_id = 1\n- target_sub_id = 2\n- address_offset = 0\n\n";
    QCOMPARE(out, expected);

    out = run({"--list", package, "--device", "pci:7"}, rc);
    QCOMPARE(rc, 0);
    QCOMPARE(out, QByteArray("Device PCI 0x00000007\nEmpty\n"));
}

void TestFileStore::mkpackageRefuses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("no device") << QStringList{"-o", "x.bin", "--image", "img"} << QByteArray("no device header");
    QTest::newRow("headers too short")
        << QStringList{"-o", "x.bin", "--image", "img", "--device", "usb:1:2,length=20"}
        << QByteArray("at least 24 bytes");
    QTest::newRow("length 25") << QStringList{"-o", "x.bin", "--image", "img", "--device", "usb:1:2,length=25"}
                               << QByteArray("bad device header length");
    QTest::newRow("vendor id too big") << QStringList{"-o", "x.bin", "--image", "img", "--device", "usb:0x10000:1"}
                                       << QByteArray("bad vendor id");
    QTest::newRow("option before image") << QStringList{"-o", "x.bin", "--version", "3"}
                                         << QByteArray("must follow --image");
    QTest::newRow("damaged package") << QStringList{"--list", "damaged.bin"}
                                     << QByteArray("Binary blob checksum failed");
    QTest::newRow("missing image") << QStringList{"-o", "x.bin", "--image", "nothing"}
                                   << QByteArray("No such file");
    // Such a header reads as an update cut short: offered again for ever.
    QTest::newRow("header bytes 2 and 3 erased")
        << QStringList{"-o", "x.bin", "--image", "erased", "--version-header", "--device", "usb:1:2"}
        << QByteArray("bytes 2 and 3");
}

void TestFileStore::mkpackageRefuses()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, message);
    const QString folder = dir("refuse");
    QVERIFY(write(folder + "/img", bytes(100, 0)));
    auto damaged = unitPackage(1, 0);
    damaged[40] ^= 1;
    QVERIFY(write(folder + "/damaged.bin", damaged));
    auto erased = bytes(100, 0);
    erased[2] = erased[3] = 0xFF;
    QVERIFY(write(folder + "/erased", erased));
    for (QString& a : args) {
        if (a == "img" || a == "nothing" || a == "erased" || a.endsWith(".bin"))
            a = folder + "/" + a;
    }
    int rc = -1;
    const QByteArray out = run(args, rc);
    QCOMPARE(rc, 1);
    QVERIFY2(out.contains(message), out.constData());
    QVERIFY(!QFile::exists(folder + "/x.bin"));
}

QTEST_GUILESS_MAIN(TestFileStore)
#include "tst_filestore.moc"
