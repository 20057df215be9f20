#pragma once

#include "zeltradevicenode.h"

#include <cstdint>
#include <deque>
#include <vector>

// One accepted node while an iterator is being built, with the sub-device
// triple the driver reported for it.
struct EnumeratedDeviceListElmt {
    ZeltraDeviceNode node;
    uint32_t subDeviceIndex = 0;
    uint32_t subDeviceCount = 0;
    uint32_t groupIdentifier = 0;
};

// A snapshot of the card nodes present when it was built, in opening order.
struct ZeltraIteratorRec {
    uint32_t position = 0; // index of the next node to open
    std::deque<ZeltraDeviceNode> nodes;

    // Sorts by node and then pulls the sub-devices of each card together in
    // sub-device index order, at the place of the first of them. Every
    // element is placed exactly once, whatever counts and indexes say.
    static std::deque<ZeltraDeviceNode> orderNodes(std::vector<EnumeratedDeviceListElmt> list);
};
