#include "ctlcards.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "zeltraapilibrary.h"
#include "zeltracard.h"

namespace {

// How many devices the library lists now; -1 without the library.
int listedDevices()
{
    ZeltraPtr<IZeltraIterator> iterator = ZeltraApiLibrary::createIterator();
    if (!iterator)
        return -1;
    // Bounded, so that a library that never ends its list cannot hang us.
    constexpr int kMaxDevices = 1024;
    int count = 0;
    for (; count < kMaxDevices; ++count) {
        IZeltra* device = nullptr;
        if (iterator->Next(&device) != 0 || !device)
            break;
        device->Release();
    }
    return count;
}

} // namespace

CtlCards::CtlCards(QObject* parent)
    : QObject(parent)
{
    // Kept to the end: a command may still compare against a lost card.
    connect(&m_discovery, &ZeltraCardDiscovery::cardLost, this, [this](ZeltraCard* card) { m_lost.append(card); });
}

CtlCards::~CtlCards()
{
    m_discovery.uninitialise();
    qDeleteAll(m_discovery.devices());
    qDeleteAll(m_lost);
}

bool CtlCards::load(int timeoutMs)
{
    const int expected = listedDevices();
    if (expected < 0)
        return false;
    m_discovery.initialise();
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&m_discovery, &ZeltraCardDiscovery::arrivalHandled, &loop, [&] {
        if (m_discovery.handledArrivals() >= expected)
            loop.quit();
    });
    if (m_discovery.handledArrivals() < expected) {
        timeout.start(timeoutMs);
        loop.exec();
    }
    return true;
}

ZeltraCard* CtlCards::find(const QString& which, QString& error) const
{
    const QList<ZeltraCard*>& list = cards();
    bool isIndex = false;
    const int index = which.toInt(&isIndex);
    if (isIndex) {
        if (index >= 0 && index < list.size())
            return list.at(index);
        error = QStringLiteral("no card %1 (there are %2)").arg(index).arg(list.size());
        return nullptr;
    }
    if (which.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        bool ok = false;
        const qint64 id = qint64(which.mid(2).toULongLong(&ok, 16));
        for (ZeltraCard* card : list) {
            if (ok && card->supportsPersistentID() && card->getPersistentId() == id)
                return card;
        }
        error = QStringLiteral("no card with the persistent id %1").arg(which);
        return nullptr;
    }
    ZeltraCard* found = nullptr;
    for (ZeltraCard* card : list) {
        if (card->deviceName() != which)
            continue;
        if (found) {
            error = QStringLiteral("more than one card is labelled '%1'; name it by index or persistent id").arg(which);
            return nullptr;
        }
        found = card;
    }
    if (!found)
        error = QStringLiteral("no card labelled '%1'").arg(which);
    return found;
}

QString CtlCards::describe(const ZeltraCard* card) const
{
    return QStringLiteral("card %1 (%2)").arg(indexOf(card)).arg(card->deviceName());
}
