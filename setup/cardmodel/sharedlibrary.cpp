#include "sharedlibrary.h"

#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

// The folder of the running program, with a trailing slash, or empty.
std::string programDirectory()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    path[n] = '\0';
    char* slash = std::strrchr(path, '/');
    if (!slash)
        return {};
    slash[1] = '\0';
    return path;
}

} // namespace

SharedLibrary::SharedLibrary(const char* name)
    : m_handle(dlopen(name, RTLD_NOW | RTLD_GLOBAL))
{
    // The standard search honours the program's own run path, but not when a
    // sanitizer runtime stands between the program and dlopen: then look
    // beside the program as well. The last dlerror() stays the one to report.
    if (!m_handle && name && !std::strchr(name, '/')) {
        const std::string dir = programDirectory();
        if (!dir.empty())
            m_handle = dlopen((dir + name).c_str(), RTLD_NOW | RTLD_GLOBAL);
    }
}

SharedLibrary::~SharedLibrary()
{
    if (m_handle)
        dlclose(m_handle);
}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept
{
    if (this != &other) {
        if (m_handle)
            dlclose(m_handle);
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

void* SharedLibrary::symbol(const char* name) const
{
    if (!m_handle)
        return nullptr;
    dlerror(); // clear a stale error so that a failure below reports its own
    return dlsym(m_handle, name);
}
