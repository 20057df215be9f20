#include "emulatedbus.h"
#include "loopbackunit.h"
#include "mvnusb.h"
#include "mvnusbsharednotifier.h"
#include "usbdevfstestbed.h"
#include "usbfdpoller.h"
#include "xmegaunit.h"

#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace MVN::USB;

namespace {

constexpr uint16_t kVendorA = 0xF0D1;
constexpr uint16_t kVendorB = 0xF0D2;

// Collects what a hot-plug notification reports, from whichever thread.
struct Reports
{
    std::mutex mutex;
    std::vector<UsbRef<IUSBDevice>> added;
    std::vector<IUSBDevice*> removed;

    static void onAdded(IUSBDevice* device, void* context)
    {
        auto* self = static_cast<Reports*>(context);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->added.push_back(UsbRef<IUSBDevice>::retain(device));
    }
    static void onRemoved(IUSBDevice* device, void* context)
    {
        auto* self = static_cast<Reports*>(context);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->removed.push_back(device);
    }
    size_t addedCount()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return added.size();
    }
    size_t removedCount()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return removed.size();
    }
    UsbRef<IUSBDevice> last()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return added.empty() ? UsbRef<IUSBDevice>() : added.back();
    }
};

// An installed notification that goes away with the scope.
class Installed
{
public:
    Installed(Reports& reports, std::vector<uint32_t> vendors = {}, std::vector<uint32_t> products = {})
        : m_vendors(std::move(vendors))
        , m_products(std::move(products))
    {
        MVNUsb_DeviceMatch match;
        match.vendorIds = m_vendors.data();
        match.vendorCount = uint32_t(m_vendors.size());
        match.productIds = m_products.data();
        match.productCount = uint32_t(m_products.size());
        m_handle = MVNUsb_InstallDeviceNotification(&Reports::onAdded, &reports, &Reports::onRemoved, &reports,
                                                    &match);
    }
    ~Installed() { MVNUsb_UninstallDeviceNotification(m_handle); }
    _MVNUsb_Notifier* handle() const { return m_handle; }

private:
    std::vector<uint32_t> m_vendors;
    std::vector<uint32_t> m_products;
    _MVNUsb_Notifier* m_handle = nullptr;
};

} // namespace

class TestUsbLayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void enumerationFiltersByLists_data();
    void enumerationFiltersByLists();
    void controlEcho();
    void descriptorReads();
    void openCloseResetCodes();
    void interfaceIteratorMatches_data();
    void interfaceIteratorMatches();
    void pipePropertiesAndRange();
    void bulkAndInterruptTransfers();
    void asyncTransfersCompleteOnThePollThread();
    void transferErrorsAreMapped_data();
    void transferErrorsAreMapped();
    void deviceLeavesDuringTransfer();
    void hotPlugThroughInotify();
    void installWhileEventsArrive();
    void nodesThatAreNotDevicesAreIgnored();
    void waitForAddedDevice_data();
    void waitForAddedDevice();
    void devfsPathFallback_data();
    void devfsPathFallback();
    void pollerMessages();
    void pollerStartStop();
    void xmegaUnitRebootsOnTheBus();
    void hotPlugWithFallbackPath_data();
    void hotPlugWithFallbackPath();

private:
    UsbRef<IUSBDevice> openUnit(Reports& reports, uint16_t vendor);
    UsbRef<IUSBInterface> findInterface(IUSBDevice* device, uint16_t alternate);

    std::unique_ptr<xmegasim::UsbDevfsTestBed> m_bed;
    std::unique_ptr<LoopbackUnit> m_unitA;
    std::unique_ptr<LoopbackUnit> m_unitB;
    int m_idA = 0;
    int m_idB = 0;
};

void TestUsbLayer::initTestCase()
{
    ONDAVIA_NEED_EMULATED_BUS();
    m_bed = std::make_unique<xmegasim::UsbDevfsTestBed>();
    m_unitA = std::make_unique<LoopbackUnit>(kVendorA, 0x1001);
    m_unitB = std::make_unique<LoopbackUnit>(kVendorB, 0x2002);
    m_idA = m_bed->addUnit(*m_unitA);
    m_idB = m_bed->addUnit(*m_unitB, 12);
}

void TestUsbLayer::cleanupTestCase()
{
    m_bed.reset();
    m_unitA.reset();
    m_unitB.reset();
}

void TestUsbLayer::enumerationFiltersByLists_data()
{
    QTest::addColumn<std::vector<uint32_t>>("vendors");
    QTest::addColumn<std::vector<uint32_t>>("products");
    QTest::addColumn<int>("expected");
    QTest::newRow("no lists") << std::vector<uint32_t>{} << std::vector<uint32_t>{} << 2;
    QTest::newRow("vendor only") << std::vector<uint32_t>{kVendorA} << std::vector<uint32_t>{} << 1;
    QTest::newRow("product only") << std::vector<uint32_t>{} << std::vector<uint32_t>{0x2002} << 1;
    QTest::newRow("both vendors") << std::vector<uint32_t>{kVendorA, kVendorB} << std::vector<uint32_t>{} << 2;
    QTest::newRow("vendor and wrong product") << std::vector<uint32_t>{kVendorA} << std::vector<uint32_t>{0x2002}
                                              << 0;
}

