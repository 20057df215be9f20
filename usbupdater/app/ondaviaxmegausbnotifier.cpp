#include "ondaviaxmegausbnotifier.h"

OndaviaXmegaUSBNotifier::OndaviaXmegaUSBNotifier()
{
    const XmegaDeviceSpec* known = nullptr;
    size_t count = 0;
    DeviceSupport::instance().getOndaviaSpecs(&known, &count);
    if (known)
        m_specs.assign(known, known + count);
}
