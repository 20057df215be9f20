// Node enumeration, instances, the request transport and the wrappers,
// against emulated card nodes in a umockdev test bed.

#include "emulatedcardbed.h"
#include "morvaneioioctlmessageuser.h"
#include "preloadreexec.h"
#include "zeltradriver.h"
#include "zeltrarequests.h"

#include <QtTest>

#include <memory>

namespace {

struct IteratorDeleter {
    void operator()(ZeltraIteratorRec* iterator) const { ReleaseZeltraIterator(iterator); }
};
struct InstanceDeleter {
    void operator()(ZeltraInstanceRec* instance) const { CloseDriverConnectionCore(instance); }
};
using Iterator = std::unique_ptr<ZeltraIteratorRec, IteratorDeleter>;
using Instance = std::unique_ptr<ZeltraInstanceRec, InstanceDeleter>;

QStringList paths(const ZeltraIteratorRec* iterator)
{
    QStringList result;
    for (const ZeltraDeviceNode& node : iterator->nodes) {
        char path[kZeltraPathSize];
        if (node.toPath(path))
            result << QString::fromLatin1(path);
    }
    return result;
}

ZeltraDeviceNode nodeOf(const char* path)
{
    ZeltraDeviceNode node;
    if (!node.fromPath(path))
        qFatal("bad node path %s", path);
    return node;
}

EmulatedCard card(const std::string& line)
{
    EmulatedCard result;
    std::string error;
    if (!result.parse(line, &error))
        qFatal("bad card line: %s", error.c_str());
    return result;
}

// A bed with the given cards, or a failed test.
#define MAKE_BED(bed, ...)                                            \
    EmulatedCardBed bed;                                              \
    do {                                                              \
        std::string error;                                            \
        for (const std::string& entry : std::initializer_list<std::string>{__VA_ARGS__}) \
            QVERIFY2(bed.addCard(card(entry), &error), error.c_str());                 \
    } while (false)

Instance openNode(const char* path)
{
    const ZeltraDeviceNode node = nodeOf(path);
    return Instance(ZeltraOpenDevice(&node));
}

} // namespace

class TestPcieDriver : public QObject {
    Q_OBJECT

private slots:
    void nodeFromPath_data();
    void nodeFromPath();
    void nodeOrderAndNames();

    void enumerationOrder();
    void enumerationLeavesOut_data();
    void enumerationLeavesOut();
    void interruptedRequestsRetried_data();
    void interruptedRequestsRetried();
    void subDevicesGrouped();
    void groupingAlwaysEnds_data();
    void groupingAlwaysEnds();
    void missingDirectory();
    void iterationAndConnect();

    void devicePath_data();
    void devicePath();
    void openRequiresVersion_data();
    void openRequiresVersion();

    void messageShapeRefusedBeforeDriver();
    void transportCapsReturnedCounts_data();
    void transportCapsReturnedCounts();
    void driverResultPassedUp_data();
    void driverResultPassedUp();

    void needsFirmwareUpdate_data();
    void needsFirmwareUpdate();
    void needsFirmwareUpdateArguments();
    void modelName();
    void settingsRoundTrip_data();
    void settingsRoundTrip();
};

void TestPcieDriver::nodeFromPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");

    QTest::newRow("full path") << "/dev/morvane/card3" << true << "card" << 3;
    QTest::newRow("bare name") << "io7" << true << "io" << 7;
    QTest::newRow("255 is the largest") << "/dev/morvane/dv255" << true << "dv" << 255;
    QTest::newRow("256 does not wrap") << "/dev/morvane/dv256" << false << "" << 0;
    QTest::newRow("14 letters") << "/dev/morvane/abcdefghijklmn4" << true << "abcdefghijklmn" << 4;
    QTest::newRow("15 letters") << "/dev/morvane/abcdefghijklmno4" << false << "" << 0;
    QTest::newRow("no number") << "/dev/morvane/dv" << false << "" << 0;
    QTest::newRow("empty") << "" << false << "" << 0;
}

