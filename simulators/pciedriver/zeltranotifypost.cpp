// zeltra-notify-post: posts card arrivals and removals into the shared
// arrival segment, as the driver suite's other processes do (see README.md).

#include "zeltradevicediscoverynotifier.h"
#include "zeltradiscoverysegment.h"
#include "zeltradiscoverysegmentreader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void usage(FILE* to = stderr)
{
    std::fprintf(to,
                 "usage: zeltra-notify-post arrive NODE... | remove NODE... | show | unlink\n"
                 "  NODE is a card node such as dv1, io3 or /dev/morvane/dv1.\n"
                 "  arrive/remove  post the events (creating and seeding the segment if needed)\n"
                 "  show           print the segment's state, presence bitmap and event ring\n"
                 "  unlink         remove the segment's name\n"
                 "  -h, --help     print this help and exit\n"
                 "  --version      print the version and exit\n");
}

std::string printable(const ZeltraDeviceNode& node)
{
    std::string name;
    for (unsigned i = 0; i < ZeltraDeviceNode::kNameSize && node.name[i]; ++i) {
        const char c = node.name[i];
        name += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    return name + std::to_string(node.number);
}

int show()
{
    const int fd = shm_open(ZeltraDeviceDiscoveryNotifier::kSegmentName, O_RDONLY, 0);
    if (fd < 0) {
        std::printf("no segment\n");
        return 1;
    }
    struct stat info{};
    if (fstat(fd, &info) != 0 || info.st_size != off_t(sizeof(ZeltraDiscoverySegment))) {
        std::printf("segment of %lld bytes, not the %zu of this build's layout\n",
                    static_cast<long long>(info.st_size), sizeof(ZeltraDiscoverySegment));
        close(fd);
        return 1;
    }
    void* area = mmap(nullptr, sizeof(ZeltraDiscoverySegment), PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    if (area == MAP_FAILED)
        return 1;
    const ZeltraDiscoverySegmentReader reader(area, sizeof(ZeltraDiscoverySegment));
    std::printf("state %d\n", int(reader.state()));
    if (reader.writeIndex() < 0)
        std::printf("write index outside the ring\n");
    else
        std::printf("write index %d\n", reader.writeIndex());
    std::printf("present");
    for (int kind = 0; kind < ZeltraDeviceNode::kKindCount; ++kind) {
        for (int number = 0; number < ZeltraDiscoverySegment::kNumbersPerKind; ++number) {
            if (reader.isPresent(kind, number))
                std::printf(" %s", printable(ZeltraDiscoverySegmentReader::presentNode(kind, number)).c_str());
        }
    }
    std::printf("\n");
    for (int slot = 0; slot < ZeltraDiscoverySegment::kRingSize; ++slot) {
        ZeltraDeviceNode entry;
        bool arrived = false;
        if (!reader.event(slot, &entry, &arrived) || entry.name[0] == 0)
            continue;
        std::printf("slot %d %s %s\n", slot, arrived ? "arrival" : "removal", printable(entry).c_str());
    }
    munmap(area, sizeof(ZeltraDiscoverySegment));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        usage();
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        usage(stdout);
        return 0;
    }
    if (command == "--version") {
        std::puts("zeltra-notify-post (Ondavia simulators) " ONDAVIA_VERSION);
        return 0;
    }
    // The segment name is machine-wide: a live daemon or the driver suite
    // may be using it. Only a private /dev/shm (scripts/private-shm) is ours.
    if (!std::getenv("ZELTRA_PRIVATE_SHM")) {
        std::fprintf(stderr, "zeltra-notify-post: refusing to touch the machine-wide arrival segment; "
                             "run it under scripts/private-shm\n");
        return 3;
    }
    if (command == "show")
        return show();
    if (command == "unlink")
        return shm_unlink(ZeltraDeviceDiscoveryNotifier::kSegmentName) == 0 ? 0 : 1;
    if ((command != "arrive" && command != "remove") || argc < 3) {
        usage();
        return 2;
    }

    ZeltraDeviceDiscoveryNotifier notifier;
    if (!notifier.connect()) {
        std::fprintf(stderr, "zeltra-notify-post: cannot connect to the arrival segment\n");
        return 1;
    }
    int status = 0;
    for (int i = 2; i < argc; ++i) {
        ZeltraDeviceNode node;
        if (!node.fromPath(argv[i]) || node.driverNameIndex() < 0) {
            std::fprintf(stderr, "zeltra-notify-post: not a card node: %s\n", argv[i]);
            status = 2;
            continue;
        }
        if (!notifier.notify(&node, command == "arrive")) {
            std::fprintf(stderr, "zeltra-notify-post: cannot post %s\n", argv[i]);
            status = 1;
        }
    }
    return status;
}
