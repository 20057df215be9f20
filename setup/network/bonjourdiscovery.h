#pragma once

#include "bonjourbrowser.h"
#include "bonjourinfo.h"
#include "bonjourquery.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <string>

// Keeps the list of browsed network devices and tells the main window when
// one arrives (its first successful resolve), changes (a later resolve adds
// a key or changes a value) or goes (the browser lost it). Every known
// device's TXT record is fetched again on each poll.
class BonjourDiscovery : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPollMilliseconds = 2000;
    static constexpr const char* kServiceType = "_morvane._tcp";

    explicit BonjourDiscovery(QObject* parent = nullptr);
    ~BonjourDiscovery() override;

    void start();
    bool isStarted() const { return m_started; }

    BonjourInfo* findBonjourDevice(const BonjourDevice& device) const;
    BonjourInfo* findEntryWithServiceName(const std::string& serviceName) const;
    void queryDevice(const BonjourDevice& device);

    BonjourBrowser* browser() { return &m_browser; }
    const QList<BonjourInfo*>& entries() const { return m_entries; }
    const QTimer& pollTimer() const { return m_pollTimer; }

signals:
    void deviceArrived(const BonjourInfo& info);
    void deviceRemoved(const BonjourInfo& info);
    void deviceUpdated(const BonjourInfo& info);

public slots:
    void bonjourServiceFound(BonjourDevice device);
    void bonjourServiceLost(BonjourDevice device);
    void bonjourQueryError(BonjourDevice device, DNSServiceErrorType code);
    void bonjourQuerySuccess(BonjourDevice device, uint16_t length, const void* txtData);
    void bonjourQueryPoll();

private:
    void releaseSender();

    bool m_started = false;
    BonjourBrowser m_browser;
    QList<BonjourInfo*> m_entries;
    QTimer m_pollTimer;
};
