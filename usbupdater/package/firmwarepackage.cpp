#include "firmwarepackage.h"

#include "resource.h"

#include <cstdio>
#include <iterator>

namespace MVNFirmwarePackage {

// Shared with the package builder. Changing it invalidates every package.
const uint8_t kPackageKey[kPackageKeySize] = {
    0x73, 0x09, 0xbf, 0xa9, 0x90, 0xab, 0x4c, 0x20, 0x3e, 0xc7,
    0x91, 0xe4, 0xae, 0x5d, 0xee, 0xb6, 0x8e, 0xd0, 0x68, 0x10,
};

const char* FirmwarePackageErrorString(ErrorCode code)
{
    switch (code) {
    case ERROR_OK:
        return "OK";
    case ERROR_NOT_INITIALISED:
        return "Not initialised";
    case ERROR_ALREADY_INITIALISED:
        return "Already initialised";
    case ERROR_FILE_ACCESS:
        return "File access failed";
    case ERROR_INVALID_BLOB_LENGTH:
        return "Invalid binary blob length";
    case ERROR_BLOB_CHECKSUM:
        return "Binary blob checksum failed";
    case ERROR_INVALID_DEVICE_HEADER:
        return "Invalid device header field";
    case ERROR_INVALID_RESOURCE_HEADER:
        return "Invalid resource header field";
    }
    return "Uknown"; // the historical spelling; tools compare against it
}

void FreeResourceList(ResourceList& list)
{
    for (Resource* r : list)
        delete r;
    list.clear();
}

Resource* GetResourceByIndex(const ResourceList& list, int index)
{
    if (index < 0 || size_t(index) >= list.size())
        return nullptr;
    auto it = list.begin();
    std::advance(it, index);
    return *it;
}

namespace {

const char* formatName(uint32_t format)
{
    switch (format) {
    case XSVF:
        return "XSVF";
    case XMEGA:
        return "XMEGA";
    case HASHED_BINARY:
        return "HASHED_BINARY";
    default:
        return "BINARY";
    }
}

const char* deviceIdTypeName(uint32_t type)
{
    switch (type) {
    case PCI:
        return "PCI";
    case USB:
        return "USB";
    default:
        return "REV";
    }
}

} // namespace

void DumpResourceListInfo(const ResourceList& list)
{
    if (list.empty()) {
        std::printf("Empty");
        return;
    }
    int n = 0;
    for (const Resource* r : list) {
        std::printf("[Resource %d]\n", ++n);
        std::printf("version = %u\n", r->version);
        std::printf("format = %s\n", formatName(r->format));
        std::printf("Hash = %08X\n", r->hash);
        std::printf("- device_id_type = %s\n", deviceIdTypeName(r->device_id_type));
        std::printf("- device_id = 0x%08X\n", r->device_id);
        std::printf("- resource_id = %d\n", int(r->resource_id));
        std::printf("- target_id = %d\n", int(r->target_id));
        std::printf("- target_sub_id = %d\n", r->target_sub_id);
        std::printf("- address_offset = %u\n", r->address_offset);
        std::printf("\n");
    }
}

} // namespace MVNFirmwarePackage
