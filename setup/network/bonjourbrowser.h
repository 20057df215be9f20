#pragma once

#include "bonjourdevice.h"

#include <QObject>

// Carries what a DNS-SD browse for the maker's service type reports. There
// is no browse backend on Linux, so nothing emits these signals here; a
// backend, where one is added, reports through exactly them.
class BonjourBrowser : public QObject
{
    Q_OBJECT

public:
    explicit BonjourBrowser(QObject* parent = nullptr);

signals:
    void found(BonjourDevice device);
    void lost(BonjourDevice device);
};
