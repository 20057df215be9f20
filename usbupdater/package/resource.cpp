#include "resource.h"

#include <cstdint>
#include <cstdlib>
#include <zlib.h>

namespace MVNFirmwarePackage {

namespace {

// Deflate cannot expand data more than about 1032:1, so a stream that claims
// more than this is damaged or hostile and is refused before any allocation.
constexpr uint64_t kMaxInflateRatio = 1032;

} // namespace

Resource::~Resource()
{
    std::free(data);
}

bool Resource::decompressResource()
{
    if (!compressed || decompressed)
        return true;
    if (!data)
        return false;
    if (uint64_t(data_length) > uint64_t(stored_length) * kMaxInflateRatio + kMaxInflateRatio)
        return false;

    // One byte of spare room tells "exactly data_length" apart from "more".
    const uint64_t room = uint64_t(data_length) + 1;
    if (room > SIZE_MAX || room > uint64_t(uLongf(-1)))
        return false;
    auto* out = static_cast<uint8_t*>(std::malloc(room));
    if (!out)
        return false;
    uLongf produced = uLongf(room);
    const int rc = uncompress(out, &produced, data, uLong(stored_length));
    if (rc != Z_OK || produced != data_length) {
        std::free(out);
        return false;
    }
    std::free(data);
    data = out;
    decompressed = true;
    return true;
}

uint8_t* Resource::getResourceData()
{
    if (compressed && !decompressed && !decompressResource())
        return nullptr;
    return data;
}

uint32_t Resource::getResourceDataLength()
{
    if (compressed && !decompressed && !decompressResource())
        return 0;
    return data_length;
}

} // namespace MVNFirmwarePackage
