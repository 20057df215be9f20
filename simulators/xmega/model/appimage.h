#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace xmegasim {

// The application images the emulated bootloader accepts as valid: a
// 16-byte header (magic "OXFW", version, total length, CRC-32 of the bytes
// after the header, all little-endian) followed by the program. The unit
// reports the version of a valid image through its checksum status.
namespace AppImage {

constexpr size_t kHeaderSize = 16;

// An image of size bytes (at least the header) carrying version; the body
// is a pattern derived from seed.
std::vector<uint8_t> build(uint32_t version, size_t size, uint8_t seed = 0);

// Checks the image at the start of flash (available bytes); true and the
// version when it is complete and its CRC matches.
bool parse(const uint8_t* flash, size_t available, uint32_t* version);

} // namespace AppImage
} // namespace xmegasim
