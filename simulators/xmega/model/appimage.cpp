#include "appimage.h"

#include <zlib.h>

namespace xmegasim {
namespace AppImage {

namespace {

constexpr uint8_t kMagic[4] = {'O', 'X', 'F', 'W'};

void putLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

uint32_t getLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint32_t bodyCrc(const uint8_t* body, size_t length)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes lengths as uInt; feed in slices to stay within it.
    while (length > 0) {
        const uInt slice = length > 0x40000000 ? 0x40000000 : uInt(length);
        crc = crc32(crc, body, slice);
        body += slice;
        length -= slice;
    }
    return uint32_t(crc);
}

} // namespace

std::vector<uint8_t> build(uint32_t version, size_t size, uint8_t seed)
{
    if (size < kHeaderSize)
        size = kHeaderSize;
    std::vector<uint8_t> image(size);
    for (size_t i = kHeaderSize; i < size; ++i)
        image[i] = uint8_t((i * 31u + seed * 7u + (i >> 8)) & 0xFF);
    for (int i = 0; i < 4; ++i)
        image[i] = kMagic[i];
    putLe32(&image[4], version);
    putLe32(&image[8], uint32_t(size));
    putLe32(&image[12], bodyCrc(image.data() + kHeaderSize, size - kHeaderSize));
    return image;
}

bool parse(const uint8_t* flash, size_t available, uint32_t* version)
{
    if (!flash || available < kHeaderSize)
        return false;
    for (int i = 0; i < 4; ++i)
        if (flash[i] != kMagic[i])
            return false;
    const uint32_t length = getLe32(flash + 8);
    if (length < kHeaderSize || length > available)
        return false;
    if (bodyCrc(flash + kHeaderSize, length - kHeaderSize) != getLe32(flash + 12))
        return false;
    if (version)
        *version = getLe32(flash + 4);
    return true;
}

} // namespace AppImage
} // namespace xmegasim
