#pragma once

#include "bonjourdevice.h"

#include <QObject>

#include <cstdint>

// Error code of a resolve, as the DNS-SD programming interface gives it.
using DNSServiceErrorType = int32_t;

// Carries the outcome of resolving one device's TXT record, one object per
// resolve. Like the browser it has no backend on Linux.
class BonjourQuery : public QObject
{
    Q_OBJECT

public:
    explicit BonjourQuery(QObject* parent = nullptr);

signals:
    void error(BonjourDevice device, DNSServiceErrorType code);
    // The device's raw TXT record; valid only during the emission.
    void queried(BonjourDevice device, uint16_t length, const void* txtData);
};