void TestPcieDriver::nodeFromPath()
{
    QFETCH(QString, path);
    QFETCH(bool, accepted);
    QFETCH(QString, name);
    QFETCH(int, number);

    ZeltraDeviceNode node;
    const QByteArray raw = path.toLatin1();
    QCOMPARE(node.fromPath(raw.constData()), accepted);
    if (!accepted)
        return;
    QCOMPARE(QString::fromLatin1(node.name), name);
    QCOMPARE(int(node.number), number);
    // The name field is zero-padded to its full size.
    for (size_t i = size_t(name.size()); i < ZeltraDeviceNode::kNameSize; ++i)
        QCOMPARE(int(node.name[i]), 0);
    char again[kZeltraPathSize];
    QVERIFY(node.toPath(again));
    QCOMPARE(QString::fromLatin1(again), QStringLiteral("/dev/morvane/%1%2").arg(name).arg(number));
}

void TestPcieDriver::nodeOrderAndNames()
{
    QVERIFY(nodeOf("card1") < nodeOf("dv0"));
    QVERIFY(nodeOf("dv2") < nodeOf("dv10")); // numbers compare as numbers
    QVERIFY(!(nodeOf("dv2") < nodeOf("dv2")));
    QVERIFY(nodeOf("io4") == nodeOf("/dev/morvane/io4"));
    QVERIFY(nodeOf("io4") != nodeOf("io5"));

    QCOMPARE(QString::fromLatin1(nodeOf("card0").driverName()), QStringLiteral("Zeltra"));
    QCOMPARE(QString::fromLatin1(nodeOf("io0").driverName()), QStringLiteral("MorvaneIO"));
    QCOMPARE(nodeOf("dvx0").driverName(), nullptr);
    QCOMPARE(nodeOf("io0").driverNameIndex(), 2);
    QCOMPARE(nodeOf("xy0").driverNameIndex(), -1);
    QCOMPARE(nodeOf("dv0").driverNameByIndex(3), nullptr);

    // A name that fills all 15 bytes (as a hostile segment may hold) is
    // neither misread nor overrun when formed into a path.
    ZeltraDeviceNode full;
    memset(full.name, 'x', sizeof(full.name));
    full.number = 9;
    char path[kZeltraPathSize];
    QVERIFY(full.toPath(path));
    QCOMPARE(QString::fromLatin1(path), QStringLiteral("/dev/morvane/xxxxxxxxxxxxxxx9"));
    QCOMPARE(full.driverNameIndex(), -1);
}

void TestPcieDriver::enumerationOrder()
{
    MAKE_BED(bed, "io2", "dv0", "card1");
    Iterator iterator(CreateZeltraIterator());
    QVERIFY(iterator);
    QCOMPARE(paths(iterator.get()),
             QStringList({"/dev/morvane/card1", "/dev/morvane/dv0", "/dev/morvane/io2"}));
    QCOMPARE(iterator->position, 0u);
}

void TestPcieDriver::enumerationLeavesOut_data()
{
    QTest::addColumn<QString>("line");

    QTest::newRow("major not 10") << "dv0 major=11";
    // The test bed presents every file under /dev as a character device;
    // a plain file there has no device number, so major 0.
    QTest::newRow("plain file") << "dv0 file";
    QTest::newRow("version 188") << "dv0 version=188";
    QTest::newRow("sub-device request fails") << "dv0 fail=2458:5";
    QTest::newRow("version request fails") << "io0 fail=65536:-1";
    QTest::newRow("unknown driver") << "xv0";
    QTest::newRow("name too long") << "abcdefghijklmno0";
}

void TestPcieDriver::enumerationLeavesOut()
{
    QFETCH(QString, line);
    MAKE_BED(bed, "io1", line.toStdString().c_str());
    Iterator iterator(CreateZeltraIterator());
    QCOMPARE(paths(iterator.get()), QStringList({"/dev/morvane/io1"}));
}

