#include "devicelist.h"
#include "testfamily.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <vector>

class NotAFamily : public QObject
{
    Q_OBJECT

signals:
    void deviceArrived(VisibleDevice* device);
};

// Devices are given as "U:Name" (USB) or "P:Name" (anything else).
class DeviceListTest : public QObject
{
    Q_OBJECT

private:
    TestDevice* make(const QString& code)
    {
        m_devices.push_back(std::make_unique<TestDevice>(code.mid(2)));
        m_devices.back()->usb = code.startsWith(QLatin1Char('U'));
        return m_devices.back().get();
    }
    QStringList names(const DeviceList& list) const
    {
        QStringList out;
        for (int i = 0; i < list.numberOfDevice(); ++i)
            out << list.deviceAt(i)->deviceName();
        return out;
    }

    std::vector<std::unique_ptr<TestDevice>> m_devices;

private slots:
    void initTestCase() { qRegisterMetaType<VisibleDevice*>(); }
    void cleanup() { m_devices.clear(); }

    void insertPosition_data()
    {
        QTest::addColumn<int>("sortOrder");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("added");
        QTest::addColumn<int>("expected");

        const QStringList example{"U:C", "P:A"};
        QTest::newRow("sorted: usb B before usb C") << 1 << example << "U:B" << 0;
        QTest::newRow("sorted: other B after all usb and A") << 1 << example << "P:B" << 2;
        QTest::newRow("sorted: usb after the last usb") << 1 << example << "U:D" << 1;
        QTest::newRow("sorted: other before a larger other") << 1 << QStringList{"U:C", "P:M"} << "P:B" << 1;
        QTest::newRow("sorted: equal name goes after") << 1 << QStringList{"P:A", "P:B", "P:C"} << "P:B" << 2;
        QTest::newRow("sorted: case-sensitive order") << 1 << QStringList{"P:B", "P:a"} << "P:C" << 1;
        QTest::newRow("sorted: into empty list") << 1 << QStringList{} << "P:A" << 0;
        QTest::newRow("arrival: usb B appended") << 0 << example << "U:B" << 2;
        QTest::newRow("arrival: other B appended") << 0 << example << "P:B" << 2;
    }
    void insertPosition()
    {
        QFETCH(int, sortOrder);
        QFETCH(QStringList, existing);
        QFETCH(QString, added);
        QFETCH(int, expected);

        TestFamily family(QStringLiteral("F"));
        DeviceList list;
        connect(&family, &TestFamily::deviceArrived, &list, &DeviceList::onDeviceAdded);
        list.setSortOrder(static_cast<DeviceList::SortOrder>(sortOrder));
        for (const QString& code : existing)
            family.announce(make(code));
        TestDevice* device = make(added);
        family.announce(device);
        QCOMPARE(list.indexOfDevice(device), expected);
        QCOMPARE(list.numberOfDevice(), existing.size() + 1);
    }

    void currentDeviceOnAddAndRemove()
    {
        TestFamily family(QStringLiteral("F"));
        DeviceList list;
        connect(&family, &TestFamily::deviceArrived, &list, &DeviceList::onDeviceAdded);
        connect(&family, &TestFamily::deviceRemoved, &list, &DeviceList::onDeviceRemoved);
        QSignalSpy selected(&list, &DeviceList::deviceListSelected);
        QSignalSpy added(&list, &DeviceList::deviceListAdded);
        QSignalSpy removed(&list, &DeviceList::deviceListRemoved);

        TestDevice* b = make("P:B");
        family.announce(b);
        QCOMPARE(list.getCurrentDevice(), b);
        QCOMPARE(list.getCurrentDeviceIndex(), 0);

        // A later arrival sorted in front does not take over the selection.
        TestDevice* a = make("P:A");
        TestDevice* c = make("P:C");
        family.announce(a);
        family.announce(c);
        QCOMPARE(names(list), (QStringList{"A", "B", "C"}));
        QCOMPARE(list.getCurrentDevice(), b);
        QCOMPARE(list.getCurrentDeviceIndex(), 1);
        QCOMPARE(added.count(), 3);
        QCOMPARE(added.at(1).at(0).value<VisibleDevice*>(), static_cast<VisibleDevice*>(a));

        // The first entry, not the neighbour, becomes current.
        list.setCurrentDevice(2);
        selected.clear();
        family.withdraw(c);
        QCOMPARE(list.getCurrentDevice(), a);
        QCOMPARE(removed.count(), 1);

        // Removing a device that is not current keeps the selection.
        family.withdraw(b);
        QCOMPARE(list.getCurrentDevice(), a);

        // Unknown devices are still reported as removed; nothing else changes.
        TestDevice* stranger = make("P:X");
        family.withdraw(stranger);
        QCOMPARE(removed.count(), 3);
        QCOMPARE(list.numberOfDevice(), 1);

        family.withdraw(a);
        QCOMPARE(list.getCurrentDevice(), nullptr);
        QCOMPARE(list.getCurrentDeviceIndex(), -1);
        QCOMPARE(selected.count(), 0);
    }

