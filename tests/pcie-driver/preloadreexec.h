#pragma once

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

// The emulated card nodes are only visible to a process running under the
// umockdev preload library. A test executable started without it starts
// itself again with it, so that CTest and a plain shell run it the same way.
inline void reexecUnderPreload(char** argv)
{
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload && std::strstr(preload, "libumockdev-preload"))
        return;
    std::string value = "libumockdev-preload.so.0";
    if (preload && *preload)
        value = std::string(preload) + ":" + value;
    setenv("LD_PRELOAD", value.c_str(), 1);
    execv("/proc/self/exe", argv);
    // Could not re-execute: carry on; the tests that need nodes will fail.
}
