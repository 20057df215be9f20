// The simulator's built-in cards for the settings tab tests: the family
// started over them in a private home, devices found by persistent id, and
// what reached a card read back through zeltra-simctl.
#pragma once

#include <QtTest>

#include <QTemporaryDir>

#include <memory>

#include "devicelist.h"
#include "simctl.h"
#include "productfamilybase.h"
#include "staticdata.h"
#include "visiblezeltra.h"
#include "zeltrafamily.h"
#include "testhome.h"

// Index in the built-in set and persistent id of the cards used here.
struct SimCard {
    int index;
    qint64 persistentId;
};
inline constexpr SimCard kMeridian{ 0, 0x4f44560000003d01 };
inline constexpr SimCard kPrism{ 1, 0x4f44560000004d01 };
inline constexpr SimCard kDuoLink1{ 7, 0x4f44560000004001 };
inline constexpr SimCard kDuoLink2{ 8, 0x4f44560000004002 };
inline constexpr SimCard kDeckhand{ 9, 0x4f44560000004801 };
inline constexpr SimCard kBeacon{ 10, 0x4f44560000004301 };
inline constexpr SimCard kPocket{ 11, 0x4f44560000004901 };
inline constexpr SimCard kAtlas{ 12, 0x4f44560000004c01 };
inline constexpr SimCard kQuartet{ 3, 0x4f44560000004703 };
inline constexpr SimCard kKeystone{ 13, 0x4f44560000007801 };

class SimCards
{
public:
    // Call from initTestCase; false when the cards did not all arrive.
    bool start()
    {
        if (!useTestHome(m_home))
            return false;
        initialiseStaticData();
        // The library reads the environment when it loads, so the family comes after it.
        m_family = std::make_unique<ZeltraFamily>();
        // Wired as the main window wires it, so the device list sees what the window would show.
        QObject::connect(m_family.get(), &ProductFamilyBase::deviceArrived, &m_list, &DeviceList::onDeviceAdded);
        QObject::connect(m_family.get(), &ProductFamilyBase::deviceRemoved, &m_list, &DeviceList::onDeviceRemoved);
        m_family->init();
        for (const SimCard& card :
             { kMeridian, kPrism, kDuoLink1, kDuoLink2, kDeckhand, kBeacon, kPocket, kAtlas, kKeystone }) {
            if (!QTest::qWaitFor([&] { return device(card) != nullptr; }, 10000))
                return false;
        }
        return true;
    }
    void stop()
    {
        if (m_family)
            m_family->destroy();
    }

    VisibleZeltra* device(const SimCard& card) const
    {
        for (VisibleZeltra* device : m_family->discovery().devices()) {
            if (device->getPersistentId() == card.persistentId)
                return device;
        }
        return nullptr;
    }

    const DeviceList& list() const { return m_list; }
    const QList<VisibleZeltra*>& devices() const { return m_family->discovery().devices(); }

    // The card's item as the simulator holds it; empty on failure.
    static QString get(const SimCard& card, const char* item) { return SimCtl::get(card.index, item); }
    static QString code(const char (&text)[5]) { return QString::number(zeltraCode(text)); }

private:
    QTemporaryDir m_home;
    DeviceList m_list;
    std::unique_ptr<ZeltraFamily> m_family;
};
