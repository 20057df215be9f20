// The whole update through the real USB layer: libusb and the inotify
// hot-plug over an emulated usbdevfs device in a umockdev test bed, with
// the unit leaving and arriving again on each reboot.
#include "emulatedbus.h"
#include "appimage.h"
#include "devicemanager.h"
#include "filestore.h"
#include "mvnusb.h"
#include "ondaviaxmegadevice.h"
#include "ondaviaxmegausbdevice.h"
#include "taskqueue.h"
#include "unitrig.h"
#include "usbdevfstestbed.h"
#include "usbfdpoller.h"

#include <QtTest>

#include <chrono>
#include <map>
#include <mutex>

using namespace MVN::USB;
using xmegasim::FaultKind;
using xmegasim::UnitFault;

namespace {

// What the application's notifier delegate does with arrivals and
// removals, on the hot-plug thread: a new unit becomes a Device, a unit
// coming back from a reboot is handed to its Device.
class Delegate
{
public:
    explicit Delegate(FileStore* store) : m_store(store) {}

    ~Delegate()
    {
        for (auto& entry : m_objects)
            entry.second->release();
    }

    static void added(IUSBDevice* usb, void* self) { static_cast<Delegate*>(self)->onAdded(usb); }
    static void removed(IUSBDevice* usb, void* self) { static_cast<Delegate*>(self)->onRemoved(usb); }

    unsigned arrivals()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_arrivals;
    }

private:
    void onAdded(IUSBDevice* usb)
    {
        OndaviaXmegaUSBDevice* object = OndaviaXmegaUSBDevice::createInstance(usb);
        if (!object)
            return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_arrivals;
            auto& slot = m_objects[usb];
            if (slot)
                slot->release();
            slot = object;
        }
        XmegaUSBDevice::UUID uuid;
        if (!object->getDeviceUUID(&uuid))
            return;
        if (std::shared_ptr<Device> known =
                DeviceManager::instance().getDevice(OndaviaXmegaDevice::FormatUUID(uuid))) {
            known->setDevice(object);
            known->completeReboot();
            return;
        }
        std::unique_ptr<OndaviaXmegaDevice> made = OndaviaXmegaDevice::Create(m_store, object);
        if (made) {
            std::unique_ptr<Device> owned(made.release());
            DeviceManager::instance().addDevice(owned);
        }
    }

    void onRemoved(IUSBDevice* usb)
    {
        OndaviaXmegaUSBDevice* object = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto it = m_objects.find(usb);
            if (it == m_objects.end())
                return;
            object = it->second;
            m_objects.erase(it);
        }
        DeviceManager::instance().removeDevice(object);
        object->release();
    }

    FileStore* m_store;
    std::mutex m_mutex;
    std::map<IUSBDevice*, OndaviaXmegaUSBDevice*> m_objects;
    unsigned m_arrivals = 0;
};

std::vector<uint32_t> versions(const Device& device)
{
    std::vector<uint32_t> v;
    for (const Firmware& f : device.firmware())
        v.push_back(f.deviceVersion);
    return v;
}

} // namespace

class TestXmegaUsbDevfs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void fullUpdate();
    void unplugDuringEepromWrite();

private:
    std::shared_ptr<OndaviaXmegaDevice> waitForDevice(int timeoutMs);
    Task::Result update(const std::shared_ptr<OndaviaXmegaDevice>& device,
                        std::vector<std::pair<Task::Result, double>>* statuses);

    std::unique_ptr<xmegasim::UsbDevfsTestBed> m_bed;
    QTemporaryDir m_packages;
    FileStore m_store;
    std::vector<TestImages::Part> m_parts;
};

void TestXmegaUsbDevfs::initTestCase()
{
    ONDAVIA_NEED_EMULATED_BUS();
    m_bed = std::make_unique<xmegasim::UsbDevfsTestBed>();
    TestImages::Part app;
    app.resourceId = 0;
    app.version = 5;
    app.data = xmegasim::AppImage::build(5, 9000, 2);
    TestImages::Part fpga;
    fpga.resourceId = 1;
    fpga.version = 6;
    fpga.data = TestImages::fpga(6, 50000, 3);
    fpga.compress = true;
    m_parts = {app, fpga};
    QVERIFY(TestImages::writePackage(m_packages.filePath("unit.bin").toStdString(), m_parts));
    m_store.addPath(m_packages.path().toStdString());
}

void TestXmegaUsbDevfs::cleanup()
{
    DeviceManager::instance().removeAll();
}

std::shared_ptr<OndaviaXmegaDevice> TestXmegaUsbDevfs::waitForDevice(int timeoutMs)
{
    std::shared_ptr<Device> device;
    const bool arrived = QTest::qWaitFor(
        [&] {
            device = DeviceManager::instance().getDevice(std::string("44332211-6655-8877-99aa-bbccddeef001"));
            return device != nullptr;
        },
        timeoutMs);
    return arrived ? std::dynamic_pointer_cast<OndaviaXmegaDevice>(device) : nullptr;
}

