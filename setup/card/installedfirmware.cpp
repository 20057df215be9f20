// The firmware that this release of the software carries for each model.

#include "visiblezeltra.h"

#include <algorithm>

QVector<VisibleZeltra::InstalledFirmware> VisibleZeltra::getInstalledFirmwareList()
{
    return {};
}
