#pragma once

#include <QMetaType>

#include <string>

// The triple that names one DNS-SD service instance, as a browser reports it.
struct BonjourDevice
{
    std::string serviceName;
    std::string serviceType;
    std::string domain;
};

Q_DECLARE_METATYPE(BonjourDevice)