void TestUsbLayer::enumerationFiltersByLists()
{
    QFETCH(std::vector<uint32_t>, vendors);
    QFETCH(std::vector<uint32_t>, products);
    QFETCH(int, expected);
    Reports reports;
    Installed installed(reports, vendors, products);
    QVERIFY(installed.handle());
    QCOMPARE(int(reports.addedCount()), expected);
}

void TestUsbLayer::controlEcho()
{
    Reports reports;
    Installed installed(reports, {kVendorA});
    QCOMPARE(int(reports.addedCount()), 1);
    UsbRef<IUSBDevice> device = reports.last();
    QCOMPARE(device->USBDeviceOpen(), kMVNUsbSuccess);
    uint8_t payload[5] = {1, 2, 3, 4, 5};
    MVNUsb_DevRequest store;
    store.requestType = 0x41;
    store.request = LoopbackUnit::kStore;
    store.length = sizeof(payload);
    store.data = payload;
    store.completionTimeout = 1000;
    QCOMPARE(device->DeviceRequest(&store), kMVNUsbSuccess);
    QCOMPARE(store.lengthDone, 5u);
    uint8_t back[16] = {};
    MVNUsb_DevRequest fetch = store;
    fetch.requestType = 0xC1;
    fetch.request = LoopbackUnit::kFetch;
    fetch.length = sizeof(back);
    fetch.data = back;
    QCOMPARE(device->DeviceRequest(&fetch), kMVNUsbSuccess);
    QCOMPARE(fetch.lengthDone, 5u);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(back), 5), QByteArray(reinterpret_cast<char*>(payload), 5));
    QCOMPARE(device->USBDeviceClose(), kMVNUsbSuccess);
}

UsbRef<IUSBDevice> TestUsbLayer::openUnit(Reports& reports, uint16_t vendor)
{
    for (const auto& device : reports.added) {
        uint16_t id = 0;
        if (device->GetDeviceVendor(&id) == kMVNUsbSuccess && id == vendor) {
            if (device->USBDeviceOpen() != kMVNUsbSuccess || device->SetConfigurationByIndex(0) != kMVNUsbSuccess)
                return {};
            return device;
        }
    }
    return {};
}

UsbRef<IUSBInterface> TestUsbLayer::findInterface(IUSBDevice* device, uint16_t alternate)
{
    MVNUsb_FindInterfaceRequest request;
    request.interfaceClass = 0xFF;
    request.alternateSetting = alternate;
    UsbRef<IUSBInterfaceIterator> iterator;
    if (device->CreateInterfaceIterator(&request, iterator.out()) != kMVNUsbSuccess)
        return {};
    UsbRef<IUSBInterface> interface;
    if (!iterator->Next(interface.out()))
        return {};
    return interface;
}

void TestUsbLayer::descriptorReads()
{
    Reports reports;
    Installed installed(reports, {kVendorB});
    QCOMPARE(int(reports.addedCount()), 1);
    IUSBDevice* device = reports.last().get();
    uint16_t word = 0;
    uint8_t byte = 0;
    QCOMPARE(device->GetDeviceVendor(&word), kMVNUsbSuccess);
    QCOMPARE(word, kVendorB);
    QCOMPARE(device->GetDeviceProduct(&word), kMVNUsbSuccess);
    QCOMPARE(word, uint16_t(0x2002));
    QCOMPARE(device->GetDeviceReleaseNumber(&word), kMVNUsbSuccess);
    QCOMPARE(word, uint16_t(0x1234));
    QCOMPARE(device->GetNumberOfConfigurations(&byte), kMVNUsbSuccess);
    QCOMPARE(byte, uint8_t(1));
    // 12 Mbit/s in the sysfs entry of the unit's bus and address
    QCOMPARE(device->GetDeviceSpeed(&byte), kMVNUsbSuccess);
    QCOMPARE(byte, uint8_t(1));
    uint32_t location = 0;
    QCOMPARE(device->GetLocationID(&location), kMVNUsbGeneralFailure);
    QCOMPARE(device->GetDeviceClass(nullptr), kMVNUsbInvalidArgument);
    QCOMPARE(device->GetDeviceSpeed(nullptr), kMVNUsbInvalidArgument);
}

void TestUsbLayer::openCloseResetCodes()
{
    Reports reports;
    Installed installed(reports, {kVendorA});
    QCOMPARE(int(reports.addedCount()), 1);
    IUSBDevice* device = reports.last().get();
    uint8_t index = 0;
    MVNUsb_FindInterfaceRequest request;
    UsbRef<IUSBInterfaceIterator> iterator;

    QCOMPARE(device->USBDeviceClose(), kMVNUsbNotOpen);
    QCOMPARE(device->USBDeviceReset(), kMVNUsbNotOpen);
    // Without an open handle nothing is chosen, and that is not an error.
    QCOMPARE(device->SetConfigurationByIndex(0), kMVNUsbSuccess);
    QCOMPARE(device->GetConfigurationIndex(&index), kMVNUsbGeneralFailure);
    QCOMPARE(device->CreateInterfaceIterator(&request, iterator.out()), kMVNUsbGeneralFailure);

    QCOMPARE(device->USBDeviceOpen(), kMVNUsbSuccess);
    QCOMPARE(device->USBDeviceOpen(), kMVNUsbAccessDenied);
    QCOMPARE(device->SetConfigurationByIndex(1), kMVNUsbConfigurationOutOfRange);
    QCOMPARE(device->SetConfigurationByIndex(0), kMVNUsbSuccess);
    QCOMPARE(device->GetConfigurationIndex(&index), kMVNUsbSuccess);
    QCOMPARE(index, uint8_t(0));
    QCOMPARE(device->USBDeviceReset(), kMVNUsbSuccess);
    MVNUsb_DevRequest nullData;
    nullData.requestType = 0xC1;
    nullData.request = LoopbackUnit::kFetch;
    nullData.length = 4;
    QCOMPARE(device->DeviceRequest(&nullData), kMVNUsbInvalidArgument);
    QCOMPARE(device->DeviceRequest(nullptr), kMVNUsbInvalidArgument);
    QCOMPARE(device->USBDeviceClose(), kMVNUsbSuccess);
    QCOMPARE(device->USBDeviceClose(), kMVNUsbNotOpen);
}

