#pragma once

#include <cstdint>

// Walks a byte range in pages of a fixed size: the first step covers the
// rest of the start page, every later one a whole page or what remains.
// A page size of 0 yields no steps.
class PagedAccess
{
public:
    PagedAccess(uint64_t start, uint64_t length, uint64_t pageSize);

    PagedAccess& operator++();
    // True while bytes remain.
    explicit operator bool() const { return m_remaining > 0; }

    uint64_t pageNumber() const { return m_page; }
    uint64_t pageOffset() const { return m_offset; }
    uint64_t pageBytes() const { return m_bytes; }
    // Bytes covered by the steps before this one.
    uint64_t bytesDone() const { return m_done; }

private:
    uint64_t m_pageSize = 0;
    uint64_t m_remaining = 0;
    uint64_t m_page = 0;
    uint64_t m_offset = 0;
    uint64_t m_bytes = 0;
    uint64_t m_done = 0;
};
