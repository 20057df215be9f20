#include "firmwareunpacker.h"

#include "resource.h"
#include "sha2.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace MVNFirmwarePackage {

uint32_t FirmwareUnpacker::GetBigendianUint32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

uint16_t FirmwareUnpacker::GetBigendianUint16(const uint8_t* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}

ResourceInfoHeader FirmwareUnpacker::parseResourceHeader(const uint8_t* p)
{
    ResourceInfoHeader h;
    h.magic = GetBigendianUint16(p + 0);
    h.layout = GetBigendianUint16(p + 2);
    h.version = GetBigendianUint32(p + 4);
    h.record_length = GetBigendianUint32(p + 8);
    h.header_length = GetBigendianUint16(p + 12);
    h.compression = p[14];
    h.format_flags = p[15];
    h.data_length = GetBigendianUint32(p + 16);
    h.hash = GetBigendianUint32(p + 20);
    return h;
}

DeviceInfoHeader FirmwareUnpacker::parseDeviceHeader(const uint8_t* p)
{
    DeviceInfoHeader h;
    h.reserved = GetBigendianUint16(p + 0);
    h.length = GetBigendianUint16(p + 2);
    h.address_offset = GetBigendianUint32(p + 4);
    h.target_id = p[8];
    h.resource_id = p[9];
    h.device_id_type = GetBigendianUint16(p + 10);
    h.device_id = GetBigendianUint32(p + 12);
    h.target_sub_id = h.length >= kSubIdDeviceHeaderLength ? int32_t(GetBigendianUint32(p + 16)) : -1;
    return h;
}

ErrorCode FirmwareUnpacker::checkResourceHeader(const ResourceInfoHeader& h)
{
    if (h.magic != kResourceMagic || h.header_length >= h.record_length || h.compression > 1
        || h.header_length < kMinResourceHeaderLength
        || h.data_length < h.record_length - h.header_length)
        return ERROR_INVALID_RESOURCE_HEADER;
    // Stored data is handed out as data_length bytes, so a stored image must
    // be exactly that long or a consumer would read past it.
    if (h.compression == 0 && h.data_length != h.record_length - h.header_length)
        return ERROR_INVALID_RESOURCE_HEADER;
    return ERROR_OK;
}

ResourceFormat FirmwareUnpacker::formatFromFlags(uint8_t flags)
{
    if (flags & 0x01)
        return XSVF;
    if (flags & 0x02)
        return XMEGA;
    if (flags & 0x04)
        return HASHED_BINARY;
    return BINARY;
}

bool FirmwareUnpacker::binaryDataChecksum(const uint8_t* image, uint64_t length)
{
    if (length < kDigestSize)
        return false;
    uint8_t digest[Sha2::kDigestSize];
    Sha2 sha;
    sha.getSha2(kPackageKey, kPackageKeySize, image + kDigestSize, size_t(length - kDigestSize), digest);
    return std::memcmp(digest, image, kDigestSize) == 0;
}

// A view of the package for the scan. Reads never reach past the size taken
// when the file was opened.
class PackageSource
{
public:
    virtual ~PackageSource() = default;
    // Copies count bytes at offset into dest; false when the file can't give them.
    virtual bool readAt(uint64_t offset, uint8_t* dest, uint32_t count) = 0;
};

