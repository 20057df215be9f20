#include "zeltradiscovery.h"

#include "visiblezeltra.h"

ZeltraDiscovery::ZeltraDiscovery(QObject* parent)
    : ZeltraCardDiscovery(parent)
{
    // Every card this discovery makes is a VisibleZeltra (createCard).
    connect(this, &ZeltraCardDiscovery::cardFound, this, [this](ZeltraCard* card) {
        auto* device = static_cast<VisibleZeltra*>(card);
        m_visible.append(device);
        emit found(device);
    });
    connect(this, &ZeltraCardDiscovery::cardLost, this, [this](ZeltraCard* card) {
        auto* device = static_cast<VisibleZeltra*>(card);
        m_visible.removeOne(device);
        emit lost(device);
    });
}

ZeltraCard* ZeltraDiscovery::createCard(IZeltra* device)
{
    return new VisibleZeltra(device);
}
