#include "ondaviaxmegausbnotifier.h"

OndaviaXmegaUSBNotifier::OndaviaXmegaUSBNotifier()
{
    const XmegaDeviceSpec* specs = nullptr;
    size_t count = 0;
    DeviceSupport::instance().getOndaviaSpecs(&specs, &count);
    if (specs)
        m_specs.assign(specs, specs + count);
}