void TestUsbLayer::interfaceIteratorMatches_data()
{
    QTest::addColumn<int>("interfaceClass");
    QTest::addColumn<int>("subClass");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<int>("alternate");
    QTest::addColumn<QList<int>>("expected"); // interface number * 10 + alternate setting
    const int any = kMVNUsbDontCare;
    QTest::newRow("everything") << any << any << any << any << QList<int>{0, 1, 10};
    QTest::newRow("vendor class") << 0xFF << any << any << any << QList<int>{0, 1};
    QTest::newRow("alternate 1") << any << any << any << 1 << QList<int>{1};
    QTest::newRow("protocol 2") << 0xFF << 0x42 << 0x02 << any << QList<int>{1};
    QTest::newRow("other class") << 0x0A << any << any << 0 << QList<int>{10};
    QTest::newRow("no match") << 0x03 << any << any << any << QList<int>{};
}

void TestUsbLayer::interfaceIteratorMatches()
{
    QFETCH(int, interfaceClass);
    QFETCH(int, subClass);
    QFETCH(int, protocol);
    QFETCH(int, alternate);
    QFETCH(QList<int>, expected);
    Reports reports;
    Installed installed(reports, {kVendorA});
    UsbRef<IUSBDevice> device = openUnit(reports, kVendorA);
    QVERIFY(device);
    MVNUsb_FindInterfaceRequest request;
    request.interfaceClass = uint16_t(interfaceClass);
    request.interfaceSubClass = uint16_t(subClass);
    request.interfaceProtocol = uint16_t(protocol);
    request.alternateSetting = uint16_t(alternate);
    UsbRef<IUSBInterfaceIterator> iterator;
    QCOMPARE(device->CreateInterfaceIterator(&request, iterator.out()), kMVNUsbSuccess);
    QList<int> found;
    UsbRef<IUSBInterface> interface;
    while (iterator->Next(interface.out())) {
        uint8_t number = 0;
        uint8_t endpoints = 0;
        QCOMPARE(interface->GetInterfaceNumber(&number), kMVNUsbSuccess);
        QCOMPARE(interface->GetNumEndpoints(&endpoints), kMVNUsbSuccess);
        found << number * 10 + (endpoints == 2 ? 1 : 0);
    }
    QCOMPARE(found, expected);
    QVERIFY(!iterator->Next(interface.out())); // stays at the end
    device->USBDeviceClose();
}

void TestUsbLayer::pipePropertiesAndRange()
{
    Reports reports;
    Installed installed(reports, {kVendorA});
    UsbRef<IUSBDevice> device = openUnit(reports, kVendorA);
    QVERIFY(device);
    UsbRef<IUSBInterface> interface = findInterface(device.get(), 0);
    QVERIFY(interface);
    uint8_t direction = 9, type = 9, interval = 9;
    uint16_t packet = 0;
    struct Expected { uint8_t direction, type; uint16_t packet; uint8_t interval; };
    const Expected pipes[] = {{0, 2, 512, 0}, {1, 2, 512, 0}, {1, 3, 8, 4}, {0, 1, 256, 1}};
    for (uint8_t pipe = 1; pipe <= 4; ++pipe) {
        QCOMPARE(interface->GetPipeProperties(pipe, &direction, &type, &packet, &interval), kMVNUsbSuccess);
        const Expected& e = pipes[pipe - 1];
        QCOMPARE(direction, e.direction);
        QCOMPARE(type, e.type);
        QCOMPARE(packet, e.packet);
        QCOMPARE(interval, e.interval);
    }
    QCOMPARE(interface->GetPipeProperties(5, &direction, &type, &packet, &interval), kMVNUsbPipeOutOfRange);
    QCOMPARE(interface->GetPipeProperties(0, &direction, &type, &packet, &interval), kMVNUsbPipeOutOfRange);

    // Pipe 3 of a setting with two endpoints moves nothing.
    UsbRef<IUSBInterface> two = findInterface(device.get(), 1);
    QVERIFY(two);
    QCOMPARE(two->USBInterfaceOpen(), kMVNUsbSuccess);
    const uint8_t data[3] = {7, 8, 9};
    QCOMPARE(two->WritePipe(1, data, 3, 1000, 1000), kMVNUsbSuccess);
    uint8_t back[8] = {};
    uint32_t length = sizeof(back);
    QCOMPARE(two->ReadPipe(3, back, &length, 1000, 1000), kMVNUsbPipeOutOfRange);
    QCOMPARE(length, uint32_t(sizeof(back)));
    QCOMPARE(two->ReadPipe(2, back, &length, 1000, 1000), kMVNUsbSuccess);
    QCOMPARE(length, 3u);
    QCOMPARE(two->USBInterfaceClose(), kMVNUsbSuccess);
    device->USBDeviceClose();
}

