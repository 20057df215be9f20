#include "blobbuffer.h"

#include <new>
#include <sys/mman.h>
#include <utility>

namespace {

constexpr size_t kHugePage = size_t(2) << 20;
constexpr size_t kMapThreshold = size_t(4) << 20;

} // namespace

BlobBuffer::BlobBuffer(BlobBuffer&& other) noexcept
{
    *this = std::move(other);
}

BlobBuffer& BlobBuffer::operator=(BlobBuffer&& other) noexcept
{
    if (this != &other) {
        release();
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_map, other.m_map);
        std::swap(m_mapSize, other.m_mapSize);
    }
    return *this;
}

void BlobBuffer::adviseHugePages(void* p, size_t size)
{
#ifdef MADV_HUGEPAGE
    if (size < kMapThreshold)
        return;
    const uintptr_t start = (uintptr_t(p) + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t end = (uintptr_t(p) + size) & ~(kHugePage - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE); // a hint; failure is harmless
#else
    (void)p;
    (void)size;
#endif
}

bool BlobBuffer::allocate(size_t size)
{
    release();
    if (size < kMapThreshold) {
        m_data = new (std::nothrow) uint8_t[size ? size : 1];
        m_size = m_data ? size : 0;
        return m_data != nullptr;
    }
    if (size > SIZE_MAX - kHugePage)
        return false;
    // One spare huge page so the array can start on a huge-page boundary.
    const size_t mapSize = size + kHugePage;
    void* map = mmap(nullptr, mapSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED)
        return false;
    m_map = map;
    m_mapSize = mapSize;
    m_data = reinterpret_cast<uint8_t*>((uintptr_t(map) + kHugePage - 1) & ~(kHugePage - 1));
    m_size = size;
    adviseHugePages(m_data, size);
    return true;
}

void BlobBuffer::release()
{
    if (m_map)
        munmap(m_map, m_mapSize);
    else
        delete[] m_data;
    m_data = nullptr;
    m_size = 0;
    m_map = nullptr;
    m_mapSize = 0;
}
