// Package scan under libFuzzer. Input: one byte of device id type, four bytes
// of device id (big-endian), then the package image. The image is read in
// both modes; for the full read the digest is recomputed over the mutated
// bytes first, so the scan behind it is reached rather than stopping at the
// checksum. Every resource returned is inflated.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "firmwarepackage.h"
#include "firmwareunpacker.h"
#include "resource.h"
#include "sha2.h"

using namespace MVNFirmwarePackage;

namespace {

const std::string& packagePath()
{
    static const std::string path = [] {
        char name[] = "/tmp/ondavia-fuzz-package-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0)
            std::abort();
        close(fd);
        return std::string(name);
    }();
    return path;
}

bool writePackage(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(packagePath().c_str(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

void useResources(ResourceList& list)
{
    for (Resource* resource : list) {
        const uint8_t* bytes = resource->getResourceData();
        const uint32_t length = resource->getResourceDataLength();
        volatile uint8_t sum = 0;
        for (uint32_t i = 0; bytes && i < length; ++i)
            sum = sum + bytes[i];
    }
    FreeResourceList(list);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    const auto type = DeviceIdType(data[0] % 3);
    const uint32_t deviceId = uint32_t(data[1]) << 24 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 8 | data[4];
    std::vector<uint8_t> image(data + 5, data + size);

    ResourceList list;
    if (!writePackage(image.data(), image.size()))
        return 0;
    {
        FirmwareUnpacker unpacker;
        unpacker.init(packagePath());
        unpacker.queryHeaders(type, deviceId, list);
        useResources(list);
    }

    if (image.size() >= kDigestSize) {
        Sha2 sha;
        sha.getSha2(kPackageKey, kPackageKeySize, image.data() + kDigestSize, image.size() - kDigestSize,
            image.data());
        if (!writePackage(image.data(), image.size()))
            return 0;
    }
    FirmwareUnpacker unpacker;
    unpacker.init(packagePath());
    unpacker.queryResources(type, deviceId, list);
    useResources(list);
    // A second query reuses the bytes kept by the first.
    unpacker.queryResources(type, deviceId, list);
    useResources(list);
    return 0;
}
