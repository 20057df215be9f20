#pragma once

// C interface to the arrival notifier: the callback is called on the
// notifier's thread for every card present at install time and for every
// later arrival. It receives an open instance and must close it with
// CloseDriverConnectionCore.

#include "zeltraarrivalnotifierdelegate.h"

struct ZeltraNotificationRec;

extern "C" {

// Connects to the arrival segment and starts the thread; null on failure.
ZeltraNotificationRec* InstallZeltraNotificationCallback(ZeltraArrivalCallback callback, void* userData);
// The same, and `stopped` is told (on the notifier's thread) if the thread
// ever has to end on its own because the shared lock became unusable.
ZeltraNotificationRec* InstallZeltraNotificationCallbacks(ZeltraArrivalCallback callback,
                                                          ZeltraStoppedCallback stopped, void* userData);
// Stops the thread and frees the handle; null is ignored.
void RemoveZeltraNotificationCallback(ZeltraNotificationRec* handle);

} // extern "C"
