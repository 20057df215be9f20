#pragma once

// Binary interface of the card driver API library (libZeltraAPI.so).
//
// This header is shared by the library and by the programs that load it. It
// depends on nothing but the C and C++ standard headers, so that a library
// built elsewhere can be dropped in without changing its users.
//
// Layout rules
//   Every interface is a class of pure virtual functions only; the order of
//   declaration is the vtable slot order and must never change. Slots 0-2 of
//   every interface are QueryInterface, AddRef and Release. No interface has a
//   virtual destructor (it would take slots); objects free themselves when
//   their count reaches zero.
//
// Results
//   Functions returning int32_t answer 0 on success and a negative value on
//   failure (see the kZeltra... constants). Value getters leave their
//   out-parameter untouched on failure; QueryInterface and the Next functions
//   set it to null. Asking for a value a card does not have is a failure
//   (kZeltraNotImplemented), as is a value of the wrong type or one the card
//   refuses (kZeltraInvalidArgument), never a crash. Every query on an
//   unplugged card answers kZeltraFail.
//
// Reference counting
//   Every pointer handed out through an out-parameter or returned by a factory
//   is a new reference: the receiver calls Release once when done. AddRef and
//   Release are thread-safe and return the new count (for diagnostics only).
//   Pointers passed *in* to a call are borrowed for the call; a receiver that
//   keeps one calls AddRef. Devices passed to ZeltraDeviceArrived and
//   ZeltraDeviceRemoved are borrowed: the callback AddRefs what it keeps. The
//   same card is passed as the same IZeltra pointer to both calls, so a host
//   may match removals by pointer. A card that was unplugged stays a valid
//   object while references to it exist, but every query on it then fails.
//
// Strings
//   Strings are UTF-8. A string returned through `const char**` is a fresh
//   malloc'd copy that the caller frees with free(). A string passed in is
//   only read during the call; the library copies what it keeps.
//
// Callbacks and threads
//   The library delivers device arrivals and removals and change notices
//   ('pref' configuration changed, 'stat' status changed) from a thread of its
//   own. A callback must not block for long and must be safe to call from a
//   thread that is not the host's GUI thread. Once UninstallDeviceNotifications
//   or Unsubscribe has returned, the callback is not called again, so the host
//   may destroy it; called from inside a callback, these return at once and
//   the call in progress finishes normally.
//
// Configuration
//   A change made through IZeltraConfiguration takes effect on the card at
//   once and is announced with 'pref' to every subscriber of that card.
//   StoreToPreferences makes the current configuration the card's stored
//   preferences, which persist across restarts. An IZeltraConfiguration that
//   changed something and is released without storing it reverts the card to
//   its stored preferences.

#include <cstddef>
#include <cstdint>
#include <cstring>

// 16-byte interface identifier, passed by value.
struct IID
{
    uint8_t bytes[16];

    bool operator==(const IID &other) const { return std::memcmp(bytes, other.bytes, sizeof bytes) == 0; }
    bool operator!=(const IID &other) const { return !(*this == other); }
};

// Result codes.
inline constexpr int32_t kZeltraOk = 0;
inline constexpr int32_t kZeltraNotImplemented = static_cast<int32_t>(0x80000001u);
inline constexpr int32_t kZeltraOutOfMemory = static_cast<int32_t>(0x80000002u);
inline constexpr int32_t kZeltraInvalidArgument = static_cast<int32_t>(0x80000003u);
inline constexpr int32_t kZeltraNoInterface = static_cast<int32_t>(0x80000004u);
inline constexpr int32_t kZeltraNullPointer = static_cast<int32_t>(0x80000005u);
inline constexpr int32_t kZeltraAborted = static_cast<int32_t>(0x80000007u);
inline constexpr int32_t kZeltraFail = static_cast<int32_t>(0x80000008u);
inline constexpr int32_t kZeltraAccessDenied = static_cast<int32_t>(0x80000009u);

inline constexpr bool zeltraSucceeded(int32_t result) { return result >= 0; }

// Four-character code: first character in the most significant byte, so
// zeltraCode("vicn") == 0x7669636e. Item ids, notification topics, display
// mode ids and field dominance values are all such codes.
constexpr uint32_t zeltraCode(const char (&text)[5])
{
    return (static_cast<uint32_t>(static_cast<unsigned char>(text[0])) << 24)
        | (static_cast<uint32_t>(static_cast<unsigned char>(text[1])) << 16)
        | (static_cast<uint32_t>(static_cast<unsigned char>(text[2])) << 8)
        | static_cast<uint32_t>(static_cast<unsigned char>(text[3]));
}

