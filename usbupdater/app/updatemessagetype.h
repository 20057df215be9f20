#pragma once

namespace Ui {

// The messages of the update dialog; the values are fixed, the controller
// maps connection types onto them.
enum UpdateMessageType : int {
    SoftwareUpdateRequired = 0,
    UpgradeFailed = 1,
    FirmwareUpdateRequired = 2,
    RestartRequired = 3,
    ShutDownRequired = 4,
    PowerCycleCables = 5,
    PowerCyclePowerAndCables = 6,
    PowerCycleShutDown = 7,
    PowerCycle = 8,
    RestartRequiredAll = 9,
    RestartLater = 10,
};

} // namespace Ui
