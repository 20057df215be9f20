#include "zeltraiteratorrec.h"

#include <algorithm>

std::deque<ZeltraDeviceNode> ZeltraIteratorRec::orderNodes(std::vector<EnumeratedDeviceListElmt> list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const EnumeratedDeviceListElmt& a, const EnumeratedDeviceListElmt& b) {
                         return a.node < b.node;
                     });

    std::deque<ZeltraDeviceNode> sequence;
    while (!list.empty()) {
        const EnumeratedDeviceListElmt first = list.front();
        if (first.subDeviceCount <= 1) {
            sequence.push_back(first.node);
            list.erase(list.begin());
            continue;
        }
        // For each index 0 .. count-1 the first list element of the same
        // group with that index. Gathering them once keeps a huge count
        // reported by a driver from turning into a huge loop.
        std::vector<size_t> members;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].groupIdentifier == first.groupIdentifier && list[i].subDeviceIndex < first.subDeviceCount)
                members.push_back(i);
        }
        std::stable_sort(members.begin(), members.end(), [&list](size_t a, size_t b) {
            return list[a].subDeviceIndex < list[b].subDeviceIndex;
        });
        std::vector<size_t> taken;
        for (size_t k = 0; k < members.size(); ++k) {
            if (k > 0 && list[members[k]].subDeviceIndex == list[members[k - 1]].subDeviceIndex)
                continue; // a second claimant of an index waits for its own turn
            sequence.push_back(list[members[k]].node);
            taken.push_back(members[k]);
        }
        // The first element always leaves the list, even when its own index
        // lies outside its count, so the grouping always ends.
        if (std::find(taken.begin(), taken.end(), size_t(0)) == taken.end()) {
            sequence.push_back(first.node);
            taken.push_back(0);
        }
        std::sort(taken.begin(), taken.end());
        for (auto it = taken.rbegin(); it != taken.rend(); ++it)
            list.erase(list.begin() + std::ptrdiff_t(*it));
    }
    return sequence;
}