void TestUsbLayer::bulkAndInterruptTransfers()
{
    Reports reports;
    Installed installed(reports, {kVendorA});
    UsbRef<IUSBDevice> device = openUnit(reports, kVendorA);
    QVERIFY(device);
    UsbRef<IUSBInterface> interface = findInterface(device.get(), 0);
    QVERIFY(interface);
    QCOMPARE(interface->USBInterfaceClose(), kMVNUsbGeneralFailure);
    QCOMPARE(interface->USBInterfaceOpen(), kMVNUsbSuccess);
    QCOMPARE(interface->USBInterfaceOpen(), kMVNUsbAccessDenied);

    QByteArray out(70000, Qt::Uninitialized);
    for (int i = 0; i < out.size(); ++i)
        out[i] = char(i * 7);
    QCOMPARE(interface->WritePipe(1, out.constData(), uint32_t(out.size()), 10000, 10000), kMVNUsbSuccess);
    QCOMPARE(interface->WritePipe(1, nullptr, 0, 1000, 1000), kMVNUsbSuccess); // zero-length packet
    QCOMPARE(interface->WritePipe(1, nullptr, 4, 1000, 1000), kMVNUsbInvalidArgument);
    QByteArray in(out.size() + 100, '\0');
    uint32_t length = uint32_t(in.size());
    QCOMPARE(interface->ReadPipe(2, in.data(), &length, 10000, 10000), kMVNUsbSuccess);
    QCOMPARE(int(length), out.size());
    QVERIFY(in.left(out.size()) == out);

    uint32_t counter = 0;
    length = sizeof(counter);
    QCOMPARE(interface->ReadPipe(3, &counter, &length, 1000, 1000), kMVNUsbSuccess);
    QCOMPARE(length, 4u);
    QVERIFY(counter > 0);
    // Isochronous is neither bulk nor interrupt.
    QCOMPARE(interface->WritePipe(4, out.constData(), 8, 1000, 1000), kMVNUsbGeneralFailure);

    QCOMPARE(interface->USBInterfaceClose(), kMVNUsbSuccess);
    QCOMPARE(interface->USBInterfaceClose(), kMVNUsbGeneralFailure);
    device->USBDeviceClose();
    // The interface outlives the handle without touching it.
    length = 4;
    QCOMPARE(interface->ReadPipe(2, in.data(), &length, 1000, 1000), kMVNUsbNotOpen);
}

void TestUsbLayer::asyncTransfersCompleteOnThePollThread()
{
    USBFDPoller poller;
    poller.start();
    Reports reports;
    Installed installed(reports, {kVendorA});
    UsbRef<IUSBDevice> device = openUnit(reports, kVendorA);
    QVERIFY(device);
    UsbRef<IUSBInterface> interface = findInterface(device.get(), 0);
    QVERIFY(interface);
    QCOMPARE(interface->USBInterfaceOpen(), kMVNUsbSuccess);

    struct Done
    {
        std::atomic<int> count{0};
        std::atomic<MVNUsbReturn> result{-1};
        std::atomic<uint32_t> transferred{0};
        std::thread::id thread;
        static void callback(MVNUsbReturn result, uint32_t transferred, void* context)
        {
            auto* self = static_cast<Done*>(context);
            self->result = result;
            self->transferred = transferred;
            self->thread = std::this_thread::get_id();
            ++self->count;
        }
    };
    const char out[6] = {'a', 's', 'y', 'n', 'c', '!'};
    Done written;
    QCOMPARE(interface->WritePipeAsync(1, out, sizeof(out), &Done::callback, &written), kMVNUsbSuccess);
    QTRY_COMPARE_WITH_TIMEOUT(written.count.load(), 1, 3000);
    QCOMPARE(written.result.load(), kMVNUsbSuccess);
    QCOMPARE(written.transferred.load(), 6u);
    QVERIFY(written.thread != std::this_thread::get_id());

    char in[16] = {};
    Done read;
    QCOMPARE(interface->ReadPipeAsync(2, in, sizeof(in), &Done::callback, &read), kMVNUsbSuccess);
    QTRY_COMPARE_WITH_TIMEOUT(read.count.load(), 1, 3000);
    QCOMPARE(read.transferred.load(), 6u);
    QCOMPARE(QByteArray(in, 6), QByteArray(out, 6));

    Done refused;
    QCOMPARE(interface->WritePipeAsync(4, out, 1, &Done::callback, &refused), kMVNUsbGeneralFailure);
    QCOMPARE(interface->ReadPipeAsync(9, in, 1, &Done::callback, &refused), kMVNUsbPipeOutOfRange);
    QCOMPARE(refused.count.load(), 0);
    interface->USBInterfaceClose();
    device->USBDeviceClose();
    poller.stop();
}

