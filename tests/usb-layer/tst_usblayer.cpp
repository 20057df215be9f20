#include "loopbackunit.h"
#include "mvnusb.h"
#include "mvnusbsharednotifier.h"
#include "usbdevfstestbed.h"
#include "usbfdpoller.h"

#include <QtTest>

#include <memory>
#include <mutex>
#include <vector>

using namespace MVN::USB;

namespace {

constexpr uint16_t kVendorA = 0xF0DA;
constexpr uint16_t kVendorB = 0xF0DB;

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

private:
    std::unique_ptr<xmegasim::UsbDevfsTestBed> m_bed;
    std::unique_ptr<LoopbackUnit> m_unitA;
    std::unique_ptr<LoopbackUnit> m_unitB;
};

void TestUsbLayer::initTestCase()
{
    if (!xmegasim::UsbDevfsTestBed::preloadActive())
        QSKIP("needs libumockdev-preload (run under umockdev-wrapper)");
    m_bed = std::make_unique<xmegasim::UsbDevfsTestBed>();
    m_unitA = std::make_unique<LoopbackUnit>(kVendorA, 0x1001);
    m_unitB = std::make_unique<LoopbackUnit>(kVendorB, 0x2002);
    m_bed->addUnit(*m_unitA);
    m_bed->addUnit(*m_unitB);
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

QTEST_GUILESS_MAIN(TestUsbLayer)
#include "tst_usblayer.moc"
