#include "sha2kernels.h"

#if defined(__x86_64__) || defined(__i386__)

#include <cpuid.h>
#include <immintrin.h>

namespace sha2kernels {

bool shaExtensionsAvailable()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    const bool ssse3 = ecx & (1u << 9);
    const bool sse41 = ecx & (1u << 19);
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return false;
    const bool sha = ebx & (1u << 29);
    return ssse3 && sse41 && sha;
}

// The SHA instructions keep the eight hash values as two registers, ABEF and
// CDGH; the message schedule runs four words per register, sixteen groups.
__attribute__((target("sha,sse4.1,ssse3"))) void compressShaExtensions(uint32_t state[8],
                                                                       const uint8_t* blocks,
                                                                       size_t count)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);

    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0]));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4]));
    __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abefSaved = abef;
        const __m128i cdghSaved = cdgh;
        __m128i m[4];

#pragma GCC unroll 16
        for (int j = 0; j < 16; ++j) {
            if (j < 4) {
                m[j] = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * j)), byteSwap);
            } else {
                // W[4j..4j+3] from the groups j-4, j-3, j-2 and j-1.
                __m128i t = _mm_sha256msg1_epu32(m[j & 3], m[(j + 1) & 3]);
                t = _mm_add_epi32(t, _mm_alignr_epi8(m[(j + 3) & 3], m[(j + 2) & 3], 4));
                m[j & 3] = _mm_sha256msg2_epu32(t, m[(j + 3) & 3]);
            }
            __m128i wk = _mm_add_epi32(
                m[j & 3], _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRoundConstants[4 * j])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);
            wk = _mm_shuffle_epi32(wk, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, wk);
        }

        abef = _mm_add_epi32(abef, abefSaved);
        cdgh = _mm_add_epi32(cdgh, cdghSaved);
    }

    __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), hgfe);
}

} // namespace sha2kernels

#else

namespace sha2kernels {

bool shaExtensionsAvailable()
{
    return false;
}

void compressShaExtensions(uint32_t state[8], const uint8_t* blocks, size_t count)
{
    compressPortable(state, blocks, count);
}

} // namespace sha2kernels

#endif
