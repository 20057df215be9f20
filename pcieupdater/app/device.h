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
    // Where the card sits, shown beside its name when other cards of the
    // same model are present (empty otherwise); set by the update manager
    // for the dialogs.
    QString place;

    // Offered an update exactly when new firmware is due and not suppressed.
    bool offered() const { return needsUpdate && !suppressed; }
    // The name the dialogs use: the model, and its place when it has one.
    QString displayName() const { return place.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, place); }
};

Q_DECLARE_METATYPE(Device)
