#pragma once

// Optional desktop-launcher progress. The launcher library is looked for
// once per process; without it every call here does nothing.
class UnityLauncher
{
public:
    // The launcher entry of this program's desktop file, or null.
    static void* entryForDesktop();
    static void setProgress(void* entry, double fraction);
    static void setProgressVisible(void* entry, bool visible);
    static void setUrgent(void* entry, bool urgent);
    // Whether a launcher library was found (for tests and diagnostics).
    static bool available();
};
