#include "sharedlibrary.h"

#include <dlfcn.h>

SharedLibrary::SharedLibrary(const char* name)
    : m_handle(dlopen(name, RTLD_NOW | RTLD_GLOBAL))
{
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
