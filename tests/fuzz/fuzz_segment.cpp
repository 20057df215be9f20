// The arrival segment reader under libFuzzer: the input is a segment image
// as another process may have left it. The reader walks it as the notifier
// thread does (initial report, then the ring from the write index round to
// it again) and never reads outside the image.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "zeltradevicenode.h"
#include "zeltradiscoverysegment.h"
#include "zeltradiscoverysegmentreader.h"

namespace {

void useNode(const ZeltraDeviceNode& node)
{
    node.driverName();
    char path[64];
    std::memset(path, 0x55, sizeof path);
    if (node.toPath(path) && !std::memchr(path, '\0', sizeof path))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ZeltraDiscoverySegmentReader reader(data, size);
    if (reader.isValid() != (size >= sizeof(ZeltraDiscoverySegment)))
        std::abort();
    reader.state();

    for (int kind = -1; kind <= ZeltraDeviceNode::kKindCount; ++kind) {
        for (int number = -1; number <= ZeltraDiscoverySegment::kNumbersPerKind; ++number) {
            if (!reader.isPresent(kind, number))
                continue;
            const ZeltraDeviceNode node = ZeltraDiscoverySegmentReader::presentNode(kind, number);
            if (node.driverNameIndex() != kind || node.number != number)
                std::abort(); // a bit outside the bitmap answered
            useNode(node);
        }
    }

    const int writeIndex = reader.writeIndex();
    if (writeIndex < -1 || writeIndex >= ZeltraDiscoverySegment::kRingSize || (!reader.isValid() && writeIndex != -1))
        std::abort();
    const int start = writeIndex >= 0 ? writeIndex : 0;
    int read = start;
    int slots = 0;
    do {
        ZeltraDeviceNode node;
        bool arrived = false;
        if (reader.event(read, &node, &arrived) != reader.isValid())
            std::abort();
        if (reader.isValid())
            useNode(node);
        read = ZeltraDiscoverySegmentReader::nextIndex(read);
        if (++slots > ZeltraDiscoverySegment::kRingSize)
            std::abort(); // the walk must come round
    } while (read != start);

    ZeltraDeviceNode node;
    bool arrived = false;
    if (reader.event(-1, &node, &arrived) || reader.event(ZeltraDiscoverySegment::kRingSize, &node, &arrived))
        std::abort();
    return 0;
}
