#pragma once

// C-callable driver access layer: enumerating the card nodes under
// /dev/morvane and opening one device instance per node. Functions take the
// instance first and return 0 on success, 1 for a missing instance or
// transport, 1002 for a bad argument, otherwise the ioctl's own result
// (except where a comment says a function returns 1 on success).

#include "ioctlarguments.h"
#include "ioctlmessageuser.h"
#include "zeltradevicenode.h"
#include "zeltrainstancerec.h"
#include "zeltraiteratorrec.h"

extern "C" {

// Directory of the card nodes and the size of every path buffer.
extern const char* const kZeltraDeviceDirectory; // "/dev/morvane"
enum { kZeltraPathSize = 64 };

// Builds a snapshot of the usable nodes, position 0. Never null except when
// out of memory; a missing directory gives an empty iterator.
ZeltraIteratorRec* CreateZeltraIterator();
void ResetZeltraIterator(ZeltraIteratorRec* iterator);
void ReleaseZeltraIterator(ZeltraIteratorRec* iterator); // null is ignored

// Opens the node at the position and advances; null at the end or when the
// open fails (without advancing). The caller closes the instance.
ZeltraInstanceRec* ZeltraIteratorNext(ZeltraIteratorRec* iterator);

// Same step as ZeltraIteratorNext, the instance (or null) stored through
// `instance`; returns 1 when one was opened. A null iterator opens the first
// node of a temporary one.
int ConnectToDriverCore(ZeltraInstanceRec** instance, ZeltraIteratorRec* iterator);
// Opens the n-th node (counted from 1); returns 1 on success, 0 when a node
// before it or the node itself fails to open.
int ConnectToNextZeltra(ZeltraInstanceRec** instance, unsigned int n);

ZeltraInstanceRec* ZeltraOpenDevice(const ZeltraDeviceNode* node);
void CloseDriverConnectionCore(ZeltraInstanceRec* instance); // null is ignored

// Maps the 80-byte shared-data area read-only; 1 on success.
int MapDeviceMemoryCore(ZeltraInstanceRec* instance);
int GetDriverFileDescriptor(ZeltraInstanceRec* instance);   // -1 without instance
const char* GetDriverName(ZeltraInstanceRec* instance);     // null without instance
// 1 and the node path ("/dev/morvane/dv0") in a 64-byte buffer, or 0.
int GetDevicePath(ZeltraInstanceRec* instance, char* path);

} // extern "C"
