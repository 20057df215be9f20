#pragma once

#include "ondaviaxmegausbdevice.h"
#include "xmegausbnotifiertemplate.h"

// The hot-plug notifier for the maker's XMEGA model: its ids come from
// DeviceSupport.
class OndaviaXmegaUSBNotifier : public XmegaUSBNotifierTemplate<OndaviaXmegaUSBDevice>
{
public:
    OndaviaXmegaUSBNotifier();
};
