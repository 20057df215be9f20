#pragma once

#include "zeltradevicenode.h"

#include <cstddef>
#include <cstdint>

// Reads the fields of an arrival segment image: its state, the presence
// bitmap, the write index and the ring's slots. The image is another
// process's work (or a file's bytes), so every read is checked against the
// size given, indices outside the ring are reported as such, and nothing is
// read through a pointer to the segment structure itself: the image need
// not be aligned. The reader takes no lock; the caller holds the shared
// mutex while the image is live.
class ZeltraDiscoverySegmentReader {
public:
    ZeltraDiscoverySegmentReader(const void* image, size_t size);

    // False when the image is too small to hold this build's layout; every
    // other answer is then empty (state -1, no bits, no events).
    bool isValid() const { return m_image != nullptr; }

    int32_t state() const;
    // The write index, or -1 when it lies outside the ring.
    int writeIndex() const;
    // The presence bit of a kind (0 to 2) and number (0 to 63); false for
    // anything outside those ranges.
    bool isPresent(int kind, int number) const;
    // The event in a ring slot (0 to 19); false for a slot outside the ring.
    // The node's name is copied as it stands and may lack a terminator.
    bool event(int slot, ZeltraDeviceNode* node, bool* arrived) const;

    // The node a presence bit stands for: the kind's name and the number.
    static ZeltraDeviceNode presentNode(int kind, int number);
    static bool isRingIndex(int index);
    // The slot after index (after the last comes the first).
    static int nextIndex(int index);

private:
    int32_t readInt32(size_t offset) const;

    const unsigned char* m_image = nullptr;
};