// Writes the four characters of a code and a terminating NUL into out.
inline void zeltraCodeText(uint32_t code, char (&out)[5])
{
    out[0] = static_cast<char>((code >> 24) & 0xff);
    out[1] = static_cast<char>((code >> 16) & 0xff);
    out[2] = static_cast<char>((code >> 8) & 0xff);
    out[3] = static_cast<char>(code & 0xff);
    out[4] = '\0';
}

inline constexpr uint32_t kZeltraTopicPreferences = zeltraCode("pref");
inline constexpr uint32_t kZeltraTopicStatus = zeltraCode("stat");
inline constexpr uint32_t kZeltraInformationVersion = zeltraCode("vers");

inline constexpr uint32_t kZeltraFieldLower = zeltraCode("lowr");
inline constexpr uint32_t kZeltraFieldUpper = zeltraCode("uppr");
inline constexpr uint32_t kZeltraFieldProgressive = zeltraCode("prog");
inline constexpr uint32_t kZeltraFieldUnknown = zeltraCode("unkn");

// Interface identifiers.
inline constexpr IID IID_IUnknown = {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IZeltraAttributes = {{0xab, 0xc1, 0x18, 0x43, 0xd9, 0x66, 0x44, 0xcb,
                                               0x96, 0xe2, 0xa1, 0xcb, 0x5d, 0x31, 0x35, 0xc4}};
inline constexpr IID IID_IZeltraNotification = {{0x0a, 0x1f, 0xb2, 0x07, 0xe2, 0x15, 0x44, 0x1b,
                                                 0x9b, 0x19, 0x6f, 0xa1, 0x57, 0x59, 0x46, 0xc5}};
inline constexpr IID IID_IZeltraConfiguration = {{0xef, 0x90, 0x38, 0x0b, 0x4a, 0xe5, 0x43, 0x46,
                                                  0x90, 0x77, 0xe2, 0x88, 0xe1, 0x49, 0xf1, 0x29}};
inline constexpr IID IID_IZeltraStatus = {{0x5f, 0x55, 0x82, 0x00, 0x40, 0x28, 0x49, 0xbc,
                                           0xbe, 0xac, 0xdb, 0x3f, 0xa4, 0xa9, 0x6e, 0x46}};
inline constexpr IID IID_IZeltraInput = {{0xaf, 0x22, 0x76, 0x2b, 0xdf, 0xac, 0x48, 0x46,
                                          0xaa, 0x79, 0xfa, 0x88, 0x83, 0x56, 0x09, 0x95}};
inline constexpr IID IID_IZeltraOutput = {{0xcc, 0x5c, 0x8a, 0x6e, 0x3f, 0x2f, 0x4b, 0x3a,
                                           0x87, 0xea, 0xfd, 0x78, 0xaf, 0x30, 0x05, 0x64}};
inline constexpr IID IID_IZeltra = {{0xf4, 0x39, 0x66, 0x18, 0x0d, 0xf7, 0x4a, 0x6b,
                                     0x84, 0x23, 0x33, 0xe0, 0x97, 0xd6, 0xc0, 0x09}};
inline constexpr IID IID_IZeltraDiscovery = {{0x0a, 0xb9, 0x94, 0x79, 0x01, 0xfb, 0x4c, 0x48,
                                              0xa1, 0xb6, 0xb5, 0xe3, 0x5f, 0x66, 0xfb, 0xdf}};
inline constexpr IID IID_IZeltraDeviceNotificationCallback = {{0xec, 0x50, 0x8c, 0xe3, 0x3f, 0xce, 0x42, 0xfe,
                                                               0x8c, 0xbe, 0x64, 0x38, 0xb3, 0x73, 0x1e, 0xcc}};
inline constexpr IID IID_IZeltraIterator = {{0xc6, 0x2e, 0x3b, 0x3b, 0x11, 0xee, 0x43, 0xb2,
                                             0x88, 0x33, 0x26, 0xd3, 0xe0, 0x65, 0xd4, 0x2b}};
inline constexpr IID IID_IZeltraAPIInformation = {{0xbf, 0x6c, 0x77, 0xf6, 0xca, 0x9b, 0x48, 0x32,
                                                   0x9b, 0xa9, 0x6b, 0xe6, 0xfe, 0x07, 0x0d, 0x33}};
inline constexpr IID IID_IZeltraNotificationCallback = {{0x1f, 0xf6, 0x94, 0x77, 0xda, 0x5b, 0x4f, 0x28,
                                                         0x91, 0x7c, 0x62, 0x98, 0x7d, 0x17, 0x78, 0xf2}};
inline constexpr IID IID_IZeltraDisplayModeIterator = {{0xfa, 0xf8, 0x16, 0x2f, 0xa0, 0x1c, 0x41, 0x15,
                                                        0xa5, 0x73, 0x28, 0x59, 0xae, 0x0b, 0x9a, 0x4b}};
inline constexpr IID IID_IZeltraDisplayMode = {{0x41, 0xbb, 0x30, 0x94, 0xc4, 0xdb, 0x41, 0xcc,
                                                0x8d, 0x0b, 0x3d, 0x89, 0x1e, 0xf5, 0x7d, 0x86}};
inline constexpr IID IID_IZeltraVideoConversion = {{0xc7, 0x2f, 0xf1, 0xad, 0xdd, 0x25, 0x4e, 0xdc,
                                                    0x81, 0xf3, 0x53, 0xde, 0x0c, 0xc5, 0xd4, 0x85}};
inline constexpr IID IID_IZeltraScreenPreviewHelper = {{0x28, 0x42, 0xfa, 0xe5, 0x17, 0x9f, 0x44, 0x43,
                                                        0x9a, 0xe7, 0xdc, 0xc8, 0x44, 0xc5, 0x48, 0x3f}};

class IUnknown
{
public:
    virtual int32_t QueryInterface(IID iid, void **out) = 0; // slot 0
    virtual uint32_t AddRef() = 0;                           // slot 1
    virtual uint32_t Release() = 0;                          // slot 2

protected:
    ~IUnknown() = default;
};

class IZeltraDisplayMode : public IUnknown
{
public:
    virtual int32_t GetName(const char **name) = 0;                             // slot 3
    virtual uint32_t GetModeId() = 0;                                           // slot 4
    virtual long GetWidth() = 0;                                                // slot 5
    virtual long GetHeight() = 0;                                               // slot 6
    virtual int32_t GetFrameRate(int64_t *frameDuration, int64_t *timeScale) = 0; // slot 7
    virtual uint32_t GetFieldDominance() = 0;                                   // slot 8

protected:
    ~IZeltraDisplayMode() = default;
};

// Next answers a non-zero result once every mode has been returned.
class IZeltraDisplayModeIterator : public IUnknown
{
public:
    virtual int32_t Next(IZeltraDisplayMode **mode) = 0; // slot 3

protected:
    ~IZeltraDisplayModeIterator() = default;
};

class IZeltraInput : public IUnknown
{
public:
    // Looks one capture mode up by its id; fails when the card has no such mode.
    virtual int32_t GetDisplayMode(uint32_t modeId, IZeltraDisplayMode **mode) = 0; // slot 3
    virtual int32_t GetDisplayModeIterator(IZeltraDisplayModeIterator **iterator) = 0; // slot 4

protected:
    ~IZeltraInput() = default;
};

class IZeltraOutput : public IUnknown
{
public:
    // Looks one playback mode up by its id; fails when the card has no such mode.
    virtual int32_t GetDisplayMode(uint32_t modeId, IZeltraDisplayMode **mode) = 0; // slot 3
    virtual int32_t GetDisplayModeIterator(IZeltraDisplayModeIterator **iterator) = 0; // slot 4

protected:
    ~IZeltraOutput() = default;
};

// Read-only facts of the hardware.
class IZeltraAttributes : public IUnknown
{
public:
    virtual int32_t GetFlag(uint32_t id, bool *value) = 0;           // slot 3
    virtual int32_t GetInt(uint32_t id, int64_t *value) = 0;         // slot 4
    virtual int32_t GetFloat(uint32_t id, double *value) = 0;        // slot 5
    virtual int32_t GetString(uint32_t id, const char **value) = 0;  // slot 6

protected:
    ~IZeltraAttributes() = default;
};

// Implemented by the host. Called on the library's thread.
class IZeltraNotificationCallback : public IUnknown
{
public:
    virtual int32_t Notify(uint32_t topic, uint64_t param1, uint64_t param2) = 0; // slot 3

protected:
    ~IZeltraNotificationCallback() = default;
};

// Subscribing takes a reference on the callback; unsubscribing releases it.
// Subscribing the same callback twice to one topic is answered with success and
// changes nothing.
class IZeltraNotification : public IUnknown
{
public:
    virtual int32_t Subscribe(uint32_t topic, IZeltraNotificationCallback *callback) = 0;   // slot 3
    virtual int32_t Unsubscribe(uint32_t topic, IZeltraNotificationCallback *callback) = 0; // slot 4

protected:
    ~IZeltraNotification() = default;
};

// Settings of a card, read and written.
class IZeltraConfiguration : public IUnknown
{
public:
    virtual int32_t SetFlag(uint32_t id, bool value) = 0;                // slot 3
    virtual int32_t GetFlag(uint32_t id, bool *value) = 0;               // slot 4
    virtual int32_t SetInt(uint32_t id, int64_t value) = 0;              // slot 5
    virtual int32_t GetInt(uint32_t id, int64_t *value) = 0;             // slot 6
    virtual int32_t SetFloat(uint32_t id, double value) = 0;             // slot 7
    virtual int32_t GetFloat(uint32_t id, double *value) = 0;            // slot 8
    virtual int32_t SetString(uint32_t id, const char *value) = 0;       // slot 9
    virtual int32_t GetString(uint32_t id, const char **value) = 0;      // slot 10
    virtual int32_t StoreToPreferences() = 0;                            // slot 11

protected:
    ~IZeltraConfiguration() = default;
};

// Live state of a card.
class IZeltraStatus : public IUnknown
{
public:
    virtual int32_t GetFlag(uint32_t id, bool *value) = 0;           // slot 3
    virtual int32_t GetInt(uint32_t id, int64_t *value) = 0;         // slot 4
    virtual int32_t GetFloat(uint32_t id, double *value) = 0;        // slot 5
    virtual int32_t GetString(uint32_t id, const char **value) = 0;  // slot 6
    // With a null buffer, *size receives the size of the value. Otherwise *size
    // is the buffer's capacity; the value is copied and *size set to its length.
    // A buffer that is too small fails with kZeltraInvalidArgument and *size
    // set to the size needed.
    virtual int32_t GetBytes(uint32_t id, void *buffer, uint32_t *size) = 0; // slot 7

protected:
    ~IZeltraStatus() = default;
};

// One card, or one channel of a multi-channel card. The other interfaces of
// the card are reached through QueryInterface.
class IZeltra : public IUnknown
{
public:
    virtual int32_t GetModelName(const char **name) = 0;   // slot 3
    virtual int32_t GetDisplayName(const char **name) = 0; // slot 4

protected:
    ~IZeltra() = default;
};

// Walks the cards present when it was created. Next answers a non-zero result
// at the end.
class IZeltraIterator : public IUnknown
{
public:
    virtual int32_t Next(IZeltra **device) = 0; // slot 3

protected:
    ~IZeltraIterator() = default;
};

class IZeltraAPIInformation : public IUnknown
{
public:
    virtual int32_t GetFlag(uint32_t id, bool *value) = 0;          // slot 3
    virtual int32_t GetInt(uint32_t id, int64_t *value) = 0;        // slot 4
    virtual int32_t GetFloat(uint32_t id, double *value) = 0;       // slot 5
    virtual int32_t GetString(uint32_t id, const char **value) = 0; // slot 6

protected:
    ~IZeltraAPIInformation() = default;
};

// Implemented by the host. Called on the library's thread.
class IZeltraDeviceNotificationCallback : public IUnknown
{
public:
    virtual int32_t ZeltraDeviceArrived(IZeltra *device) = 0; // slot 3
    virtual int32_t ZeltraDeviceRemoved(IZeltra *device) = 0; // slot 4

protected:
    ~IZeltraDeviceNotificationCallback() = default;
};

// Installing announces every card already present, then each arrival and
// removal, until uninstalled. One callback per discovery object: installing a
// second one fails with kZeltraAccessDenied.
class IZeltraDiscovery : public IUnknown
{
public:
    virtual int32_t InstallDeviceNotifications(IZeltraDeviceNotificationCallback *callback) = 0; // slot 3
    virtual int32_t UninstallDeviceNotifications() = 0;                                          // slot 4

protected:
    ~IZeltraDiscovery() = default;
};

// Frame conversion helper; no slots beyond IUnknown are used by the setup utility.
class IZeltraVideoConversion : public IUnknown
{
protected:
    ~IZeltraVideoConversion() = default;
};

// On-screen preview helper of the preview library; unused by the setup utility.
class IZeltraScreenPreviewHelper : public IUnknown
{
protected:
    ~IZeltraScreenPreviewHelper() = default;
};

// Factories exported by libZeltraAPI.so. Each returns a new reference, or null.
extern "C" {
IZeltraIterator *CreateZeltraIteratorInstance_0003();
IZeltraAPIInformation *CreateZeltraAPIInformationInstance_0001();
IZeltraVideoConversion *CreateVideoConversionInstance_0001();
IZeltraDiscovery *CreateZeltraDiscoveryInstance_0002();

// Exported by libZeltraPreviewAPI.so.
IZeltraScreenPreviewHelper *CreateOpenGLScreenPreviewHelper_0001();
}

// Factory pointer types for run-time binding with dlsym.
using CreateZeltraIteratorInstanceFunc = IZeltraIterator *(*)();
using CreateZeltraAPIInformationInstanceFunc = IZeltraAPIInformation *(*)();
using CreateVideoConversionInstanceFunc = IZeltraVideoConversion *(*)();
using CreateZeltraDiscoveryInstanceFunc = IZeltraDiscovery *(*)();
using CreateOpenGLScreenPreviewHelperFunc = IZeltraScreenPreviewHelper *(*)();
