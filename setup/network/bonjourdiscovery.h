#pragma once

#include "bonjourinfo.h"

#include <QObject>

// Browses for the maker's network devices and reports their arrival, change
// and removal. There is no browse backend on Linux, so nothing is reported;
// start() only remembers that browsing was asked for.
class BonjourDiscovery : public QObject
{
    Q_OBJECT

public:
    explicit BonjourDiscovery(QObject* parent = nullptr);

    void start();
    bool isStarted() const { return m_started; }

signals:
    void deviceArrived(const BonjourInfo& info);
    void deviceRemoved(const BonjourInfo& info);
    void deviceUpdated(const BonjourInfo& info);

private:
    bool m_started = false;
};