namespace {

// Asks for transparent huge pages on the interior of a large buffer: filling
// hundreds of MiB 4 KiB page by page costs more than copying into them.
void adviseHugePages(void* p, size_t size)
{
#ifdef MADV_HUGEPAGE
    constexpr size_t kHugePage = size_t(2) << 20;
    if (size < 2 * kHugePage)
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

// The header read: each piece is read where it lies.
class SeekingSource : public PackageSource
{
public:
    SeekingSource(FILE* file, uint64_t size) : m_file(file), m_size(size) {}

    bool readAt(uint64_t offset, uint8_t* dest, uint32_t count) override
    {
        if (offset > m_size || count > m_size - offset)
            return false;
        if (fseeko(m_file, off_t(offset), SEEK_SET) != 0)
            return false;
        return std::fread(dest, 1, count, m_file) == count;
    }

private:
    FILE* const m_file;
    const uint64_t m_size;
};

// The full read: the file passes once, front to back, through one small
// buffer that stays in the processor's cache; every byte after the stored
// digest is digested as it passes, and the scan takes what it needs from the
// same bytes, so what it hands out is exactly what was checked. The scan's
// reads only move forward (a device header may be read a few bytes past the
// next one's start, so a short tail of the last chunk is kept).
class DigestingSource : public PackageSource
{
public:
    DigestingSource(FILE* file, uint64_t size) : m_file(file), m_size(size), m_buffer(kKeep + kChunk)
    {
        m_sha.init();
        m_sha.update(kPackageKey, kPackageKeySize);
    }

    bool readAt(uint64_t offset, uint8_t* dest, uint32_t count) override
    {
        if (offset > m_size || count > m_size - offset)
            return false;
        while (count > 0) {
            if (offset < m_start)
                return false; // behind the kept tail: the scan never asks for that
            if (offset < m_end) {
                const uint32_t n = uint32_t(std::min<uint64_t>(count, m_end - offset));
                std::memcpy(dest, m_buffer.data() + (offset - m_start), n);
                dest += n;
                offset += n;
                count -= n;
            } else if (!next()) {
                return false;
            }
        }
        return true;
    }

    // Reads and digests the rest of the file: ERROR_OK when the digest
    // matches, ERROR_FILE_ACCESS when the file could not be read to its end,
    // ERROR_BLOB_CHECKSUM when the digest differs.
    ErrorCode finish()
    {
        while (m_end < m_size) {
            if (!next())
                return ERROR_FILE_ACCESS;
        }
        if (m_failed)
            return ERROR_FILE_ACCESS;
        uint8_t digest[Sha2::kDigestSize];
        m_sha.finish(digest);
        m_sha.reset();
        return std::memcmp(digest, m_stored, kDigestSize) == 0 ? ERROR_OK : ERROR_BLOB_CHECKSUM;
    }

private:
    // A chunk small enough to stay in the cache between reading and digesting.
    static constexpr size_t kChunk = size_t(128) << 10;
    static constexpr size_t kKeep = 64;

    // Reads the next chunk behind the kept tail of the last one.
    bool next()
    {
        if (m_failed || m_end >= m_size)
            return false;
        const size_t keep = size_t(std::min<uint64_t>(kKeep, m_end - m_start));
        std::memmove(m_buffer.data(), m_buffer.data() + (m_end - m_start - keep), keep);
        m_start = m_end - keep;
        uint8_t* const chunk = m_buffer.data() + keep;
        const size_t n = size_t(std::min<uint64_t>(kChunk, m_size - m_end));
        if (std::fread(chunk, 1, n, m_file) != n) {
            m_failed = true;
            return false;
        }
        size_t skip = 0;
        if (m_end < kDigestSize) {
            skip = size_t(std::min<uint64_t>(kDigestSize - m_end, n));
            std::memcpy(m_stored + m_end, chunk, skip);
        }
        m_sha.update(chunk + skip, n - skip);
        m_end += n;
        return true;
    }

    FILE* const m_file;
    const uint64_t m_size;
    std::vector<uint8_t> m_buffer;
    uint64_t m_start = 0; // file offset of m_buffer[0]
    uint64_t m_end = 0;   // file offset read up to; the buffer holds [m_start, m_end)
    bool m_failed = false;
    uint8_t m_stored[kDigestSize] = {};
    Sha2 m_sha;
};

} // namespace

ErrorCode FirmwareUnpacker::init(const std::string& path)
{
    m_path = path;
    m_file.reset();
    m_size = 0;
    return ERROR_OK;
}

ErrorCode FirmwareUnpacker::queryResources(DeviceIdType type, uint32_t deviceId, ResourceList& out)
{
    return doUnpack(type, deviceId, out, kFullRead);
}

ErrorCode FirmwareUnpacker::queryHeaders(DeviceIdType type, uint32_t deviceId, ResourceList& out)
{
    return doUnpack(type, deviceId, out, kHeaderRead);
}

ErrorCode FirmwareUnpacker::doUnpack(DeviceIdType type, uint32_t deviceId, ResourceList& out, Mode mode)
{
    FreeResourceList(out);
    if (m_path.empty())
        return ERROR_NOT_INITIALISED;

    // A package that passed a full read stays open, so later queries read the
    // file that was checked even if its path has gone or names another file.
    const bool kept = m_file != nullptr;
    File file = std::move(m_file);
    if (!file) {
        // Non-blocking so that a FIFO or device node in the package's place
        // is refused instead of waiting for a writer.
        const int fd = open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return ERROR_FILE_ACCESS;
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
            close(fd);
            return ERROR_FILE_ACCESS;
        }
        file.reset(fdopen(fd, "rb"));
        if (!file) {
            close(fd);
            return ERROR_FILE_ACCESS;
        }
        m_size = uint64_t(st.st_size);
    }

