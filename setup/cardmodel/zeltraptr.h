#pragma once

#include <utility>

#include "zeltraapi.h"

// Owns one reference to a reference-counted driver library interface.
// Copying takes a further reference, destruction and reset() release it.
template <typename T>
class ZeltraPtr
{
public:
    ZeltraPtr() = default;

    // Takes over a reference the caller already owns (a factory result or an
    // out-parameter of the library).
    static ZeltraPtr adopt(T* object)
    {
        ZeltraPtr ptr;
        ptr.m_object = object;
        return ptr;
    }

    // Takes a reference of its own on a borrowed pointer.
    static ZeltraPtr retain(T* object)
    {
        if (object)
            object->AddRef();
        return adopt(object);
    }

    ZeltraPtr(const ZeltraPtr& other) : m_object(other.m_object)
    {
        if (m_object)
            m_object->AddRef();
    }

    ZeltraPtr(ZeltraPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}

    ZeltraPtr& operator=(ZeltraPtr other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }

    ~ZeltraPtr() { reset(); }

    void reset()
    {
        if (T* object = std::exchange(m_object, nullptr))
            object->Release();
    }

    // Hands the reference back to the caller, who must release it.
    T* detach() { return std::exchange(m_object, nullptr); }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // Out-parameter for library calls; releases what was held first.
    T** out()
    {
        reset();
        return &m_object;
    }

    // Queries another interface of the same object; null when the object has
    // none or the query fails.
    template <typename U>
    ZeltraPtr<U> query(const IID& iid) const
    {
        void* result = nullptr;
        if (!m_object || m_object->QueryInterface(iid, &result) < 0 || !result)
            return {};
        return ZeltraPtr<U>::adopt(static_cast<U*>(result));
    }

private:
    T* m_object = nullptr;
};