void TestPcieDriver::interruptedRequestsRetried_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("version probe") << "dv0 interrupt=65536:2";
    QTest::newRow("sub-device message") << "io0 interrupt=2458:1";
    QTest::newRow("hardware description") << "dv0 interrupt=2448:3";
}

void TestPcieDriver::interruptedRequestsRetried()
{
    // A signal during a probe must not drop the card.
    QFETCH(QString, line);
    MAKE_BED(bed, line.toLatin1().constData());
    const QByteArray node = line.section(' ', 0, 0).toLatin1();
    Iterator iterator(CreateZeltraIterator());
    QCOMPARE(paths(iterator.get()), QStringList({"/dev/morvane/" + QString::fromLatin1(node)}));
    Instance instance(openNode(node.constData()));
    QVERIFY(instance);
}

void TestPcieDriver::subDevicesGrouped()
{
    // dv1 and io0 are the two halves of one card (group 7), reported with
    // indexes 1 and 0: they stand together, index 0 first, at dv1's place.
    MAKE_BED(bed, "dv4", "io0 sub=0/2/7", "card2", "dv1 sub=1/2/7");
    Iterator iterator(CreateZeltraIterator());
    QCOMPARE(paths(iterator.get()), QStringList({"/dev/morvane/card2", "/dev/morvane/io0", "/dev/morvane/dv1",
                                                 "/dev/morvane/dv4"}));
}

void TestPcieDriver::groupingAlwaysEnds_data()
{
    // Rows of "name number index count group" separated by ';'.
    QTest::addColumn<QString>("elements");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("count 0") << "dv 0 0 0 1; dv 1 0 0 1" << QStringList({"dv0", "dv1"});
    QTest::newRow("missing index") << "dv 0 2 3 5; dv 1 0 3 5; dv 2 0 1 9"
                                   << QStringList({"dv1", "dv0", "dv2"});
    QTest::newRow("index beyond count") << "dv 0 4 2 5; dv 1 1 2 5" << QStringList({"dv1", "dv0"});
    QTest::newRow("duplicate index") << "dv 0 0 2 5; dv 1 0 2 5; dv 2 1 2 5"
                                     << QStringList({"dv0", "dv2", "dv1"});
    QTest::newRow("huge count") << "dv 0 1 4294967295 5; io 0 0 4294967295 5" << QStringList({"io0", "dv0"});
}

void TestPcieDriver::groupingAlwaysEnds()
{
    QFETCH(QString, elements);
    QFETCH(QStringList, expected);

    std::vector<EnumeratedDeviceListElmt> list;
    for (const QString& row : elements.split(';')) {
        const QStringList f = row.simplified().split(' ');
        EnumeratedDeviceListElmt element;
        QVERIFY(element.node.fromPath((f[0] + f[1]).toLatin1().constData()));
        element.subDeviceIndex = f[2].toUInt();
        element.subDeviceCount = f[3].toUInt();
        element.groupIdentifier = f[4].toUInt();
        list.push_back(element);
    }
    QStringList names;
    for (const ZeltraDeviceNode& node : ZeltraIteratorRec::orderNodes(list))
        names << QString::fromLatin1(node.name) + QString::number(node.number);
    QCOMPARE(names, expected);
}

void TestPcieDriver::missingDirectory()
{
    EmulatedCardBed bed; // no cards: /dev/morvane does not exist
    Iterator iterator(CreateZeltraIterator());
    QVERIFY(iterator);
    QVERIFY(iterator->nodes.empty());
    ZeltraInstanceRec* instance = reinterpret_cast<ZeltraInstanceRec*>(0x1);
    QCOMPARE(ConnectToDriverCore(&instance, iterator.get()), 0);
    QCOMPARE(instance, nullptr);
    QCOMPARE(ConnectToDriverCore(&instance, nullptr), 0);
    QCOMPARE(ZeltraIteratorNext(iterator.get()), nullptr);
}

