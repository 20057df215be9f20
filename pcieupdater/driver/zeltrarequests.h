#pragma once

// The request wrappers of the driver layer: one exported C function per
// driver request, taking the instance first. Each returns 1 when the
// instance or its transport is missing, 1002 for a null out-parameter (where
// a comment says otherwise, 1), else the request's own result (0 success),
// and stores outputs only on success. The generic members and their
// selectors are listed in zeltrarequests.def.

#include "ioctlarguments.h"

struct ZeltraInstanceRec;

extern "C" {

// The hand-written members.
int GetDriverSharedDataStructureVersion(ZeltraInstanceRec* instance, unsigned int* version);
int GetSubDeviceInfo(ZeltraInstanceRec* instance, unsigned int* index, unsigned int* count, unsigned int* group);
// Copies up to 120 bytes into `description`.
int GetHardwareDescription(ZeltraInstanceRec* instance, void* description);
int MorvaneGetDeviceInfo(ZeltraInstanceRec* instance, unsigned int* info, unsigned int* modelIdentifier);
// The display name of the card model; "Zeltra" when the model is unknown or
// the request fails (the result code still tells which).
int GetModelName(ZeltraInstanceRec* instance, const char** name);
int GetZeltraFirmwareVersion(ZeltraInstanceRec* instance, unsigned int* version, unsigned int* build);
// 1002 for a null in-out word or flag (checked first), 1 without instance.
int DeviceNeedsFirmwareUpdate(ZeltraInstanceRec* instance, unsigned int value, unsigned int* inOut, bool* needsUpdate);
int GetZeltraIgnoreFirmwareVersion(ZeltraInstanceRec* instance, unsigned int* ignore);
int GetZeltraDeviceBusyState(ZeltraInstanceRec* instance, unsigned int* state); // null state: 1
int GetZeltraPersistentIdentifier(ZeltraInstanceRec* instance, unsigned int* identifier);
int GetZeltraTopologicalIdentifier(ZeltraInstanceRec* instance, unsigned int* identifier);
int IsZeltraHardwareUsable(ZeltraInstanceRec* instance, unsigned int* usable);
int IsZeltraHardwareConfigured(ZeltraInstanceRec* instance, unsigned int* configured);
int GetHardwareRevision(ZeltraInstanceRec* instance, unsigned int* revision); // null revision: 1
// Raw messages; the Zeltra driver answers them with 1012.
int SendMessageRequest(ZeltraInstanceRec* instance, _MorvaneIOMessageRequest* request);
int SendBufferMessageRequest(ZeltraInstanceRec* instance, _MorvaneIOBufferMessageRequest* request);
// The transport's interface type (0 Zeltra, 4 MorvaneIO); asks nothing of the driver.
int GetDriverInterfaceType(ZeltraInstanceRec* instance, unsigned int* type);

// Number of card models with a display name; identifiers 1 .. this.
enum { kZeltraModelCount = 86 };
const char* ZeltraModelNameForIdentifier(unsigned int identifier);

#define ZELTRA_FORM_CUSTOM(name)
#define ZELTRA_FORM_ACT(name) int name(ZeltraInstanceRec* instance);
#define ZELTRA_FORM_GET(name) int name(ZeltraInstanceRec* instance, unsigned int* value);
#define ZELTRA_FORM_SET(name) int name(ZeltraInstanceRec* instance, unsigned int value);
#define ZELTRA_FORM_GET2(name) int name(ZeltraInstanceRec* instance, unsigned int* first, unsigned int* second);
#define ZELTRA_FORM_SET2(name) int name(ZeltraInstanceRec* instance, unsigned int first, unsigned int second);
#define ZELTRA_FORM_GET64(name) int name(ZeltraInstanceRec* instance, unsigned long long* value);
#define ZELTRA_FORM_QUERY(name) int name(ZeltraInstanceRec* instance, unsigned int in, unsigned int* out);
#define ZELTRA_FORM_RSTRUCT(name) int name(ZeltraInstanceRec* instance, void* data, unsigned int* size);
#define ZELTRA_FORM_WSTRUCT(name) int name(ZeltraInstanceRec* instance, const void* data, unsigned int size);
#define ZELTRA_FORM_QSTRUCT(name) \
    int name(ZeltraInstanceRec* instance, unsigned int in, void* data, unsigned int* size);
#define ZELTRA_FORM_WSSTRUCT(name) \
    int name(ZeltraInstanceRec* instance, unsigned int in, const void* data, unsigned int size);
#define ZELTRA_REQUEST(name, form, selector, request, code) ZELTRA_FORM_##form(name)
#include "zeltrarequests.def"
#undef ZELTRA_REQUEST
#undef ZELTRA_FORM_CUSTOM
#undef ZELTRA_FORM_ACT
#undef ZELTRA_FORM_GET
#undef ZELTRA_FORM_SET
#undef ZELTRA_FORM_GET2
#undef ZELTRA_FORM_SET2
#undef ZELTRA_FORM_GET64
#undef ZELTRA_FORM_QUERY
#undef ZELTRA_FORM_RSTRUCT
#undef ZELTRA_FORM_WSTRUCT
#undef ZELTRA_FORM_QSTRUCT
#undef ZELTRA_FORM_WSSTRUCT

} // extern "C"
