#include "zeltrarequests.h"

#include "ioctlmessageuser.h"
#include "zeltrainstancerec.h"

namespace {

constexpr int kVersionSelector = 0x10000;
constexpr int kSubDeviceSelector = 2458;
constexpr int kHardwareDescriptionSelector = 2448;
constexpr int kDeviceInfoSelector = 2368;
constexpr int kFirmwareVersionSelector = 2454;
constexpr int kNeedsUpdateSelector = 2463;
constexpr int kIgnoreFirmwareSelector = 2471;
constexpr int kBusyStateSelector = 2461;
constexpr int kPersistentIdSelector = 2450;
constexpr int kTopologicalIdSelector = 2462;
constexpr int kHardwareUsableSelector = 2452;
constexpr int kHardwareConfiguredSelector = 2576;
constexpr int kHardwareRevisionSelector = 2472;

const char* const kDefaultModelName = "Zeltra";

// Display names of the card models, by model identifier 1 .. 86.
const char* const kModelNames[kZeltraModelCount] = {
    "Zeltra Vista HD", // 1
    "Zeltra Quartet HD", // 2
    "Zeltra Lumen HD", // 3
    "Zeltra Corvo HD", // 4
    "Zeltra Helix HD", // 5
    "Zeltra Nimbus HD", // 6
    "Zeltra Arden HD", // 7
    "Zeltra Tessel HD", // 8
    "Zeltra Strata HD", // 9
    "Zeltra Orrin HD", // 10
    "Zeltra Pavo HD", // 11
    "Zeltra Vista 3G", // 12
    "Zeltra Quartet 3G", // 13
    "Zeltra Lumen 3G", // 14
    "Zeltra Corvo 3G", // 15
    "Zeltra Helix 3G", // 16
    "Zeltra Nimbus 3G", // 17
    "Zeltra Arden 3G", // 18
    "Zeltra Tessel 3G", // 19
    "Zeltra Strata 3G", // 20
    "Zeltra Orrin 3G", // 21
    "Zeltra Pavo 3G", // 22
    "Zeltra Vista 6G", // 23
    "Zeltra Quartet 6G", // 24
    "Zeltra Lumen 6G", // 25
    "Zeltra Corvo 6G", // 26
    "Zeltra Helix 6G", // 27
    "Zeltra Nimbus 6G", // 28
    "Zeltra Arden 6G", // 29
    "Zeltra Tessel 6G", // 30
    "Zeltra Strata 6G", // 31
    "Zeltra Orrin 6G", // 32
    "Zeltra Pavo 6G", // 33
    "Zeltra Vista 12G", // 34
    "Zeltra Quartet 12G", // 35
    "Zeltra Lumen 12G", // 36
    "Zeltra Corvo 12G", // 37
    "Zeltra Helix 12G", // 38
    "Zeltra Nimbus 12G", // 39
    "Zeltra Arden 12G", // 40
    "Zeltra Tessel 12G", // 41
    "Zeltra Strata 12G", // 42
    "Zeltra Orrin 12G", // 43
    "Zeltra Pavo 12G", // 44
    "Zeltra Vista 4K", // 45
    "Zeltra Quartet 4K", // 46
    "Zeltra Lumen 4K", // 47
    "Zeltra Corvo 4K", // 48
    "Zeltra Helix 4K", // 49
    "Zeltra Nimbus 4K", // 50
    "Zeltra Arden 4K", // 51
    "Zeltra Tessel 4K", // 52
    "Zeltra Strata 4K", // 53
    "Zeltra Orrin 4K", // 54
    "Zeltra Pavo 4K", // 55
    "Zeltra Vista 8K", // 56
    "Zeltra Quartet 8K", // 57
    "Zeltra Lumen 8K", // 58
    "Zeltra Corvo 8K", // 59
    "Zeltra Helix 8K", // 60
    "Zeltra Nimbus 8K", // 61
    "Zeltra Arden 8K", // 62
    "Zeltra Tessel 8K", // 63
    "Zeltra Strata 8K", // 64
    "Zeltra Orrin 8K", // 65
    "Zeltra Pavo 8K", // 66
    "Zeltra Vista Duo", // 67
    "Zeltra Quartet Duo", // 68
    "Zeltra Lumen Duo", // 69
    "Zeltra Corvo Duo", // 70
    "Zeltra Helix Duo", // 71
    "Zeltra Nimbus Duo", // 72
    "Zeltra Arden Duo", // 73
    "Zeltra Tessel Duo", // 74
    "Zeltra Strata Duo", // 75
    "Zeltra Orrin Duo", // 76
    "Zeltra Pavo Duo", // 77
    "Zeltra Vista Quad", // 78
    "Zeltra Quartet Quad", // 79
    "Zeltra Lumen Quad", // 80
    "Zeltra Corvo Quad", // 81
    "Zeltra Helix Quad", // 82
    "Zeltra Nimbus Quad", // 83
    "Zeltra Arden Quad", // 84
    "Zeltra Tessel Quad", // 85
    "Zeltra Strata Quad", // 86
};

IoctlMessageUser* transport(ZeltraInstanceRec* instance)
{
    return instance ? instance->messageUser : nullptr;
}

int readOne(ZeltraInstanceRec* instance, int selector, unsigned int* value, int nullValueResult)
{
    IoctlMessageUser* user = transport(instance);
    if (!user)
        return kZeltraNoInstance;
    if (!value)
        return nullValueResult;
    return user->readScalar(selector, value);
}

int readTwo(ZeltraInstanceRec* instance, int selector, unsigned int* first, unsigned int* second)
{
    IoctlMessageUser* user = transport(instance);
    if (!user)
        return kZeltraNoInstance;
    if (!first || !second)
        return kZeltraBadArgument;
    unsigned long long raw[2] = {};
    const int result = user->readScalar(selector, raw, 2);
    if (result == kZeltraSuccess) {
        *first = static_cast<unsigned int>(raw[0]);
        *second = static_cast<unsigned int>(raw[1]);
    }
    return result;
}

} // namespace

