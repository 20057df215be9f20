#pragma once

#include <utility>

// Owns one dlopen handle; closes it on destruction. Move-only.
class SharedLibrary
{
public:
    SharedLibrary() = default;
    // Opens the library with RTLD_NOW | RTLD_GLOBAL through the standard
    // search, then from the program's own folder. On failure the object is
    // empty and dlerror() tells why.
    explicit SharedLibrary(const char* name);
    ~SharedLibrary();

    SharedLibrary(SharedLibrary&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool isLoaded() const { return m_handle != nullptr; }
    // Address of an exported symbol, or null (dlerror() then tells why).
    void* symbol(const char* name) const;

private:
    void* m_handle = nullptr;
};