void TestPcieDriver::iterationAndConnect()
{
    MAKE_BED(bed, "dv0", "dv1", "io2");
    Iterator iterator(CreateZeltraIterator());
    QCOMPARE(iterator->nodes.size(), size_t(3));

    ZeltraInstanceRec* raw = nullptr;
    QCOMPARE(ConnectToDriverCore(&raw, iterator.get()), 1);
    Instance first(raw);
    QCOMPARE(iterator->position, 1u);
    // A node that has gone away stops the iteration without advancing.
    QVERIFY(bed.updateCard(card("dv1 version=0")));
    QCOMPARE(ConnectToDriverCore(&raw, iterator.get()), 0);
    QCOMPARE(iterator->position, 1u);
    QVERIFY(bed.updateCard(card("dv1")));
    Instance second(ZeltraIteratorNext(iterator.get()));
    QVERIFY(second);
    QCOMPARE(second->deviceNumber, 1u);
    ResetZeltraIterator(iterator.get());
    QCOMPARE(iterator->position, 0u);

    // A null iterator opens the first node of a temporary one.
    QCOMPARE(ConnectToDriverCore(&raw, nullptr), 1);
    Instance temporary(raw);
    QCOMPARE(temporary->deviceNumber, 0u);

    QCOMPARE(ConnectToNextZeltra(&raw, 3), 1);
    Instance third(raw);
    QCOMPARE(QString::fromLatin1(GetDriverName(third.get())), QStringLiteral("MorvaneIO"));
    QCOMPARE(ConnectToNextZeltra(&raw, 4), 0);
    QCOMPARE(raw, nullptr);
    QCOMPARE(ConnectToNextZeltra(&raw, 0), 0);
    ReleaseZeltraIterator(nullptr);
    CloseDriverConnectionCore(nullptr);
}

void TestPcieDriver::devicePath_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("interfaceType");

    QTest::newRow("card node") << "card3" << "/dev/morvane/dv3" << 0;
    QTest::newRow("dv node") << "dv0" << "/dev/morvane/dv0" << 0;
    QTest::newRow("io node") << "io2" << "/dev/morvane/io2" << 4;
}

void TestPcieDriver::devicePath()
{
    QFETCH(QString, node);
    QFETCH(QString, path);
    QFETCH(int, interfaceType);

    MAKE_BED(bed, node.toLatin1().constData());
    Instance instance(openNode(node.toLatin1().constData()));
    QVERIFY(instance);
    char result[kZeltraPathSize] = {};
    QCOMPARE(GetDevicePath(instance.get(), result), 1);
    QCOMPARE(QString::fromLatin1(result), path);
    QCOMPARE(int(instance->interfaceType), interfaceType);
    QVERIFY(GetDriverFileDescriptor(instance.get()) >= 0);
    QVERIFY(instance->mutexInitialised);
    // The emulated node backs its shared-data area, so the version came
    // from the mapping rather than from a request.
    QVERIFY(instance->sharedData);
    QCOMPARE(GetDevicePath(nullptr, result), 0);
    QCOMPARE(GetDriverFileDescriptor(nullptr), -1);
}

void TestPcieDriver::openRequiresVersion_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("opens");

    QTest::newRow("189") << "dv0" << true;
    QTest::newRow("190") << "dv0 version=190" << false;
    QTest::newRow("no hardware description") << "dv0 fail=2448:3" << false;
    QTest::newRow("io without description") << "io0 fail=2448:3" << false;
}

void TestPcieDriver::openRequiresVersion()
{
    QFETCH(QString, line);
    QFETCH(bool, opens);
    MAKE_BED(bed, line.toLatin1().constData());
    const QByteArray node = line.section(' ', 0, 0).toLatin1();
    Instance instance(openNode(node.constData()));
    QCOMPARE(bool(instance), opens);
}

