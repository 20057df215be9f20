#pragma once

#include <QMetaType>
#include <QString>
#include <cstdint>

// One card as the external updater describes it in a status answer.
struct Device
{
    QString name;            // display name
    bool needsUpdate = false;
    bool suppressed = false; // the user switched the version check off
    QString path;            // the updater's own device path, passed back to it
    uint8_t deviceCode = 0;

    // Offered an update exactly when new firmware is due and not suppressed.
    bool offered() const { return needsUpdate && !suppressed; }
};

Q_DECLARE_METATYPE(Device)
