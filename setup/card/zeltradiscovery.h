#pragma once

#include <QList>
#include <QObject>

#include "zeltracarddiscovery.h"

class VisibleDevice;
class VisibleZeltra;

// The card family's discovery: the cards are VisibleZeltra devices,
// announced to the family as visible devices.
class ZeltraDiscovery : public ZeltraCardDiscovery
{
    Q_OBJECT

public:
    explicit ZeltraDiscovery(QObject* parent = nullptr);

    // Announced devices, in announcement order. Owned by the family, which
    // deletes each one after it was lost.
    const QList<VisibleZeltra*>& devices() const { return m_visible; }

signals:
    void found(VisibleDevice* device);
    void lost(VisibleDevice* device);
    // Kept for families that show unsupported cards; never emitted here.
    void unsupportedDeviceFound(VisibleDevice* device);

protected:
    ZeltraCard* createCard(IZeltra* device) override;

private:
    QList<VisibleZeltra*> m_visible;
};