    void familyAndDuplicates()
    {
        TestFamily first(QStringLiteral("First"));
        TestFamily second(QStringLiteral("Second"));
        DeviceList list;
        list.setSortOrder(DeviceList::ArrivalOrder);
        for (TestFamily* family : {&first, &second}) {
            connect(family, &TestFamily::deviceArrived, &list, &DeviceList::onDeviceAdded);
            connect(family, &TestFamily::deviceRemoved, &list, &DeviceList::onDeviceRemoved);
        }
        TestDevice* x = make("P:X");
        TestDevice* y = make("P:Y");
        first.announce(x);
        second.announce(y);
        QCOMPARE(list.getFamilyOfDevice(x), static_cast<ProductFamily*>(&first));
        QCOMPARE(list.getFamilyOfDevice(y), static_cast<ProductFamily*>(&second));
        QCOMPARE(list.getFamilyOfDevice(make("P:Z")), nullptr);

        // A second announcement is a second entry; removal takes the first.
        first.announce(x);
        QCOMPARE(list.numberOfDevice(), 3);
        first.withdraw(x);
        QCOMPARE(list.numberOfDevice(), 2);
        QCOMPARE(list.indexOfDevice(x), 1);
    }

    void stepping()
    {
        TestFamily family(QStringLiteral("F"));
        DeviceList list;
        connect(&family, &TestFamily::deviceArrived, &list, &DeviceList::onDeviceAdded);
        for (const char* code : {"P:A", "P:B", "P:C"})
            family.announce(make(QString::fromLatin1(code)));
        QSignalSpy selected(&list, &DeviceList::deviceListSelected);

        list.selectPreviousDevice();
        QCOMPARE(list.getCurrentDeviceIndex(), 0);
        QCOMPARE(selected.count(), 0);

        list.selectNextDevice();
        list.selectNextDevice();
        QCOMPARE(list.getCurrentDeviceIndex(), 2);
        QCOMPARE(selected.count(), 2);
        QCOMPARE(selected.last().at(0).value<VisibleDevice*>(), list.deviceAt(2));

        list.selectNextDevice();
        QCOMPARE(list.getCurrentDeviceIndex(), 2);
        QCOMPARE(selected.count(), 2);

        list.selectPreviousDevice();
        QCOMPARE(list.getCurrentDeviceIndex(), 1);
        QCOMPARE(selected.count(), 3);

        // Out-of-range positions are refused rather than read past the end.
        list.setCurrentDevice(3);
        list.setCurrentDevice(-1);
        QCOMPARE(list.getCurrentDeviceIndex(), 1);
        QCOMPARE(selected.count(), 3);
    }

    void senderMustBeAFamily()
    {
        DeviceList list;
        QSignalSpy added(&list, &DeviceList::deviceListAdded);
        TestDevice* device = make("P:A");

        // Called directly: there is no sender at all.
        list.onDeviceAdded(device);

        // Sent by an object that has the signal but is not a product family.
        NotAFamily impostor;
        connect(&impostor, &NotAFamily::deviceArrived, &list, &DeviceList::onDeviceAdded);
        emit impostor.deviceArrived(device);

        QCOMPARE(list.numberOfDevice(), 0);
        QCOMPARE(list.getCurrentDevice(), nullptr);
        QCOMPARE(added.count(), 0);
    }

    void changesAreForwarded()
    {
        TestFamily family(QStringLiteral("F"));
        DeviceList list;
        connect(&family, &TestFamily::deviceInfoChanged, &list, &DeviceList::onDeviceInfoChanged);
        QSignalSpy changed(&list, &DeviceList::deviceListChanged);
        TestDevice* device = make("P:A");
        emit family.deviceInfoChanged(device);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<VisibleDevice*>(), static_cast<VisibleDevice*>(device));
    }
};

QTEST_GUILESS_MAIN(DeviceListTest)
#include "tst_devicelist.moc"
