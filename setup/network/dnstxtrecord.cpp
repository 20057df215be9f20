#include "dnstxtrecord.h"

#include <cstring>

int DNSTXTRecord::parse(const unsigned char* data)
{
    const int length = dataLength();
    m_text.reset(new char[static_cast<size_t>(length)]);
    if (length > 0)
        std::memcpy(m_text.get(), data, static_cast<size_t>(length));
    return length;
}

const char* DNSTXTRecord::getAdditionalText() const
{
    return m_text.get();
}

int DNSTXTRecord::getDataLength() const
{
    return m_text ? dataLength() : 0;
}