void TestUsbLayer::transferErrorsAreMapped_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("minimumMs");
    QTest::newRow("control stall") << "stall" << int(kMVNUsbStall) << 0;
    QTest::newRow("control without answer") << "hang" << int(kMVNUsbTimeout) << 140;
    QTest::newRow("bulk on halted endpoint") << "halt" << int(kMVNUsbStall) << 0;
    QTest::newRow("bulk in without data") << "empty" << int(kMVNUsbTimeout) << 140;
}

void TestUsbLayer::transferErrorsAreMapped()
{
    QFETCH(QString, what);
    QFETCH(int, expected);
    QFETCH(int, minimumMs);
    Reports reports;
    Installed installed(reports, {kVendorA});
    UsbRef<IUSBDevice> device = openUnit(reports, kVendorA);
    QVERIFY(device);
    UsbRef<IUSBInterface> interface = findInterface(device.get(), 0);
    QVERIFY(interface);
    QCOMPARE(interface->USBInterfaceOpen(), kMVNUsbSuccess);
    uint8_t buffer[16] = {};
    QElapsedTimer timer;
    timer.start();
    MVNUsbReturn result = kMVNUsbSuccess;
    if (what == "stall" || what == "hang") {
        MVNUsb_DevRequest request;
        request.requestType = 0xC1;
        request.request = what == "stall" ? LoopbackUnit::kStall : LoopbackUnit::kHang;
        request.length = sizeof(buffer);
        request.data = buffer;
        request.completionTimeout = 150;
        result = device->DeviceRequest(&request);
    } else {
        if (what == "halt")
            m_unitA->haltEndpoint(LoopbackUnit::kBulkIn);
        uint32_t length = sizeof(buffer);
        result = interface->ReadPipe(2, buffer, &length, 150, 150);
        QCOMPARE(length, 0u);
    }
    QCOMPARE(int(result), expected);
    QVERIFY2(timer.elapsed() >= minimumMs, qPrintable(QString::number(timer.elapsed())));
    if (what == "halt") {
        QCOMPARE(interface->ClearPipeStallBothEnds(2), kMVNUsbSuccess);
        QVERIFY(!m_unitA->halted(LoopbackUnit::kBulkIn));
    }
    // The device still works afterwards.
    MVNUsb_DevRequest store;
    store.requestType = 0x41;
    store.request = LoopbackUnit::kStore;
    store.length = 2;
    store.data = buffer;
    store.completionTimeout = 1000;
    QCOMPARE(device->DeviceRequest(&store), kMVNUsbSuccess);
    interface->USBInterfaceClose();
    device->USBDeviceClose();
}

namespace {

bool echo(IUSBDevice* device, uint8_t value)
{
    MVNUsb_DevRequest store;
    store.requestType = 0x41;
    store.request = LoopbackUnit::kStore;
    store.length = 1;
    store.data = &value;
    store.completionTimeout = 1000;
    uint8_t back = uint8_t(~value);
    MVNUsb_DevRequest fetch = store;
    fetch.requestType = 0xC1;
    fetch.request = LoopbackUnit::kFetch;
    fetch.data = &back;
    return device->DeviceRequest(&store) == kMVNUsbSuccess && device->DeviceRequest(&fetch) == kMVNUsbSuccess
        && back == value;
}

void touch(const std::string& path)
{
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd >= 0)
        close(fd);
}

} // namespace