    ErrorCode rc = ERROR_OK;
    if (mode == kFullRead) {
        // Checked before reading so a tiny file costs nothing.
        if (m_size < kMinPackageSize)
            return ERROR_INVALID_BLOB_LENGTH;
        if (std::fseek(file.get(), 0, SEEK_SET) != 0)
            return ERROR_FILE_ACCESS;
        // Sequential reading lets the kernel read ahead further.
        posix_fadvise(fileno(file.get()), 0, 0, POSIX_FADV_SEQUENTIAL);
        DigestingSource source(file.get(), m_size);
        rc = scan(source, type, deviceId, out, mode);
        // A package that can't be read to its end or fails its digest is
        // refused as such, whatever the scan found in it.
        const ErrorCode check = source.finish();
        if (check != ERROR_OK)
            rc = check;
        if (rc == ERROR_OK)
            m_file = std::move(file);
    } else {
        SeekingSource source(file.get(), m_size);
        rc = scan(source, type, deviceId, out, mode);
        if (kept)
            m_file = std::move(file);
    }
    if (rc != ERROR_OK)
        FreeResourceList(out);
    return rc;
}

ErrorCode FirmwareUnpacker::scan(PackageSource& source, DeviceIdType type, uint32_t deviceId,
                                 ResourceList& out, Mode mode)
{
    const uint64_t size = m_size;
    uint64_t r = kDigestSize;
    while (r < size) {
        if (size - r < kResourceFixedHeaderSize)
            return ERROR_INVALID_RESOURCE_HEADER;
        uint8_t raw[kResourceFixedHeaderSize];
        if (!source.readAt(r, raw, sizeof raw))
            return ERROR_FILE_ACCESS;
        const ResourceInfoHeader header = parseResourceHeader(raw);
        if (checkResourceHeader(header) != ERROR_OK)
            return ERROR_INVALID_RESOURCE_HEADER;
        if (header.record_length > size - r)
            return ERROR_INVALID_RESOURCE_HEADER;

        // Device headers fill the header area exactly; one that runs into
        // the data would make the walk read image bytes as headers.
        const uint64_t headerEnd = r + header.header_length;
        uint64_t d = r + kResourceFixedHeaderSize;
        while (d < headerEnd) {
            if (headerEnd - d < kMinDeviceHeaderLength)
                return ERROR_INVALID_DEVICE_HEADER;
            uint8_t dev[kMaxDeviceHeaderLength];
            const uint32_t avail = uint32_t(std::min<uint64_t>(kMaxDeviceHeaderLength, headerEnd - d));
            if (!source.readAt(d, dev, avail))
                return ERROR_FILE_ACCESS;
            const uint16_t length = GetBigendianUint16(dev + 2);
            if (length < kMinDeviceHeaderLength || length > kMaxDeviceHeaderLength || length > avail)
                return ERROR_INVALID_DEVICE_HEADER;
            const DeviceInfoHeader device = parseDeviceHeader(dev);
            if (device.device_id_type > REV)
                return ERROR_INVALID_DEVICE_HEADER;

            if (device.device_id == deviceId && device.device_id_type == type) {
                std::unique_ptr<Resource> resource(createResource(header));
                setResourceData(resource.get(), device);
                if (mode == kFullRead) {
                    resource->data = static_cast<uint8_t*>(std::malloc(resource->stored_length));
                    if (!resource->data)
                        return ERROR_INVALID_DEVICE_HEADER;
                    adviseHugePages(resource->data, resource->stored_length);
                    if (!source.readAt(headerEnd, resource->data, resource->stored_length))
                        return ERROR_FILE_ACCESS;
                }
                out.push_back(resource.get());
                resource.release();
                break; // one resource per record, however many headers name the device
            }
            d += length;
        }
        r += header.record_length;
    }
    return ERROR_OK;
}

Resource* FirmwareUnpacker::createResource(const ResourceInfoHeader& header)
{
    auto* r = new Resource;
    r->version = header.version;
    r->hash = header.hash;
    r->format = formatFromFlags(header.format_flags);
    r->compressed = header.compression;
    r->stored_length = header.record_length - header.header_length;
    r->data_length = header.data_length;
    return r;
}

void FirmwareUnpacker::setResourceData(Resource* resource, const DeviceInfoHeader& header)
{
    resource->device_id_type = DeviceIdType(header.device_id_type);
    resource->device_id = header.device_id;
    resource->target_id = header.target_id;
    resource->resource_id = header.resource_id;
    resource->target_sub_id = header.target_sub_id;
    resource->address_offset = header.address_offset;
}

} // namespace MVNFirmwarePackage
