#include "sha2kernels.h"

namespace sha2kernels {

const uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

namespace {

inline uint32_t rotr(uint32_t x, unsigned n)
{
    return (x >> n) | (x << (32 - n));
}

inline uint32_t loadBig(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

} // namespace

inline uint32_t bigSigma0(uint32_t x)
{
    return rotr(x, 2) ^ rotr(x, 13) ^ rotr(x, 22);
}

inline uint32_t bigSigma1(uint32_t x)
{
    return rotr(x, 6) ^ rotr(x, 11) ^ rotr(x, 25);
}

inline uint32_t smallSigma0(uint32_t x)
{
    return rotr(x, 7) ^ rotr(x, 18) ^ (x >> 3);
}

inline uint32_t smallSigma1(uint32_t x)
{
    return rotr(x, 17) ^ rotr(x, 19) ^ (x >> 10);
}

// One round with the working variables renamed instead of shifted: only d
// and h change.
inline void round(uint32_t a, uint32_t b, uint32_t c, uint32_t& d, uint32_t e, uint32_t f, uint32_t g,
                  uint32_t& h, uint32_t kw)
{
    const uint32_t t1 = h + bigSigma1(e) + (g ^ (e & (f ^ g))) + kw;
    d += t1;
    h = t1 + bigSigma0(a) + ((a & b) | (c & (a | b)));
}

void compressPortable(uint32_t state[8], const uint8_t* blocks, size_t count)
{
    for (; count > 0; --count, blocks += 64) {
        // The schedule lives in a 16-word ring.
        uint32_t w[16];
        for (int t = 0; t < 16; ++t)
            w[t] = loadBig(blocks + 4 * t);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int t = 0; t < 64; t += 8) {
            if (t >= 16) {
                for (int i = t; i < t + 8; ++i)
                    w[i & 15] += smallSigma1(w[(i - 2) & 15]) + w[(i - 7) & 15] + smallSigma0(w[(i - 15) & 15]);
            }
            round(a, b, c, d, e, f, g, h, kRoundConstants[t + 0] + w[(t + 0) & 15]);
            round(h, a, b, c, d, e, f, g, kRoundConstants[t + 1] + w[(t + 1) & 15]);
            round(g, h, a, b, c, d, e, f, kRoundConstants[t + 2] + w[(t + 2) & 15]);
            round(f, g, h, a, b, c, d, e, kRoundConstants[t + 3] + w[(t + 3) & 15]);
            round(e, f, g, h, a, b, c, d, kRoundConstants[t + 4] + w[(t + 4) & 15]);
            round(d, e, f, g, h, a, b, c, kRoundConstants[t + 5] + w[(t + 5) & 15]);
            round(c, d, e, f, g, h, a, b, kRoundConstants[t + 6] + w[(t + 6) & 15]);
            round(b, c, d, e, f, g, h, a, kRoundConstants[t + 7] + w[(t + 7) & 15]);
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

} // namespace sha2kernels
