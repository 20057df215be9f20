#pragma once

#include "mvnusbtypes.h"

namespace MVN {
namespace USB {

// The record behind one installed hot-plug notification (opaque to users).
struct _MVNUsb_Notifier;

// Reports every matching device present now (from the calling thread) and
// every later arrival and removal (from the thread that runs
// MVNUsb_HandleFdRead, normally the USBFDPoller thread). match may be null.
// Returns null on allocation failure. Throws when no USB device file system
// can be watched (see MVNUsb_SharedNotifier).
_MVNUsb_Notifier* MVNUsb_InstallDeviceNotification(MVNUsb_DeviceAddedCallback added, void* addedContext,
                                                   MVNUsb_DeviceRemovedCallback removed, void* removedContext,
                                                   const MVNUsb_DeviceMatch* match);
// Stops a notification. Devices still reported as present are not released.
void MVNUsb_UninstallDeviceNotification(_MVNUsb_Notifier* notifier);

// Registers the one consumer of the descriptors to poll: it is told at once
// about the inotify descriptor and libusb's descriptors and later about every
// change. A null callback unregisters from libusb's changes.
void MVNUsb_RegisterPollFdCallback(MVNUsb_PollFdCallback callback, void* context);
// Call when a registered descriptor is readable; false when reading the
// hot-plug queue failed.
bool MVNUsb_HandleFdRead(int fd);

} // namespace USB
} // namespace MVN
