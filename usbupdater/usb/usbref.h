#pragma once

#include <utility>

namespace MVN {
namespace USB {

// Holds one reference of a reference-counted USB object (AddRef/Release).
template <typename T>
class UsbRef
{
public:
    UsbRef() = default;
    // Takes over a reference the caller already owns.
    static UsbRef adopt(T* object) { UsbRef r; r.m_object = object; return r; }
    // Takes a new reference.
    static UsbRef retain(T* object) { if (object) object->AddRef(); return adopt(object); }

    UsbRef(const UsbRef& other) : m_object(other.m_object) { if (m_object) m_object->AddRef(); }
    UsbRef(UsbRef&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    UsbRef& operator=(UsbRef other) noexcept { std::swap(m_object, other.m_object); return *this; }
    ~UsbRef() { reset(); }

    void reset() { if (T* o = std::exchange(m_object, nullptr)) o->Release(); }
    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // For out parameters: drops the current object and hands out the slot.
    T** out() { reset(); return &m_object; }
    T* release() { return std::exchange(m_object, nullptr); }

private:
    T* m_object = nullptr;
};

} // namespace USB
} // namespace MVN
