// The card family over the simulator's built-in card set, as the setup
// utility sees it when started from the build tree.

#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "devicelist.h"
#include "staticdata.h"
#include "visiblezeltra.h"
#include "zeltrafamily.h"
#include "testhome.h"

class TestCardDefaultSet : public QObject
{
    Q_OBJECT

private slots:
    void listHoldsDefaultCardsInOrder();
};

void TestCardDefaultSet::listHoldsDefaultCardsInOrder()
{
    QTemporaryDir home;
    QVERIFY(useTestHome(home));
    initialiseStaticData();

    QFile file(QStringLiteral(ONDAVIA_DEFAULT_CARDS));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray cards = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("cards")).toArray();
    QVERIFY(!cards.isEmpty());
    // Cards of the description that the utility shows, by persistent id.
    QStringList shown;
    for (const QJsonValue& card : cards) {
        const QJsonObject ints = card.toObject().value(QStringLiteral("attributes")).toObject().value(QStringLiteral("ints")).toObject();
        if (card.toObject().value(QStringLiteral("present")).toBool(true)
            && !kExcludedDevices.contains(quint64(ints.value(QStringLiteral("rvid")).toInt())))
            shown << ints.value(QStringLiteral("peid")).toString();
    }

    ZeltraFamily family;
    DeviceList list;
    list.setSortOrder(DeviceList::ArrivalOrder);
    connect(&family, &ProductFamilyBase::deviceArrived, &list, &DeviceList::onDeviceAdded);
    family.init();
    QTRY_COMPARE_WITH_TIMEOUT(list.numberOfDevice(), shown.size(), 10000);
    QTest::qWait(100);
    QCOMPARE(list.numberOfDevice(), shown.size());

    // Every shown card is listed once. Channels of one card sit together in
    // channel order; single cards keep the order in which they arrived.
    QStringList listed;
    QList<VisibleZeltra*> devices;
    for (int i = 0; i < list.numberOfDevice(); ++i) {
        auto* device = dynamic_cast<VisibleZeltra*>(list.deviceAt(i));
        QVERIFY(device);
        QVERIFY(device->modelId() != 39);
        devices << device;
        listed << QStringLiteral("0x%1").arg(quint64(device->getPersistentId()), 0, 16);
    }
    QCOMPARE(QSet<QString>(listed.cbegin(), listed.cend()), QSet<QString>(shown.cbegin(), shown.cend()));
    QStringList singles;
    for (int i = 0; i < devices.size(); ++i) {
        int64_t group = 0;
        if (!devices[i]->getDeviceGroupId(&group) || devices[i]->getSubDeviceCount() < 2) {
            singles << listed[i];
            continue;
        }
        const int64_t index = devices[i]->getSubDeviceIndex();
        if (index > 0) {
            QVERIFY(i > 0);
            int64_t previousGroup = -1;
            QVERIFY(devices[i - 1]->getDeviceGroupId(&previousGroup));
            QCOMPARE(previousGroup, group);
            QCOMPARE(devices[i - 1]->getSubDeviceIndex(), index - 1);
        }
    }
    QStringList shownSingles = shown;
    shownSingles.erase(std::remove_if(shownSingles.begin(), shownSingles.end(),
                           [&](const QString& id) { return !singles.contains(id); }),
        shownSingles.end());
    QCOMPARE(singles, shownSingles);
    family.destroy();
}

QTEST_MAIN(TestCardDefaultSet)
#include "tst_carddefaultset.moc"
