#pragma once

#include "zeltradevicenode.h"

#include <cstddef>
#include <cstdint>
#include <pthread.h>

// Layout of the shared arrival segment. Every field sits at its natural
// place, which on 32-bit x86 gives the 444-byte layout that the driver
// suite's other processes use. A 64-bit process uses its own mutex and
// condition variable sizes and refuses a segment of any other size.
struct ZeltraDiscoverySegment {
    static constexpr int kStateCreating = 0;
    static constexpr int kStateReady = 1;
    static constexpr int kStateSeeding = 2;
    static constexpr int kRingSize = 20;
    static constexpr int kSlotSize = 17;     // flags byte + device node
    static constexpr int kNumbersPerKind = 64;
    static constexpr uint8_t kArrivedFlag = 0x01;

    int32_t state;
    pthread_mutex_t mutex;
    pthread_cond_t condition;
    uint32_t presence[ZeltraDeviceNode::kKindCount][2];
    unsigned char ring[kRingSize][kSlotSize];
    int32_t writeIndex;
};

static_assert(offsetof(ZeltraDiscoverySegment, state) == 0, "state first");
static_assert(offsetof(ZeltraDiscoverySegment, writeIndex) + 4 == sizeof(ZeltraDiscoverySegment),
              "write index last, no tail padding");
#if defined(__i386__)
static_assert(sizeof(ZeltraDiscoverySegment) == 444, "shared segment is 444 bytes");
static_assert(offsetof(ZeltraDiscoverySegment, mutex) == 4, "mutex at 4");
static_assert(offsetof(ZeltraDiscoverySegment, condition) == 28, "condition variable at 28");
static_assert(offsetof(ZeltraDiscoverySegment, presence) == 76, "presence bitmap at 76");
static_assert(offsetof(ZeltraDiscoverySegment, ring) == 100, "event ring at 100");
static_assert(offsetof(ZeltraDiscoverySegment, writeIndex) == 440, "write index at 440");
#endif
