#include "firmwareunpacker.h"

#include "resource.h"
#include "sha2.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

ErrorCode FirmwareUnpacker::init(const std::string& path)
{
    m_path = path;
    m_blob.release();
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

    File file;
    if (!m_blob) {
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
        if (mode == kFullRead) {
            const ErrorCode rc = readAndValidateBlob(file.get());
            if (rc != ERROR_OK)
                return rc;
        }
    }

    const ErrorCode rc = scan(file.get(), type, deviceId, out, mode);
    if (rc != ERROR_OK)
        FreeResourceList(out);
    return rc;
}

ErrorCode FirmwareUnpacker::readAndValidateBlob(FILE* file)
{
    m_blob.release();
    // Checked before allocating so a tiny or absurd file costs nothing.
    if (m_size < kMinPackageSize)
        return ERROR_INVALID_BLOB_LENGTH;
    if (m_size > SIZE_MAX || !m_blob.allocate(size_t(m_size)))
        return ERROR_FILE_ACCESS;
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        m_blob.release();
        return ERROR_FILE_ACCESS;
    }

    // Hashing each piece right after reading it finds it still in the
    // processor's cache; a second pass over hundreds of MiB would not.
    constexpr size_t kChunk = size_t(256) << 10;
    uint8_t* const blob = m_blob.data();
    const size_t size = size_t(m_size);
    Sha2 sha;
    sha.init();
    sha.update(kPackageKey, kPackageKeySize);
    for (size_t done = 0; done < size;) {
        const size_t n = std::min(kChunk, size - done);
        if (std::fread(blob + done, 1, n, file) != n) {
            sha.reset();
            m_blob.release();
            return ERROR_FILE_ACCESS;
        }
        if (done + n > kDigestSize) {
            const size_t from = std::max<size_t>(done, kDigestSize);
            sha.update(blob + from, done + n - from);
        }
        done += n;
    }
    uint8_t digest[Sha2::kDigestSize];
    sha.finish(digest);
    sha.reset();
    if (std::memcmp(digest, blob, kDigestSize) != 0) {
        m_blob.release();
        return ERROR_BLOB_CHECKSUM;
    }
    return ERROR_OK;
}

bool FirmwareUnpacker::readAt(FILE* file, uint64_t offset, uint8_t* dest, uint32_t count) const
{
    if (offset > m_size || count > m_size - offset)
        return false;
    if (m_blob) {
        std::memcpy(dest, m_blob.data() + offset, count);
        return true;
    }
    if (!file || fseeko(file, off_t(offset), SEEK_SET) != 0)
        return false;
    return std::fread(dest, 1, count, file) == count;
}

ErrorCode FirmwareUnpacker::scan(FILE* file, DeviceIdType type, uint32_t deviceId, ResourceList& out,
                                 Mode mode)
{
    const uint64_t size = m_size;
    uint64_t r = kDigestSize;
    while (r < size) {
        if (size - r < kResourceFixedHeaderSize)
            return ERROR_INVALID_RESOURCE_HEADER;
        uint8_t raw[kResourceFixedHeaderSize];
        if (!readAt(file, r, raw, sizeof raw))
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
            if (!readAt(file, d, dev, avail))
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
                    BlobBuffer::adviseHugePages(resource->data, resource->stored_length);
                    if (!readAt(file, headerEnd, resource->data, resource->stored_length))
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
