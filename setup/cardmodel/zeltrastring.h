#pragma once

#include <cstdlib>
#include <string>

#include <QString>

// Takes over a UTF-8 string returned by the driver library, which the
// receiver frees with free(). Null gives an empty string.
inline QString takeZeltraString(const char* text)
{
    if (!text)
        return {};
    QString result = QString::fromUtf8(text);
    std::free(const_cast<char*>(text));
    return result;
}

// Reads a string through a library getter of the form
// int32_t get(const char** out); empty on failure.
template <typename Getter>
QString readZeltraString(Getter&& get)
{
    const char* text = nullptr;
    const int32_t result = get(&text);
    QString value = takeZeltraString(text);
    return result < 0 ? QString() : value;
}
