#include "pagedaccess.h"

#include <algorithm>

PagedAccess::PagedAccess(uint64_t start, uint64_t length, uint64_t pageSize)
    : m_pageSize(pageSize)
{
    if (pageSize == 0)
        return;
    m_remaining = length;
    m_page = start / pageSize;
    m_offset = start % pageSize;
    m_bytes = std::min(length, pageSize - m_offset);
}

PagedAccess& PagedAccess::operator++()
{
    m_remaining -= std::min(m_remaining, m_bytes);
    m_done += m_bytes;
    ++m_page;
    m_offset = 0;
    m_bytes = std::min(m_remaining, m_pageSize);
    return *this;
}
