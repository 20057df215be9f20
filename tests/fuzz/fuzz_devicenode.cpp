// The driver layer's node path parser under libFuzzer: a path it accepts is
// written back within the buffer and reads back as the same node.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "zeltradevicenode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path(reinterpret_cast<const char*>(data), size);
    ZeltraDeviceNode node;
    if (!node.fromPath(path.c_str()))
        return 0;
    node.driverName();
    char written[64];
    std::memset(written, 0x55, sizeof written);
    if (!node.toPath(written))
        return 0;
    if (!std::memchr(written, '\0', sizeof written))
        std::abort();
    ZeltraDeviceNode again;
    if (!again.fromPath(written) || again != node)
        std::abort();
    return 0;
}