void TestPcieDriver::messageShapeRefusedBeforeDriver()
{
    MAKE_BED(bed, "io0", "dv1");
    Instance io(openNode("io0"));
    Instance dv(openNode("dv1"));
    QVERIFY(io && dv);
    IoctlMessageUser* user = io->messageUser;
    bed.clearRequests();

    unsigned long long in[5] = {1, 2, 3, 4, 5};
    unsigned long long out[5] = {};
    const int needsUpdate = 2463;
    QCOMPARE(user->writeScalar(needsUpdate, in, 5), int(kZeltraBadArgument));
    QCOMPARE(user->readScalar(needsUpdate, out, 5), int(kZeltraBadArgument));
    unsigned char bytes[8] = {};
    QCOMPARE(user->writeStruct(needsUpdate, bytes, sizeof(bytes)), int(kZeltraBadArgument));
    unsigned int size = sizeof(bytes);
    QCOMPARE(user->readStruct(needsUpdate, bytes, &size), int(kZeltraBadArgument));
    // A selector the MorvaneIO driver has no translation for.
    auto* morvane = dynamic_cast<MorvaneIOIoctlMessageUser*>(user);
    QVERIFY(morvane);
    QCOMPARE(morvane->translateIoctl(2304), -1);
    QCOMPARE(morvane->translateIoctlToMessage(2448), MorvaneIOIoctlMessageUser::kNoMessage);
    QCOMPARE(user->readScalar(2304, out, 1), int(kZeltraBadArgument));
    QCOMPARE(bed.requestCount("io0"), 0u);

    // Four each way is the most a message carries, and it does go out.
    QCOMPARE(user->writeScalarReadScalar(needsUpdate, in, 4, out, 4), int(kZeltraSuccess));
    QCOMPARE(bed.requestCount("io0"), 1u);

    // The Zeltra driver has no messages.
    _MorvaneIOMessageRequest message;
    QCOMPARE(SendMessageRequest(dv.get(), &message), int(kZeltraUnsupported));
    _MorvaneIOBufferMessageRequest buffer;
    QCOMPARE(SendBufferMessageRequest(dv.get(), &buffer), int(kZeltraUnsupported));
    QCOMPARE(bed.requestCount("dv1"), 0u);
    QCOMPARE(SendMessageRequest(nullptr, &message), int(kZeltraNoInstance));
}

void TestPcieDriver::transportCapsReturnedCounts_data()
{
    QTest::addColumn<QString>("node");
    QTest::newRow("Zeltra") << "dv0";
    QTest::newRow("MorvaneIO") << "io0";
}

void TestPcieDriver::transportCapsReturnedCounts()
{
    QFETCH(QString, node);
    MAKE_BED(bed, (node + " overreport=1 description=abcdefghij").toLatin1().constData());
    Instance instance(openNode(node.toLatin1().constData()));
    QVERIFY(instance);
    IoctlMessageUser* user = instance->messageUser;

    // Room for one scalar between two guards; the driver claims billions.
    unsigned long long guarded[3] = {0x1111, 0, 0x2222};
    QCOMPARE(user->readScalar(2454, &guarded[1], 1), int(kZeltraSuccess));
    QCOMPARE(guarded[0], 0x1111ull);
    QCOMPARE(guarded[2], 0x2222ull);
    QCOMPARE(guarded[1], 0x105ull);

    IoctlArguments args;
    unsigned long long outputs[3] = {0, 0, 0x3333};
    args.scalarOutputCount = 2;
    args.scalarOutputs = outputs;
    QCOMPARE(user->call(2454, &args), int(kZeltraSuccess));
    QCOMPARE(args.scalarOutputCount, 2u);
    QCOMPARE(outputs[2], 0x3333ull);

    if (node.startsWith("dv")) {
        // Structures: four bytes of room, ten offered.
        unsigned char description[8];
        memset(description, 0x5a, sizeof(description));
        unsigned int size = 4;
        QCOMPARE(user->readStruct(2448, description, &size), int(kZeltraSuccess));
        QCOMPARE(size, 4u);
        QCOMPARE(QByteArray(reinterpret_cast<char*>(description), 4), QByteArray("abcd"));
        QCOMPARE(int(description[4]), 0x5a);
    }
}