extern "C" {

const char* ZeltraModelNameForIdentifier(unsigned int identifier)
{
    if (identifier >= 1 && identifier <= kZeltraModelCount)
        return kModelNames[identifier - 1];
    return kDefaultModelName;
}

int GetDriverSharedDataStructureVersion(ZeltraInstanceRec* instance, unsigned int* version)
{
    return readOne(instance, kVersionSelector, version, kZeltraBadArgument);
}

int GetSubDeviceInfo(ZeltraInstanceRec* instance, unsigned int* index, unsigned int* count, unsigned int* group)
{
    IoctlMessageUser* user = transport(instance);
    if (!user)
        return kZeltraNoInstance;
    if (!index || !count || !group)
        return kZeltraBadArgument;
    unsigned long long raw[3] = {};
    const int result = user->readScalar(kSubDeviceSelector, raw, 3);
    if (result == kZeltraSuccess) {
        *index = static_cast<unsigned int>(raw[0]);
        *count = static_cast<unsigned int>(raw[1]);
        *group = static_cast<unsigned int>(raw[2]);
    }
    return result;
}

int GetHardwareDescription(ZeltraInstanceRec* instance, void* description)
{
    IoctlMessageUser* user = transport(instance);
    if (!user)
        return kZeltraNoInstance;
    if (!description)
        return kZeltraBadArgument;
    unsigned int size = ZeltraInstanceRec::kHardwareDescriptionSize;
    return user->readStruct(kHardwareDescriptionSelector, description, &size);
}

int MorvaneGetDeviceInfo(ZeltraInstanceRec* instance, unsigned int* info, unsigned int* modelIdentifier)
{
    return readTwo(instance, kDeviceInfoSelector, info, modelIdentifier);
}

int GetModelName(ZeltraInstanceRec* instance, const char** name)
{
    if (!name)
        return transport(instance) ? kZeltraBadArgument : kZeltraNoInstance;
    *name = kDefaultModelName;
    unsigned int info = 0;
    unsigned int model = 0;
    const int result = MorvaneGetDeviceInfo(instance, &info, &model);
    if (result == kZeltraSuccess)
        *name = ZeltraModelNameForIdentifier(model);
    return result;
}

int GetZeltraFirmwareVersion(ZeltraInstanceRec* instance, unsigned int* version, unsigned int* build)
{
    return readTwo(instance, kFirmwareVersionSelector, version, build);
}

int DeviceNeedsFirmwareUpdate(ZeltraInstanceRec* instance, unsigned int value, unsigned int* inOut, bool* needsUpdate)
{
    if (!inOut || !needsUpdate)
        return kZeltraBadArgument;
    IoctlMessageUser* user = transport(instance);
    if (!user)
        return kZeltraNoInstance;
    const unsigned long long in[2] = {value, *inOut};
    unsigned long long out[2] = {};
    const int result = user->writeScalarReadScalar(kNeedsUpdateSelector, in, 2, out, 2);
    if (result == kZeltraSuccess) {
        *needsUpdate = out[0] != 0;
        *inOut = static_cast<unsigned int>(out[1]);
    }
    return result;
}

int GetZeltraIgnoreFirmwareVersion(ZeltraInstanceRec* instance, unsigned int* ignore)
{
    return readOne(instance, kIgnoreFirmwareSelector, ignore, kZeltraBadArgument);
}

int GetZeltraDeviceBusyState(ZeltraInstanceRec* instance, unsigned int* state)
{
    return readOne(instance, kBusyStateSelector, state, kZeltraNoInstance);
}

int GetZeltraPersistentIdentifier(ZeltraInstanceRec* instance, unsigned int* identifier)
{
    return readOne(instance, kPersistentIdSelector, identifier, kZeltraBadArgument);
}

int GetZeltraTopologicalIdentifier(ZeltraInstanceRec* instance, unsigned int* identifier)
{
    return readOne(instance, kTopologicalIdSelector, identifier, kZeltraBadArgument);
}

int IsZeltraHardwareUsable(ZeltraInstanceRec* instance, unsigned int* usable)
{
    return readOne(instance, kHardwareUsableSelector, usable, kZeltraBadArgument);
}

int IsZeltraHardwareConfigured(ZeltraInstanceRec* instance, unsigned int* configured)
{
    return readOne(instance, kHardwareConfiguredSelector, configured, kZeltraBadArgument);
}

int GetHardwareRevision(ZeltraInstanceRec* instance, unsigned int* revision)
{
    return readOne(instance, kHardwareRevisionSelector, revision, kZeltraNoInstance);
}

int SendMessageRequest(ZeltraInstanceRec* instance, _MorvaneIOMessageRequest* request)
{
    IoctlMessageUser* user = transport(instance);
    if (!user)
        return kZeltraNoInstance;
    if (!request)
        return kZeltraBadArgument;
    return user->sendMessage(request);
}

int SendBufferMessageRequest(ZeltraInstanceRec* instance, _MorvaneIOBufferMessageRequest* request)
{
    IoctlMessageUser* user = transport(instance);
    if (!user)
        return kZeltraNoInstance;
    if (!request)
        return kZeltraBadArgument;
    return user->sendBufferMessage(request);
}

int GetDriverInterfaceType(ZeltraInstanceRec* instance, unsigned int* type)
{
    IoctlMessageUser* user = transport(instance);
    if (!user)
        return kZeltraNoInstance;
    if (!type)
        return kZeltraBadArgument;
    *type = user->interfaceType();
    return kZeltraSuccess;
}

// The table-driven members: one body per request form.
#define ZELTRA_PROLOGUE                          \
    IoctlMessageUser* user = transport(instance); \
    if (!user)                                    \
        return kZeltraNoInstance;
#define ZELTRA_FORM_CUSTOM(name, selector)
#define ZELTRA_FORM_ACT(name, selector)                                                                     \
    int name(ZeltraInstanceRec* instance)                                                                   \
    {                                                                                                       \
        ZELTRA_PROLOGUE                                                                                     \
        return user->call(selector);                                                                        \
    }
#define ZELTRA_FORM_GET(name, selector)                                                                     \
    int name(ZeltraInstanceRec* instance, unsigned int* value)                                              \
    {                                                                                                       \
        return readOne(instance, selector, value, kZeltraBadArgument);                                      \
    }
#define ZELTRA_FORM_SET(name, selector)                                                                     \
    int name(ZeltraInstanceRec* instance, unsigned int value)                                               \
    {                                                                                                       \
        ZELTRA_PROLOGUE                                                                                     \
        return user->writeScalar(selector, value);                                                          \
    }
#define ZELTRA_FORM_GET2(name, selector)                                                                    \
    int name(ZeltraInstanceRec* instance, unsigned int* first, unsigned int* second)                        \
    {                                                                                                       \
        return readTwo(instance, selector, first, second);                                                  \
    }
#define ZELTRA_FORM_SET2(name, selector)                                                                    \
    int name(ZeltraInstanceRec* instance, unsigned int first, unsigned int second)                          \
    {                                                                                                       \
        ZELTRA_PROLOGUE                                                                                     \
        const unsigned long long in[2] = {first, second};                                                   \
        return user->writeScalar(selector, in, 2);                                                          \
    }
#define ZELTRA_FORM_GET64(name, selector)                                                                   \
    int name(ZeltraInstanceRec* instance, unsigned long long* value)                                        \
    {                                                                                                       \
        ZELTRA_PROLOGUE                                                                                     \
        if (!value)                                                                                         \
            return kZeltraBadArgument;                                                                      \
        unsigned long long raw = 0;                                                                         \
        const int result = user->readScalar(selector, &raw, 1);                                             \
        if (result == kZeltraSuccess)                                                                       \
            *value = raw;                                                                                   \
        return result;                                                                                      \
    }
#define ZELTRA_FORM_QUERY(name, selector)                                                                   \
    int name(ZeltraInstanceRec* instance, unsigned int in, unsigned int* out)                               \
    {                                                                                                       \
        ZELTRA_PROLOGUE                                                                                     \
        if (!out)                                                                                           \
            return kZeltraBadArgument;                                                                      \
        return user->writeScalarReadScalar(selector, in, out);                                              \
    }
#define ZELTRA_FORM_RSTRUCT(name, selector)                                                                 \
    int name(ZeltraInstanceRec* instance, void* data, unsigned int* size)                                   \
    {                                                                                                       \
        ZELTRA_PROLOGUE                                                                                     \
        if (!data || !size)                                                                                 \
            return kZeltraBadArgument;                                                                      \
        return user->readStruct(selector, data, size);                                                      \
    }
#define ZELTRA_FORM_WSTRUCT(name, selector)                                                                 \
    int name(ZeltraInstanceRec* instance, const void* data, unsigned int size)                              \
    {                                                                                                       \
        ZELTRA_PROLOGUE                                                                                     \
        if (!data && size)                                                                                  \
            return kZeltraBadArgument;                                                                      \
        return user->writeStruct(selector, data, size);                                                     \
    }
#define ZELTRA_FORM_QSTRUCT(name, selector)                                                                 \
    int name(ZeltraInstanceRec* instance, unsigned int in, void* data, unsigned int* size)                  \
    {                                                                                                       \
        ZELTRA_PROLOGUE                                                                                     \
        if (!data || !size)                                                                                 \
            return kZeltraBadArgument;                                                                      \
        const unsigned long long raw = in;                                                                  \
        return user->writeScalarReadStruct(selector, &raw, 1, data, size);                                  \
    }
#define ZELTRA_FORM_WSSTRUCT(name, selector)                                                                \
    int name(ZeltraInstanceRec* instance, unsigned int in, const void* data, unsigned int size)             \
    {                                                                                                       \
        ZELTRA_PROLOGUE                                                                                     \
        if (!data && size)                                                                                  \
            return kZeltraBadArgument;                                                                      \
        const unsigned long long raw = in;                                                                  \
        return user->writeScalarWriteStruct(selector, &raw, 1, data, size);                                 \
    }
#define ZELTRA_REQUEST(name, form, selector, request, code) ZELTRA_FORM_##form(name, selector)
#include "zeltrarequests.def"
#undef ZELTRA_REQUEST

} // extern "C"
