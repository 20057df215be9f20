#pragma once

#include "firmwarepackage.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace MVNFirmwarePackage {

class PackageSource;

// The 24 fixed bytes at the start of a resource record, in file order and
// host byte order.
struct ResourceInfoHeader
{
    uint16_t magic = 0;
    uint16_t layout = 0; // not interpreted by the reader
    uint32_t version = 0;
    uint32_t record_length = 0;
    uint16_t header_length = 0;
    uint8_t compression = 0;
    uint8_t format_flags = 0;
    uint32_t data_length = 0;
    uint32_t hash = 0;
};

// One device header, in file order and host byte order.
struct DeviceInfoHeader
{
    uint16_t reserved = 0; // not interpreted by the reader
    uint16_t length = 0;
    uint32_t address_offset = 0;
    uint8_t target_id = 0;
    uint8_t resource_id = 0;
    uint16_t device_id_type = 0;
    uint32_t device_id = 0;
    int32_t target_sub_id = -1; // -1 when the header is shorter than 20 bytes
};

// Reader of one package file. Lists and extracts the images meant for one
// device. The full read passes the file once, digesting it and taking the
// device's images from the same bytes; a package that passed stays open
// until init() or destruction, and later queries read that file even if
// its path has gone. One thread at a time.
class FirmwareUnpacker
{
public:
    enum Mode : int {
        kFullRead = 0,   // digest checked, data copied out
        kHeaderRead = 1, // headers only, read through seeks, no digest check
    };

    FirmwareUnpacker() = default;
    FirmwareUnpacker(const FirmwareUnpacker&) = delete;
    FirmwareUnpacker& operator=(const FirmwareUnpacker&) = delete;

    // Sets the package path and drops any cached bytes. Always ERROR_OK.
    ErrorCode init(const std::string& path);

    // Full read: validates the package and returns the device's resources
    // with their data. The list is emptied first; on error it stays empty.
    ErrorCode queryResources(DeviceIdType type, uint32_t deviceId, ResourceList& out);
    // Header read: the device's resources without data and without a digest
    // check. The list is emptied first; on error it stays empty.
    ErrorCode queryHeaders(DeviceIdType type, uint32_t deviceId, ResourceList& out);

    // The scan behind both queries.
    ErrorCode doUnpack(DeviceIdType type, uint32_t deviceId, ResourceList& out, Mode mode);

    const std::string& path() const { return m_path; }
    uint64_t size() const { return m_size; }

    // True when the digest at the start of a package image in memory matches
    // the key and the bytes after it. length must be at least 32.
    static bool binaryDataChecksum(const uint8_t* image, uint64_t length);

    static uint32_t GetBigendianUint32(const uint8_t* p);
    static uint16_t GetBigendianUint16(const uint8_t* p);
    // Decode the fixed header bytes (24 for a resource header, at least
    // header.length bytes, up to 24, for a device header). No validation.
    static ResourceInfoHeader parseResourceHeader(const uint8_t* p);
    static DeviceInfoHeader parseDeviceHeader(const uint8_t* p);
    // ERROR_OK or ERROR_INVALID_RESOURCE_HEADER. Besides the field rules, an
    // uncompressed image must be exactly its data length long.
    static ErrorCode checkResourceHeader(const ResourceInfoHeader& header);
    static ResourceFormat formatFromFlags(uint8_t flags);
    // A new resource from a record's header, then the matching device's fields.
    static Resource* createResource(const ResourceInfoHeader& header);
    static void setResourceData(Resource* resource, const DeviceInfoHeader& header);

private:
    struct FileCloser
    {
        void operator()(FILE* f) const { std::fclose(f); }
    };
    using File = std::unique_ptr<FILE, FileCloser>;

    ErrorCode scan(PackageSource& source, DeviceIdType type, uint32_t deviceId, ResourceList& out, Mode mode);

    std::string m_path;
    File m_file; // the package that passed a full read, kept open
    uint64_t m_size = 0;
};

} // namespace MVNFirmwarePackage