void TestPcieDriver::driverResultPassedUp_data()
{
    QTest::addColumn<QString>("node");
    QTest::newRow("Zeltra") << "dv0";
    QTest::newRow("MorvaneIO") << "io0";
}

void TestPcieDriver::driverResultPassedUp()
{
    QFETCH(QString, node);
    MAKE_BED(bed, (node + " fail=2454:5").toLatin1().constData());
    Instance instance(openNode(node.toLatin1().constData()));
    QVERIFY(instance);
    unsigned int version = 77;
    unsigned int build = 88;
    QCOMPARE(GetZeltraFirmwareVersion(instance.get(), &version, &build), 5);
    QCOMPARE(version, 77u);
    QCOMPARE(build, 88u);
    QCOMPARE(GetZeltraFirmwareVersion(nullptr, &version, &build), int(kZeltraNoInstance));
}

void TestPcieDriver::needsFirmwareUpdate_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("needsUpdate");
    QTest::addColumn<unsigned>("inOut");

    QTest::newRow("Zeltra needs") << "dv0 needs-update=1 firmware=0x0302/1" << 0 << true << 0x0302u;
    QTest::newRow("MorvaneIO current") << "io0 firmware=0x0410/1" << 0 << false << 0x0410u;
    QTest::newRow("MorvaneIO needs") << "io0 needs-update=1" << 0 << true << 0x0105u;
    QTest::newRow("driver fails") << "dv0 needs-update=1 fail=2463:9" << 9 << false << 0xabcdu;
    // Only the code comes back: the value sent must not read as "needs update".
    QTest::newRow("MorvaneIO short reply") << "io0 short-reply=8" << 1002 << false << 0xabcdu;
}

void TestPcieDriver::needsFirmwareUpdate()
{
    QFETCH(QString, line);
    QFETCH(int, result);
    QFETCH(bool, needsUpdate);
    QFETCH(unsigned, inOut);

    MAKE_BED(bed, line.toLatin1().constData());
    Instance instance(openNode(line.section(' ', 0, 0).toLatin1().constData()));
    QVERIFY(instance);
    unsigned int word = 0xabcd;
    bool flag = false;
    QCOMPARE(DeviceNeedsFirmwareUpdate(instance.get(), 1, &word, &flag), result);
    QCOMPARE(flag, needsUpdate);
    QCOMPARE(word, inOut);
}

void TestPcieDriver::needsFirmwareUpdateArguments()
{
    MAKE_BED(bed, "dv0 needs-update=1");
    Instance instance(openNode("dv0"));
    QVERIFY(instance);
    bed.clearRequests();
    unsigned int word = 5;
    bool flag = false;
    QCOMPARE(DeviceNeedsFirmwareUpdate(instance.get(), 0, &word, nullptr), int(kZeltraBadArgument));
    QCOMPARE(DeviceNeedsFirmwareUpdate(instance.get(), 0, nullptr, &flag), int(kZeltraBadArgument));
    // Argument checks come before the instance check.
    QCOMPARE(DeviceNeedsFirmwareUpdate(nullptr, 0, &word, nullptr), int(kZeltraBadArgument));
    QCOMPARE(DeviceNeedsFirmwareUpdate(nullptr, 0, &word, &flag), int(kZeltraNoInstance));
    QCOMPARE(bed.requestCount("dv0"), 0u);
    QCOMPARE(word, 5u);
    QCOMPARE(flag, false);

    // An instance whose transport is gone counts as missing.
    IoctlMessageUser* user = instance->messageUser;
    instance->messageUser = nullptr;
    QCOMPARE(DeviceNeedsFirmwareUpdate(instance.get(), 0, &word, &flag), int(kZeltraNoInstance));
    instance->messageUser = user;

    // The two wrappers whose null out-parameter gives 1.
    QCOMPARE(GetZeltraDeviceBusyState(instance.get(), nullptr), int(kZeltraNoInstance));
    QCOMPARE(GetHardwareRevision(instance.get(), nullptr), int(kZeltraNoInstance));
    QCOMPARE(GetZeltraPersistentIdentifier(instance.get(), nullptr), int(kZeltraBadArgument));
}

