#include "sha2.h"

#include "sha2kernels.h"

#include <algorithm>
#include <cstring>

namespace {

const uint32_t kInitialHash[8] = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

// FIPS 180-4 example messages "abc" and the 448-bit one, with their digests.
struct KnownAnswer
{
    const char* message;
    uint8_t digest[32];
};

const KnownAnswer kKnownAnswers[] = {
    {"abc",
     {0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea, 0x41, 0x41, 0x40, 0xde, 0x5d, 0xae, 0x22, 0x23,
      0xb0, 0x03, 0x61, 0xa3, 0x96, 0x17, 0x7a, 0x9c, 0xb4, 0x10, 0xff, 0x61, 0xf2, 0x00, 0x15, 0xad}},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     {0x24, 0x8d, 0x6a, 0x61, 0xd2, 0x06, 0x38, 0xb8, 0xe5, 0xc0, 0x26, 0x93, 0x0c, 0x3e, 0x60, 0x39,
      0xa3, 0x3c, 0xe4, 0x59, 0x64, 0xff, 0x21, 0x67, 0xf6, 0xec, 0xed, 0xd4, 0x19, 0xdb, 0x06, 0xc1}},
};

// memset that the optimiser may not drop for a dying object.
void wipe(void* p, size_t n)
{
    volatile uint8_t* v = static_cast<volatile uint8_t*>(p);
    while (n--)
        *v++ = 0;
}

} // namespace

Sha2::Sha2()
    : Sha2(Engine::Auto)
{
}

Sha2::Sha2(Engine engine)
{
    const bool fast = engine != Engine::Portable && shaExtensionsAvailable();
    m_engine = fast ? Engine::ShaExtensions : Engine::Portable;
}

Sha2::~Sha2()
{
    reset();
}

bool Sha2::knownAnswersPass(Engine engine)
{
    for (const KnownAnswer& k : kKnownAnswers) {
        Sha2 sha(Engine::Portable);
        sha.m_engine = engine; // as asked, even before the engine is trusted
        uint8_t out[kDigestSize];
        sha.getSha2(reinterpret_cast<const uint8_t*>(k.message), std::strlen(k.message), out);
        if (std::memcmp(out, k.digest, sizeof out) != 0)
            return false;
    }
    return true;
}

// Decided once: cpuid does not change while the process runs. The
// instructions are trusted only after they reproduce the known answers, so a
// faulty emulation of them falls back to the portable code.
bool Sha2::shaExtensionsAvailable()
{
    static const bool available =
        sha2kernels::shaExtensionsAvailable() && knownAnswersPass(Engine::ShaExtensions);
    return available;
}

bool Sha2::selfTest()
{
    return knownAnswersPass(Engine::Portable)
           && (!shaExtensionsAvailable() || knownAnswersPass(Engine::ShaExtensions));
}

void Sha2::reset()
{
    wipe(m_state, sizeof m_state);
    wipe(m_buffer, sizeof m_buffer);
    m_length = 0;
    m_buffered = 0;
}

void Sha2::init()
{
    std::memcpy(m_state, kInitialHash, sizeof m_state);
    m_length = 0;
    m_buffered = 0;
}

void Sha2::compress(const uint8_t* blocks, size_t count)
{
    if (m_engine == Engine::ShaExtensions)
        sha2kernels::compressShaExtensions(m_state, blocks, count);
    else
        sha2kernels::compressPortable(m_state, blocks, count);
}

void Sha2::process(const uint8_t* block)
{
    compress(block, 1);
}

void Sha2::update(const uint8_t* data, size_t length)
{
    if (length == 0)
        return;
    m_length += length;
    if (m_buffered > 0) {
        const size_t take = std::min(length, kBlockSize - m_buffered);
        std::memcpy(m_buffer + m_buffered, data, take);
        m_buffered += take;
        data += take;
        length -= take;
        if (m_buffered < kBlockSize)
            return;
        compress(m_buffer, 1);
        m_buffered = 0;
    }
    const size_t blocks = length / kBlockSize;
    if (blocks > 0) {
        compress(data, blocks);
        data += blocks * kBlockSize;
        length -= blocks * kBlockSize;
    }
    if (length > 0) {
        std::memcpy(m_buffer, data, length);
        m_buffered = length;
    }
}

void Sha2::finish(uint8_t* digest)
{
    const uint64_t bits = m_length * 8;
    m_buffer[m_buffered++] = 0x80;
    if (m_buffered > kBlockSize - 8) {
        std::memset(m_buffer + m_buffered, 0, kBlockSize - m_buffered);
        compress(m_buffer, 1);
        m_buffered = 0;
    }
    std::memset(m_buffer + m_buffered, 0, kBlockSize - 8 - m_buffered);
    for (int i = 0; i < 8; ++i)
        m_buffer[kBlockSize - 1 - i] = uint8_t(bits >> (8 * i));
    compress(m_buffer, 1);
    m_buffered = 0;
    for (int i = 0; i < 8; ++i) {
        digest[4 * i + 0] = uint8_t(m_state[i] >> 24);
        digest[4 * i + 1] = uint8_t(m_state[i] >> 16);
        digest[4 * i + 2] = uint8_t(m_state[i] >> 8);
        digest[4 * i + 3] = uint8_t(m_state[i]);
    }
}

void Sha2::getSha2(const uint8_t* data, size_t length, uint8_t* digest)
{
    getSha2(nullptr, 0, data, length, digest);
}

void Sha2::getSha2(const uint8_t* prefix, size_t prefixLength, const uint8_t* data, size_t length,
                   uint8_t* digest)
{
    init();
    update(prefix, prefixLength);
    update(data, length);
    finish(digest);
    reset();
}
