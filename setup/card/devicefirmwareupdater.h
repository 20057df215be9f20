#pragma once

#include <QObject>

// Rewrites the firmware of one device of a plug-in family. The family owns
// it; FirmwareUpdate drives it: checkFirmwareCurrent() first, and
// startFirmwareUpdate() only once the user agreed. Progress and the outcome
// arrive as signals, possibly long after startFirmwareUpdate() returned.
class DeviceFirmwareUpdater : public QObject
{
    Q_OBJECT
public:
    // The codes of firmwareUpdated().
    enum Result { kUpdateSucceeded = 0, kUpdateFailed = 1 };

    // Inline, so a plug-in's updater needs nothing of the program's but
    // what its meta-object brings.
    explicit DeviceFirmwareUpdater(QObject* parent = nullptr) : QObject(parent) {}

    // True when the device runs the firmware this software carries.
    virtual bool checkFirmwareCurrent() = 0;
    virtual void startFirmwareUpdate() = 0;

signals:
    void isFirmwareCurrent(bool current);
    void firmwareUpdated(int result);
    void firmwareUpdateProgress(int percent);
};
