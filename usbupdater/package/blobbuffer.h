#pragma once

#include <cstddef>
#include <cstdint>

// Owned byte array for a whole package in memory. Large arrays come straight
// from the kernel with transparent huge pages asked for: filling hundreds of
// MiB 4 KiB page by page costs more than hashing them.
class BlobBuffer
{
public:
    BlobBuffer() = default;
    ~BlobBuffer() { release(); }
    BlobBuffer(const BlobBuffer&) = delete;
    BlobBuffer& operator=(const BlobBuffer&) = delete;
    BlobBuffer(BlobBuffer&& other) noexcept;
    BlobBuffer& operator=(BlobBuffer&& other) noexcept;

    // Drops any previous array; false when the memory can't be had.
    bool allocate(size_t size);
    void release();

    uint8_t* data() const { return m_data; }
    size_t size() const { return m_size; }
    explicit operator bool() const { return m_data != nullptr; }

    // Asks for huge pages on the interior of any large buffer (malloc'd too).
    static void adviseHugePages(void* p, size_t size);

private:
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
    void* m_map = nullptr; // non-null when the array is a private mapping
    size_t m_mapSize = 0;
};
