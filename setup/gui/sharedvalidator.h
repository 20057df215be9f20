#pragma once

#include <QCoreApplication>
#include <QPointer>

#include <functional>
#include <type_traits>

// Holds one validator shared by many line edits. The validator is created on
// first use as a child of the application object, so it lives exactly as
// long as the application and is made again if a test creates a new one.
template <typename T>
class SharedValidator
{
public:
    SharedValidator() = default;
    explicit SharedValidator(std::function<T*()> make)
        : m_make(std::move(make))
    {
    }

    T* get()
    {
        if (!m_instance) {
            if constexpr (std::is_default_constructible_v<T>)
                m_instance = m_make ? m_make() : new T;
            else
                m_instance = m_make();
            m_instance->setParent(QCoreApplication::instance());
        }
        return m_instance.data();
    }

private:
    std::function<T*()> m_make;
    QPointer<T> m_instance;
};
