#include "device.h"

#include <algorithm>

bool Device::needsUpdate() const
{
    return std::any_of(m_firmware.begin(), m_firmware.end(), [](const Firmware& f) { return f.needsUpdate(); });
}
