#pragma once

#include <cstddef>
#include <cstdint>

// SHA-256 (FIPS 180-4). Uses the processor's SHA instructions when it has
// them, decided once at run time; the portable code is the fallback. One
// object per thread.
class Sha2
{
public:
    static constexpr size_t kDigestSize = 32;
    static constexpr size_t kBlockSize = 64;

    enum class Engine {
        Auto,          // the fastest available
        Portable,      // plain C++
        ShaExtensions, // x86 SHA extensions; falls back to Portable when absent
    };

    Sha2();
    explicit Sha2(Engine engine);
    ~Sha2();

    // Zeroes the whole state (hash values, counters, buffered bytes).
    void reset();
    // Loads the initial hash values; call before update().
    void init();
    // Compresses one 64-byte block into the hash values.
    void process(const uint8_t* block);
    void update(const uint8_t* data, size_t length);
    // Pads, appends the bit count and writes the 32-byte digest.
    void finish(uint8_t* digest);

    // One-shot digests; the state is wiped afterwards.
    void getSha2(const uint8_t* data, size_t length, uint8_t* digest);
    void getSha2(const uint8_t* prefix, size_t prefixLength, const uint8_t* data, size_t length,
                 uint8_t* digest);

    // The engine this object really uses.
    Engine engine() const { return m_engine; }
    // True when the processor has the SHA extensions and they give the
    // published answers.
    static bool shaExtensionsAvailable();
    // Runs the published test messages through every engine in use.
    static bool selfTest();

private:
    static bool knownAnswersPass(Engine engine);
    void compress(const uint8_t* blocks, size_t count);

    Engine m_engine = Engine::Portable;
    uint32_t m_state[8] = {};
    uint64_t m_length = 0; // bytes fed so far
    uint8_t m_buffer[kBlockSize] = {};
    size_t m_buffered = 0;
};
