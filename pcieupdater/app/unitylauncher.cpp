#include "unitylauncher.h"

#include <dlfcn.h>
#include <mutex>

namespace {

using GetForDesktopId = void* (*)(const char*);
using SetProgress = void (*)(void*, double);
using SetBool = void (*)(void*, int);

struct LauncherLibrary
{
    void* handle = nullptr;
    GetForDesktopId getForDesktopId = nullptr;
    SetProgress setProgress = nullptr;
    SetBool setProgressVisible = nullptr;
    SetBool setUrgent = nullptr;
};

// Loaded on first use and kept for the life of the process.
const LauncherLibrary& library()
{
    static LauncherLibrary lib;
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char* name : {"libunity.so.4", "libunity.so.6", "libunity.so.9"}) {
            lib.handle = dlopen(name, RTLD_LAZY);
            if (lib.handle)
                break;
        }
        if (!lib.handle)
            return;
        lib.getForDesktopId =
            reinterpret_cast<GetForDesktopId>(dlsym(lib.handle, "unity_launcher_entry_get_for_desktop_id"));
        lib.setProgress = reinterpret_cast<SetProgress>(dlsym(lib.handle, "unity_launcher_entry_set_progress"));
        lib.setProgressVisible =
            reinterpret_cast<SetBool>(dlsym(lib.handle, "unity_launcher_entry_set_progress_visible"));
        lib.setUrgent = reinterpret_cast<SetBool>(dlsym(lib.handle, "unity_launcher_entry_set_urgent"));
    });
    return lib;
}

} // namespace

bool UnityLauncher::available()
{
    return library().handle != nullptr;
}

void* UnityLauncher::entryForDesktop()
{
    const LauncherLibrary& lib = library();
    return lib.getForDesktopId ? lib.getForDesktopId("MorvaneFirmwareUpdaterGui.desktop") : nullptr;
}

void UnityLauncher::setProgress(void* entry, double fraction)
{
    if (entry && library().setProgress)
        library().setProgress(entry, fraction);
}

void UnityLauncher::setProgressVisible(void* entry, bool visible)
{
    if (entry && library().setProgressVisible)
        library().setProgressVisible(entry, visible ? 1 : 0);
}

void UnityLauncher::setUrgent(void* entry, bool urgent)
{
    if (entry && library().setUrgent)
        library().setUrgent(entry, urgent ? 1 : 0);
}
