#include "zeltradiscoverysegmentreader.h"

#include "zeltradiscoverysegment.h"

#include <cstring>

namespace {

constexpr size_t kStateOffset = offsetof(ZeltraDiscoverySegment, state);
constexpr size_t kPresenceOffset = offsetof(ZeltraDiscoverySegment, presence);
constexpr size_t kRingOffset = offsetof(ZeltraDiscoverySegment, ring);
constexpr size_t kWriteIndexOffset = offsetof(ZeltraDiscoverySegment, writeIndex);

} // namespace

ZeltraDiscoverySegmentReader::ZeltraDiscoverySegmentReader(const void* image, size_t size)
{
    if (image && size >= sizeof(ZeltraDiscoverySegment))
        m_image = static_cast<const unsigned char*>(image);
}

int32_t ZeltraDiscoverySegmentReader::readInt32(size_t offset) const
{
    int32_t value = 0;
    std::memcpy(&value, m_image + offset, sizeof(value));
    return value;
}

int32_t ZeltraDiscoverySegmentReader::state() const
{
    return m_image ? readInt32(kStateOffset) : -1;
}

int ZeltraDiscoverySegmentReader::writeIndex() const
{
    if (!m_image)
        return -1;
    const int32_t index = readInt32(kWriteIndexOffset);
    return isRingIndex(index) ? int(index) : -1;
}

bool ZeltraDiscoverySegmentReader::isPresent(int kind, int number) const
{
    if (!m_image || kind < 0 || kind >= ZeltraDeviceNode::kKindCount || number < 0
        || number >= ZeltraDiscoverySegment::kNumbersPerKind)
        return false;
    uint32_t word = 0;
    const size_t offset = kPresenceOffset + (size_t(kind) * 2 + size_t(number / 32)) * sizeof(word);
    std::memcpy(&word, m_image + offset, sizeof(word));
    return (word & (uint32_t(1) << (number % 32))) != 0;
}

bool ZeltraDiscoverySegmentReader::event(int slot, ZeltraDeviceNode* node, bool* arrived) const
{
    if (!m_image || !node || !arrived || !isRingIndex(slot))
        return false;
    const unsigned char* entry = m_image + kRingOffset + size_t(slot) * ZeltraDiscoverySegment::kSlotSize;
    *arrived = (entry[0] & ZeltraDiscoverySegment::kArrivedFlag) != 0;
    std::memcpy(node, entry + 1, sizeof(*node));
    return true;
}

ZeltraDeviceNode ZeltraDiscoverySegmentReader::presentNode(int kind, int number)
{
    ZeltraDeviceNode node;
    if (const char* name = node.driverNameByIndex(kind))
        std::strncpy(node.name, name, ZeltraDeviceNode::kMaxNameLength);
    node.number = uint8_t(number);
    return node;
}

bool ZeltraDiscoverySegmentReader::isRingIndex(int index)
{
    return index >= 0 && index < ZeltraDiscoverySegment::kRingSize;
}

int ZeltraDiscoverySegmentReader::nextIndex(int index)
{
    return index + 1 >= ZeltraDiscoverySegment::kRingSize ? 0 : index + 1;
}
