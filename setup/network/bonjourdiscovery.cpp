#include "bonjourdiscovery.h"

BonjourDiscovery::BonjourDiscovery(QObject* parent) : QObject(parent) {}

void BonjourDiscovery::start()
{
    if (m_started)
        return;
    m_started = true;
}
