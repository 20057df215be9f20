#include "bonjourdiscovery.h"

BonjourDiscovery::BonjourDiscovery(QObject* parent) : QObject(parent)
{
    m_pollTimer.setInterval(kPollMilliseconds);
    connect(&m_browser, &BonjourBrowser::found, this, &BonjourDiscovery::bonjourServiceFound);
    connect(&m_browser, &BonjourBrowser::lost, this, &BonjourDiscovery::bonjourServiceLost);
    connect(&m_pollTimer, &QTimer::timeout, this, &BonjourDiscovery::bonjourQueryPoll);
}

BonjourDiscovery::~BonjourDiscovery()
{
    qDeleteAll(m_entries);
}

void BonjourDiscovery::start()
{
    if (m_started)
        return;
    // Browsing for kServiceType starts here where a backend exists; on
    // Linux there is none and the browser stays silent.
    m_pollTimer.start();
    m_started = true;
}

BonjourInfo* BonjourDiscovery::findBonjourDevice(const BonjourDevice& device) const
{
    return findEntryWithServiceName(device.serviceName);
}

BonjourInfo* BonjourDiscovery::findEntryWithServiceName(const std::string& serviceName) const
{
    for (BonjourInfo* entry : m_entries) {
        if (entry->serviceName() == serviceName)
            return entry;
    }
    return nullptr;
}

void BonjourDiscovery::queryDevice(const BonjourDevice& device)
{
    // Parented so that a resolve that never reports is freed with the
    // discovery; a report deletes it at once.
    auto* query = new BonjourQuery(this);
    connect(query, &BonjourQuery::error, this, &BonjourDiscovery::bonjourQueryError);
    connect(query, &BonjourQuery::queried, this, &BonjourDiscovery::bonjourQuerySuccess);
    Q_UNUSED(device) // the resolve of the device's TXT record runs on `query` where a backend exists
}

void BonjourDiscovery::bonjourServiceFound(BonjourDevice device)
{
    if (findBonjourDevice(device))
        return;
    m_entries.append(new BonjourInfo(device, QString()));
    queryDevice(device);
}

void BonjourDiscovery::bonjourServiceLost(BonjourDevice device)
{
    BonjourInfo* entry = findBonjourDevice(device);
    if (!entry)
        return;
    m_entries.removeOne(entry);
    emit deviceRemoved(*entry);
    delete entry;
}

void BonjourDiscovery::bonjourQueryError(BonjourDevice, DNSServiceErrorType)
{
    releaseSender();
}

void BonjourDiscovery::bonjourQuerySuccess(BonjourDevice device, uint16_t length, const void* txtData)
{
    releaseSender();
    BonjourInfo* entry = findBonjourDevice(device);
    if (!entry)
        return;
    const BonjourInfo before = *entry;
    entry->unpackTextRecord(static_cast<const char*>(txtData), length);
    if (!entry->isResolved()) {
        entry->setResolved(true);
        emit deviceArrived(*entry);
    } else if (!entry->textMatches(before)) {
        emit deviceUpdated(*entry);
    }
}

void BonjourDiscovery::bonjourQueryPoll()
{
    // A copy: a receiver may change the list while the queries go out.
    const QList<BonjourInfo*> entries = m_entries;
    for (BonjourInfo* entry : entries)
        queryDevice(entry->device());
}

void BonjourDiscovery::releaseSender()
{
    if (QObject* query = sender())
        query->deleteLater();
}
