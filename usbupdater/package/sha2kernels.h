#pragma once

#include <cstddef>
#include <cstdint>

// Block functions behind Sha2: each compresses count consecutive 64-byte
// blocks into the eight hash values.
namespace sha2kernels {

extern const uint32_t kRoundConstants[64];

void compressPortable(uint32_t state[8], const uint8_t* blocks, size_t count);

// Needs the SHA extensions plus SSSE3 and SSE4.1; see available().
void compressShaExtensions(uint32_t state[8], const uint8_t* blocks, size_t count);
bool shaExtensionsAvailable();

} // namespace sha2kernels