void TestPcieDriver::modelName()
{
    MAKE_BED(bed, "dv0 model=5", "dv1 model=87", "io2 model=86", "dv3 model=5 fail=2368:4");
    const char* name = nullptr;
    Instance known(openNode("dv0"));
    QCOMPARE(GetModelName(known.get(), &name), 0);
    QCOMPARE(QString::fromLatin1(name), QString::fromLatin1(ZeltraModelNameForIdentifier(5)));
    QVERIFY(QString::fromLatin1(name) != QStringLiteral("Zeltra"));

    Instance unknown(openNode("dv1"));
    QCOMPARE(GetModelName(unknown.get(), &name), 0);
    QCOMPARE(QString::fromLatin1(name), QStringLiteral("Zeltra"));

    Instance last(openNode("io2"));
    QCOMPARE(GetModelName(last.get(), &name), 0);
    QCOMPARE(QString::fromLatin1(name), QString::fromLatin1(ZeltraModelNameForIdentifier(86)));

    Instance failing(openNode("dv3"));
    name = nullptr;
    QCOMPARE(GetModelName(failing.get(), &name), 4);
    QCOMPARE(QString::fromLatin1(name), QStringLiteral("Zeltra"));
    QCOMPARE(GetModelName(nullptr, &name), int(kZeltraNoInstance));
}

void TestPcieDriver::settingsRoundTrip_data()
{
    QTest::addColumn<QString>("node");
    QTest::newRow("Zeltra") << "dv0";
    QTest::newRow("MorvaneIO") << "io0";
}

void TestPcieDriver::settingsRoundTrip()
{
    QFETCH(QString, node);
    MAKE_BED(bed, node.toLatin1().constData());
    Instance instance(openNode(node.toLatin1().constData()));
    QVERIFY(instance);
    // A message pair on MorvaneIO, plain requests on Zeltra.
    QCOMPARE(SetDefaultVideoOutputMode(instance.get(), 0x48703630), 0);
    unsigned int mode = 0;
    QCOMPARE(GetDefaultVideoOutputMode(instance.get(), &mode), 0);
    QCOMPARE(mode, 0x48703630u);
    // A direct request with a structure.
    const unsigned char table[6] = {1, 2, 3, 4, 5, 6};
    QCOMPARE(Write1DVideoOutputLookupTable(instance.get(), table, sizeof(table)), 0);
    unsigned char back[16] = {};
    unsigned int size = sizeof(back);
    QCOMPARE(Read1DVideoOutputLookupTable(instance.get(), back, &size), 0);
    QCOMPARE(size, 6u);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(back), 6), QByteArray(reinterpret_cast<const char*>(table), 6));
    unsigned int type = 99;
    QCOMPARE(GetDriverInterfaceType(instance.get(), &type), 0);
    QCOMPARE(type, node.startsWith("io") ? 4u : 0u);
    // Requests the MorvaneIO driver does not know are refused there.
    const int untranslated = SetDigitalAudioInputScale(instance.get(), 3);
    QCOMPARE(untranslated, node.startsWith("io") ? int(kZeltraBadArgument) : 0);
}

int main(int argc, char** argv)
{
    reexecUnderPreload(argv);
    QCoreApplication app(argc, argv);
    TestPcieDriver test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pciedriver.moc"
