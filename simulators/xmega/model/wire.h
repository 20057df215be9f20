#pragma once

#include "usbunit.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

// Little-endian fields and transfer answers shared by the unit's request
// handlers.
namespace xmegasim {
namespace wire {

inline uint16_t le16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void put16(std::vector<uint8_t>& v, uint16_t x)
{
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}

inline void put32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(uint8_t(x >> (8 * i)));
}

inline void put64(std::vector<uint8_t>& v, uint64_t x)
{
    for (int i = 0; i < 8; ++i)
        v.push_back(uint8_t(x >> (8 * i)));
}

inline TransferResult ok(uint32_t length = 0)
{
    return {TransferStatus::Ok, length};
}

inline TransferResult stall()
{
    return {TransferStatus::Stall, 0};
}

// Copies an answer into an IN request's buffer, as much as the host asked for.
inline TransferResult answer(const std::vector<uint8_t>& bytes, uint8_t* data, uint16_t length)
{
    const uint32_t n = std::min<uint32_t>(length, uint32_t(bytes.size()));
    if (n && !data)
        return stall();
    if (n)
        std::memcpy(data, bytes.data(), n);
    return ok(n);
}

// Programming flash cells can only clear bits.
inline void programCells(uint8_t* cells, const uint8_t* data, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        cells[i] &= data[i];
}

} // namespace wire
} // namespace xmegasim