void TestUsbLayer::deviceLeavesDuringTransfer()
{
    {
        Reports reports;
        Installed installed(reports, {kVendorA});
        UsbRef<IUSBDevice> device = openUnit(reports, kVendorA);
        QVERIFY(device);
        std::atomic<MVNUsbReturn> result{-1};
        std::thread transfer([&] {
            uint8_t buffer[4];
            MVNUsb_DevRequest request;
            request.requestType = 0xC1;
            request.request = LoopbackUnit::kSlowFetch;
            request.length = sizeof(buffer);
            request.data = buffer;
            request.completionTimeout = 5000;
            result = device->DeviceRequest(&request);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        m_unitA->unplug();
        transfer.join();
        QCOMPARE(result.load(), kMVNUsbNoDevice);
        QVERIFY(!echo(device.get(), 1));
        device->USBDeviceClose();
    }
    m_unitA->plugIn();
    QTRY_VERIFY_WITH_TIMEOUT(m_bed->deviceAddress(m_idA) != 0, 3000);

    // A unit that drops off in the middle of its own answer.
    Reports reports;
    Installed installed(reports, {kVendorA});
    UsbRef<IUSBDevice> device = openUnit(reports, kVendorA);
    QVERIFY(device);
    QVERIFY(echo(device.get(), 2));
    uint8_t buffer[4];
    MVNUsb_DevRequest request;
    request.requestType = 0xC1;
    request.request = LoopbackUnit::kLeave;
    request.length = sizeof(buffer);
    request.data = buffer;
    request.completionTimeout = 1000;
    QCOMPARE(device->DeviceRequest(&request), kMVNUsbNoDevice);
    device->USBDeviceClose();
    QTRY_VERIFY_WITH_TIMEOUT(m_bed->deviceAddress(m_idA) == 0, 3000);
    m_unitA->plugIn();
    QTRY_VERIFY_WITH_TIMEOUT(m_bed->deviceAddress(m_idA) != 0, 3000);
}

void TestUsbLayer::hotPlugThroughInotify()
{
    USBFDPoller poller;
    poller.start();
    Reports reportsB;
    Installed installedB(reportsB, {kVendorB});
    Reports reportsA;
    Installed installedA(reportsA, {kVendorA});
    QCOMPARE(int(reportsB.addedCount()), 1);
    QCOMPARE(int(reportsA.addedCount()), 1);
    IUSBDevice* first = reportsB.last().get();

    m_unitB->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(int(reportsB.removedCount()), 1, 3000);
    QCOMPARE(reportsB.removed.front(), first);

    m_unitB->plugIn();
    QTRY_COMPARE_WITH_TIMEOUT(int(reportsB.addedCount()), 2, 3000);
    UsbRef<IUSBDevice> again = reportsB.last();
    QVERIFY(again.get() != first);
    QCOMPARE(again->USBDeviceOpen(), kMVNUsbSuccess);
    QVERIFY(echo(again.get(), 0x5A));
    again->USBDeviceClose();

    // A node that is there before libusb has heard of the device is still
    // reported, once.
    m_bed->setAnnounceDelayMs(100);
    m_unitB->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(int(reportsB.removedCount()), 2, 3000);
    m_unitB->plugIn();
    QTRY_COMPARE_WITH_TIMEOUT(int(reportsB.addedCount()), 3, 3000);
    m_bed->setAnnounceDelayMs(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    QCOMPARE(int(reportsB.addedCount()), 3);

    // The other notification saw none of it.
    QCOMPARE(int(reportsA.addedCount()), 1);
    QCOMPARE(int(reportsA.removedCount()), 0);
    poller.stop();
}

void TestUsbLayer::installWhileEventsArrive()
{
    USBFDPoller poller;
    poller.start();
    Reports steady;
    Installed first(steady, {kVendorB});
    QCOMPARE(int(steady.addedCount()), 1);
    std::atomic<bool> done{false};
    std::thread cable([&] {
        for (int i = 0; i < 6; ++i) {
            m_unitB->unplug();
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            m_unitB->plugIn();
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        done = true;
    });
    // Installations race the poll thread's deliveries; each sees B at most once.
    int installs = 0;
    while (!done) {
        Reports transient;
        Installed other(transient, {kVendorB});
        QVERIFY(transient.addedCount() <= 1);
        ++installs;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    cable.join();
    QVERIFY(installs > 0);
    // In the end exactly the unit that is there is reported; an appearance
    // too short to be seen may be missed, but never half of one.
    QTRY_VERIFY_WITH_TIMEOUT(steady.addedCount() == steady.removedCount() + 1 && steady.addedCount() >= 2, 10000);
    {
        std::lock_guard<std::mutex> lock(steady.mutex);
        for (size_t i = 0; i < steady.removed.size(); ++i)
            QCOMPARE(steady.removed[i], steady.added[i].get());
    }
    UsbRef<IUSBDevice> current = steady.last();
    QCOMPARE(current->USBDeviceOpen(), kMVNUsbSuccess);
    QVERIFY(echo(current.get(), 0x33));
    current->USBDeviceClose();
    poller.stop();
}

void TestUsbLayer::nodesThatAreNotDevicesAreIgnored()
{
    USBFDPoller poller;
    poller.start();
    Reports reports;
    Installed installed(reports);
    QCOMPARE(int(reports.addedCount()), 2);
    MVNUsb_SharedNotifier& shared = MVNUsb_SharedNotifier::GetInstance();
    QVERIFY(!shared.OnDeviceAdded("001", "abc"));
    QVERIFY(!shared.OnDeviceAdded("001", "300"));
    QVERIFY(!shared.OnDeviceAdded("x1", "2"));
    QVERIFY(!shared.OnDeviceRemoved("001", "250")); // never reported

    const std::string bus = m_bed->devfsPath() + "/001/";
    touch(bus + "abc");
    touch(bus + "300");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    unlink((bus + "abc").c_str());
    unlink((bus + "300").c_str());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    QCOMPARE(int(reports.addedCount()), 2);
    QCOMPARE(int(reports.removedCount()), 0);
    poller.stop();
}

void TestUsbLayer::waitForAddedDevice_data()
{
    QTest::addColumn<int>("appearAfterMs"); // -1: never
    QTest::addColumn<bool>("expected");
    QTest::addColumn<int>("minimumMs");
    QTest::addColumn<int>("maximumMs");
    QTest::newRow("already there") << 0 << true << 0 << 300;
    QTest::newRow("after 200 ms") << 200 << true << 190 << 800;
    QTest::newRow("never") << -1 << false << 490 << 2000;
}

void TestUsbLayer::waitForAddedDevice()
{
    QFETCH(int, appearAfterMs);
    QFETCH(bool, expected);
    QFETCH(int, minimumMs);
    QFETCH(int, maximumMs);
    const std::string name = "late" + std::to_string(appearAfterMs + 1);
    const std::string node = m_bed->devfsPath() + "/001/" + name;
    if (appearAfterMs == 0)
        touch(node);
    std::thread later;
    if (appearAfterMs > 0)
        later = std::thread([=] {
            std::this_thread::sleep_for(std::chrono::milliseconds(appearAfterMs));
            touch(node);
        });
    QElapsedTimer timer;
    timer.start();
    const bool found = MVNUsb_SharedNotifier::GetInstance().WaitForAddedDevice("001", name, 500);
    const qint64 elapsed = timer.elapsed();
    if (later.joinable())
        later.join();
    unlink(node.c_str());
    QCOMPARE(found, expected);
    QVERIFY2(elapsed >= minimumMs && elapsed <= maximumMs, qPrintable(QString::number(elapsed)));
}

void TestUsbLayer::devfsPathFallback_data()
{
    QTest::addColumn<QString>("value"); // "<unset>", "<bed>" or a path
    QTest::addColumn<QString>("expected");
    QTest::newRow("test bed") << "<bed>" << "<bed>";
    QTest::newRow("missing directory") << "/nonexistent/bus/usb" << "/dev/bus/usb";
    QTest::newRow("a file") << "<file>" << "/dev/bus/usb";
    QTest::newRow("unset") << "<unset>" << "/dev/bus/usb";
}

void TestUsbLayer::devfsPathFallback()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const std::string saved = std::getenv("USB_DEVFS_PATH") ? std::getenv("USB_DEVFS_PATH") : "";
    const std::string file = m_bed->rootDir() + "/not-a-directory";
    touch(file);
    if (value == "<unset>")
        unsetenv("USB_DEVFS_PATH");
    else if (value == "<bed>")
        setenv("USB_DEVFS_PATH", m_bed->devfsPath().c_str(), 1);
    else if (value == "<file>")
        setenv("USB_DEVFS_PATH", file.c_str(), 1);
    else
        setenv("USB_DEVFS_PATH", value.toUtf8().constData(), 1);
    const std::string path = MVN::USB::MVNUsb_SharedNotifier::GetUsbDeviceFSPath();
    setenv("USB_DEVFS_PATH", saved.c_str(), 1);
    unlink(file.c_str());
    // Under the preload "/dev/bus/usb" is the test bed's own.
    QCOMPARE(QString::fromStdString(path), expected == "<bed>" ? QString::fromStdString(m_bed->devfsPath()) : expected);
}

void TestUsbLayer::pollerMessages()
{
    // The wake-up pipe must not leak into programs started from this one.
    {
        auto openFds = [] {
            std::vector<int> out;
            const QStringList names = QDir("/proc/self/fd").entryList(QDir::Files | QDir::System);
            for (const QString& name : names)
                out.push_back(name.toInt());
            return out;
        };
        const std::vector<int> before = openFds();
        USBFDPoller::Poller idle;
        int fresh = 0;
        for (int fd : openFds()) {
            if (std::find(before.begin(), before.end(), fd) != before.end() || fcntl(fd, F_GETFD) < 0)
                continue; // open before, or the listing's own descriptor
            ++fresh;
            QVERIFY2(fcntl(fd, F_GETFD) & FD_CLOEXEC, qPrintable(QString("descriptor %1").arg(fd)));
        }
        QCOMPARE(fresh, 2);
    }

    int fds[2];
    QCOMPARE(pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
    std::mutex mutex;
    std::map<int, int> calls;
    USBFDPoller::Poller poller([&](int fd) {
        char byte;
        while (read(fd, &byte, 1) == 1) {
        }
        std::lock_guard<std::mutex> lock(mutex);
        ++calls[fd];
        return true;
    });
    std::thread thread([&] { poller.doPoll(); });
    auto callsFor = [&](int fd) {
        std::lock_guard<std::mutex> lock(mutex);
        return calls[fd];
    };
    auto wake = [&] {
        const char byte = 1;
        QCOMPARE(write(fds[1], &byte, 1), ssize_t(1));
    };
    // Messages are handled after the descriptors of the same wake-up, so
    // give the poll thread time before the descriptor becomes readable.
    auto settle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(250)); };

    // Added twice, polled twice per wake-up.
    poller.addFD(fds[0], POLLIN);
    poller.addFD(fds[0], POLLIN);
    settle();
    wake();
    QTRY_COMPARE_WITH_TIMEOUT(callsFor(fds[0]), 2, 3000);
    // One removal takes only the first entry.
    poller.removeFD(fds[0], 0);
    settle();
    wake();
    QTRY_COMPARE_WITH_TIMEOUT(callsFor(fds[0]), 3, 3000);

    // An unknown message is reported on standard error and otherwise ignored.
    char logName[] = "/tmp/usbpollerXXXXXX";
    const int log = mkstemp(logName);
    QVERIFY(log >= 0);
    fflush(stderr);
    const int savedStderr = dup(2);
    dup2(log, 2);
    poller.post(USBFDPoller::Poller::Message{7, 0, 0, 0}, "test");
    QFile logFile(logName);
    QByteArray logged;
    for (int i = 0; i < 300 && !logged.endsWith('\n'); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        logged = logFile.readAll();
        logFile.close();
    }
    fflush(stderr);
    dup2(savedStderr, 2);
    close(savedStderr);
    close(log);
    unlink(logName);
    QCOMPARE(logged,
             QByteArray("void USBFDPoller::Poller::doPoll(): Unknown message type 7, this should never happen!\n"));

    wake();
    QTRY_COMPARE_WITH_TIMEOUT(callsFor(fds[0]), 4, 3000);
    poller.stop();
    thread.join();
    close(fds[0]);
    close(fds[1]);
}

void TestUsbLayer::pollerStartStop()
{
    USBFDPoller never;
    never.stop(); // never started: nothing happens
    USBFDPoller poller;
    poller.start();
    poller.start();
    poller.stop();
    poller.stop();
    // Started again, it picks the descriptors up afresh.
    poller.start();
    Reports reports;
    Installed installed(reports, {kVendorB});
    QCOMPARE(int(reports.addedCount()), 1);
    m_unitB->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(int(reports.removedCount()), 1, 3000);
    m_unitB->plugIn();
    QTRY_COMPARE_WITH_TIMEOUT(int(reports.addedCount()), 2, 3000);
}

void TestUsbLayer::xmegaUnitRebootsOnTheBus()
{
    xmegasim::UnitConfig config;
    xmegasim::XmegaUnit unit(config);
    const int id = m_bed->addUnit(unit);
    USBFDPoller poller;
    poller.start();
    Reports reports;
    Installed installed(reports, {xmegasim::kUnitVendorId}, {xmegasim::kUnitProductId});
    QCOMPARE(int(reports.addedCount()), 1);
    UsbRef<IUSBDevice> device = reports.last();
    QCOMPARE(device->USBDeviceOpen(), kMVNUsbSuccess);
    QCOMPARE(device->SetConfigurationByIndex(0), kMVNUsbSuccess);

    uint8_t uuid[16] = {};
    MVNUsb_DevRequest request;
    request.requestType = 0xC0;
    request.request = 0x10;
    request.length = sizeof(uuid);
    request.data = uuid;
    request.completionTimeout = 1000;
    QCOMPARE(device->DeviceRequest(&request), kMVNUsbSuccess);
    QCOMPARE(request.lengthDone, 16u);
    QVERIFY(std::equal(config.uuid.begin(), config.uuid.end(), uuid));

    // A reboot makes it leave the bus and come back at another address.
    const uint8_t before = m_bed->deviceAddress(id);
    MVNUsb_DevRequest reboot;
    reboot.requestType = 0x41;
    reboot.request = 0x12;
    reboot.completionTimeout = 1000;
    QCOMPARE(device->DeviceRequest(&reboot), kMVNUsbSuccess);
    QTRY_COMPARE_WITH_TIMEOUT(int(reports.removedCount()), 1, 3000);
    QTRY_COMPARE_WITH_TIMEOUT(int(reports.addedCount()), 2, 3000);
    QVERIFY(m_bed->deviceAddress(id) != before);
    device->USBDeviceClose();
    UsbRef<IUSBDevice> back = reports.last();
    QCOMPARE(back->USBDeviceOpen(), kMVNUsbSuccess);
    std::fill(std::begin(uuid), std::end(uuid), 0);
    QCOMPARE(back->DeviceRequest(&request), kMVNUsbSuccess);
    QVERIFY(std::equal(config.uuid.begin(), config.uuid.end(), uuid));
    back->USBDeviceClose();
    poller.stop();
    m_bed->removeUnit(id);
}

namespace {

// Run in a child process: the notifier's device file system is chosen once
// per process. Plugs a unit out and in with USB_DEVFS_PATH set to value.
int hotPlugProbe(const std::string& value)
{
    LoopbackUnit unit(kVendorA, 0x1001);
    xmegasim::UsbDevfsTestBed bed;
    const std::string file = bed.rootDir() + "/plain-file";
    touch(file);
    if (value == "<unset>")
        unsetenv("USB_DEVFS_PATH");
    else if (value == "<file>")
        setenv("USB_DEVFS_PATH", file.c_str(), 1);
    else
        setenv("USB_DEVFS_PATH", value.c_str(), 1);
    bed.addUnit(unit);
    USBFDPoller poller;
    poller.start();
    Reports reports;
    int result = 1;
    {
        Installed installed(reports);
        const std::string chosen = MVNUsb_SharedNotifier::GetInstance().path();
        unit.unplug();
        for (int i = 0; i < 300 && reports.removedCount() < 1; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        unit.plugIn();
        for (int i = 0; i < 300 && reports.addedCount() < 2; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::printf("%s %zu %zu\n", chosen.c_str(), reports.addedCount(), reports.removedCount());
        result = reports.addedCount() == 2 && reports.removedCount() == 1 ? 0 : 1;
    }
    poller.stop();
    return result;
}

} // namespace

void TestUsbLayer::hotPlugWithFallbackPath_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("missing directory") << "/nonexistent/bus/usb";
    QTest::newRow("a file") << "<file>";
    QTest::newRow("unset") << "<unset>";
}

void TestUsbLayer::hotPlugWithFallbackPath()
{
    QFETCH(QString, value);
    QProcess probe;
    probe.start(QCoreApplication::applicationFilePath(), {"--hot-plug-probe", value});
    QVERIFY(probe.waitForFinished(20000));
    const QByteArray output = probe.readAllStandardOutput().trimmed();
    QCOMPARE(probe.exitCode(), 0);
    // The fallback "/dev/bus/usb" is the test bed's under the preload.
    QCOMPARE(output, QByteArray("/dev/bus/usb 2 1"));
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--hot-plug-probe")
        return hotPlugProbe(argv[2]);
    QCoreApplication app(argc, argv);
    TestUsbLayer test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_usblayer.moc"