Task::Result TestXmegaUsbDevfs::update(const std::shared_ptr<OndaviaXmegaDevice>& device,
                                       std::vector<std::pair<Task::Result, double>>* statuses)
{
    std::mutex mutex;
    TaskQueue queue(device, [&](const std::shared_ptr<Device>&, Task::Result r, double f) {
        std::lock_guard<std::mutex> lock(mutex);
        statuses->push_back({r, f});
    });
    if (!device->queueUpdates(queue, false))
        return Task::Failed;
    queue.run();
    queue.wait();
    return queue.result();
}

void TestXmegaUsbDevfs::fullUpdate()
{
    xmegasim::XmegaUnit unit;
    unit.loadApplication(xmegasim::AppImage::build(3, 9000, 1));
    unit.setEepromContents(0, 0, TestImages::fpga(4, 50000, 9));
    const int id = m_bed->addUnit(unit, 12);

    USBFDPoller poller;
    poller.start();
    Delegate delegate(&m_store);
    const uint32_t vendor = xmegasim::kUnitVendorId;
    const uint32_t product = xmegasim::kUnitProductId;
    MVNUsb_DeviceMatch match;
    match.vendorIds = &vendor;
    match.vendorCount = 1;
    match.productIds = &product;
    match.productCount = 1;
    _MVNUsb_Notifier* notifier =
        MVNUsb_InstallDeviceNotification(&Delegate::added, &delegate, &Delegate::removed, &delegate, &match);
    QVERIFY(notifier);

    const std::shared_ptr<OndaviaXmegaDevice> device = waitForDevice(3000);
    QVERIFY(device);
    QCOMPARE(versions(*device), (std::vector<uint32_t>{3, 4}));
    const uint8_t firstAddress = m_bed->deviceAddress(id);

    std::vector<std::pair<Task::Result, double>> statuses;
    QCOMPARE(update(device, &statuses), Task::Succeeded);
    QCOMPARE(statuses.back(), std::make_pair(Task::Succeeded, 1.0));
    QVERIFY(statuses.size() > 2);
    // Through the bootloader and back: two new enumerations, same Device.
    QCOMPARE(unit.rebootCount(), 2u);
    QCOMPARE(delegate.arrivals(), 3u);
    QVERIFY(m_bed->deviceAddress(id) != firstAddress);
    QCOMPARE(DeviceManager::instance().count(), size_t(1));

    // The versions the unit now reports are the package versions.
    std::unique_ptr<OndaviaXmegaDevice> fresh =
        OndaviaXmegaDevice::Create(&m_store, static_cast<OndaviaXmegaUSBDevice*>(device->device()));
    QVERIFY(fresh);
    QCOMPARE(versions(*fresh), (std::vector<uint32_t>{5, 6}));
    QCOMPARE(unit.flashContents(m_parts[0].data.size()), m_parts[0].data);
    QCOMPARE(unit.eepromContents(0, 0, m_parts[1].data.size()), m_parts[1].data);
    fresh.reset();

    MVNUsb_UninstallDeviceNotification(notifier);
    poller.stop();
    DeviceManager::instance().removeAll();
    m_bed->removeUnit(id);
}

void TestXmegaUsbDevfs::unplugDuringEepromWrite()
{
    xmegasim::XmegaUnit unit;
    unit.loadApplication(xmegasim::AppImage::build(5, 9000, 2));
    unit.setEepromContents(0, 0, TestImages::fpga(4, 50000, 9));
    const int id = m_bed->addUnit(unit, 12);

    USBFDPoller poller;
    poller.start();
    Delegate delegate(&m_store);
    const uint32_t vendor = xmegasim::kUnitVendorId;
    MVNUsb_DeviceMatch match;
    match.vendorIds = &vendor;
    match.vendorCount = 1;
    _MVNUsb_Notifier* notifier =
        MVNUsb_InstallDeviceNotification(&Delegate::added, &delegate, &Delegate::removed, &delegate, &match);
    QVERIFY(notifier);
    std::shared_ptr<OndaviaXmegaDevice> device = waitForDevice(3000);
    QVERIFY(device);
    QCOMPARE(versions(*device), (std::vector<uint32_t>{5, 4}));

    unit.addFault(UnitFault::onBulk(xmegasim::kBulkOutEndpoint, FaultKind::Unplug).after(1));
    std::vector<std::pair<Task::Result, double>> statuses;
    const auto start = std::chrono::steady_clock::now();
    QCOMPARE(update(device, &statuses), Task::Failed);
    QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(5));
    QCOMPARE(statuses.back(), std::make_pair(Task::Failed, 1.0));
    QTRY_COMPARE_WITH_TIMEOUT(DeviceManager::instance().count(), size_t(0), 3000);

    // Back on the bus, the cut-short image reads as unknown: it will be
    // written again.
    unit.clearFaults();
    unit.plugIn();
    device = waitForDevice(3000);
    QVERIFY(device);
    QCOMPARE(unit.eepromContents(0, 2, 2), (std::vector<uint8_t>{0xFF, 0xFF}));
    QCOMPARE(versions(*device), (std::vector<uint32_t>{5, 0xFFFFFFFF}));

    MVNUsb_UninstallDeviceNotification(notifier);
    poller.stop();
    DeviceManager::instance().removeAll();
    m_bed->removeUnit(id);
}

QTEST_GUILESS_MAIN(TestXmegaUsbDevfs)
#include "tst_xmegausbdevfs.moc"
