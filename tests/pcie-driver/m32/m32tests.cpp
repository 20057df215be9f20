// Checks of the driver layer as a 32-bit x86 build: the shared segment's
// layout, node naming, argument checks that never reach a driver, and the
// arrival segment's handshake, ring and lock recovery across processes.

#include "ioctlarguments.h"
#include "morvaneioioctlmessageuser.h"
#include "zeltradevicediscoverynotifier.h"
#include "zeltradiscoverysegment.h"
#include "zeltradriver.h"
#include "zeltrarequests.h"

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#if !defined(__i386__)
#error "this check is meant for a 32-bit x86 build"
#endif

static_assert(sizeof(ZeltraDiscoverySegment) == 444, "segment size");
static_assert(offsetof(ZeltraDiscoverySegment, mutex) == 4, "mutex offset");
static_assert(offsetof(ZeltraDiscoverySegment, condition) == 28, "condition offset");
static_assert(offsetof(ZeltraDiscoverySegment, presence) == 76, "bitmap offset");
static_assert(offsetof(ZeltraDiscoverySegment, ring) == 100, "ring offset");
static_assert(offsetof(ZeltraDiscoverySegment, writeIndex) == 440, "write index offset");
static_assert(sizeof(ZeltraDeviceNode) == 16, "node size");
static_assert(sizeof(_MorvaneIOMessageRequest) == 40, "message size");
static_assert(sizeof(ZeltraInstanceRec) <= 512, "instance block");

namespace {

int g_failures = 0;

#define CHECK(condition)                                                         \
    do {                                                                         \
        if (!(condition)) {                                                      \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, \
                         #condition);                                            \
            ++g_failures;                                                        \
        }                                                                        \
    } while (false)

const char* const kName = ZeltraDeviceDiscoveryNotifier::kSegmentName;

ZeltraDiscoverySegment* mapSegment()
{
    const int fd = shm_open(kName, O_RDWR, 0);
    if (fd < 0)
        return nullptr;
    void* area = mmap(nullptr, sizeof(ZeltraDiscoverySegment), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    return area == MAP_FAILED ? nullptr : static_cast<ZeltraDiscoverySegment*>(area);
}

void nodeNames()
{
    ZeltraDeviceNode node;
    CHECK(node.fromPath("/dev/morvane/dv255") && node.number == 255);
    CHECK(!node.fromPath("/dev/morvane/abcdefghijklmno1"));
    CHECK(node.fromPath("/dev/morvane/card3"));
    char path[kZeltraPathSize];
    CHECK(node.toPath(path) && std::strcmp(path, "/dev/morvane/card3") == 0);
}

void argumentChecks()
{
    // Descriptor -1: whatever reaches the driver fails with the ioctl's own -1.
    MorvaneIOIoctlMessageUser user(-1);
    const unsigned long long in[5] = {1, 2, 3, 4, 5};
    CHECK(user.writeScalar(2463, in, 5) == kZeltraBadArgument);
    CHECK(user.writeScalar(2463, in, 4) == -1);
    CHECK(user.readScalar(2304, const_cast<unsigned long long*>(in), 1) == kZeltraBadArgument);
    CHECK(user.requestMap().size() == 157);
    CHECK(user.requestMap().begin()->first == 2305 && user.requestMap().rbegin()->first == 65536);
    CHECK(user.messageMap().size() == 123);
    IoctlMessageUser plain(-1);
    _MorvaneIOMessageRequest message;
    CHECK(plain.sendMessage(&message) == kZeltraUnsupported);

    unsigned int word = 0;
    bool flag = false;
    CHECK(DeviceNeedsFirmwareUpdate(nullptr, 0, &word, nullptr) == kZeltraBadArgument);
    CHECK(DeviceNeedsFirmwareUpdate(nullptr, 0, &word, &flag) == kZeltraNoInstance);
}

void grouping()
{
    std::vector<EnumeratedDeviceListElmt> list(3);
    list[0].node.fromPath("dv1");
    list[0].subDeviceIndex = 1;
    list[0].subDeviceCount = 2;
    list[0].groupIdentifier = 7;
    list[1].node.fromPath("card0");
    list[2].node.fromPath("io0");
    list[2].subDeviceCount = 2;
    list[2].groupIdentifier = 7;
    const auto order = ZeltraIteratorRec::orderNodes(list);
    CHECK(order.size() == 3 && order[0] == list[1].node && order[1] == list[2].node && order[2] == list[0].node);
}

void segmentAcrossProcesses()
{
    shm_unlink(kName);
    const pid_t creator = fork();
    if (creator == 0) {
        ZeltraDeviceDiscoveryNotifier notifier;
        _exit(notifier.connect() ? 0 : 1);
    }
    int status = 0;
    waitpid(creator, &status, 0);
    CHECK(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    struct stat info {};
    const int fd = shm_open(kName, O_RDONLY, 0);
    CHECK(fd >= 0 && fstat(fd, &info) == 0 && info.st_size == 444);
    if (fd >= 0)
        close(fd);
    ZeltraDiscoverySegment* segment = mapSegment();
    CHECK(segment && segment->state == ZeltraDiscoverySegment::kStateReady && segment->writeIndex == 0);
    if (!segment)
        return;

    // An owner that dies holding the lock.
    int ready[2];
    CHECK(pipe(ready) == 0);
    const pid_t holder = fork();
    if (holder == 0) {
        ZeltraDeviceDiscoveryNotifier notifier;
        if (notifier.connect() && notifier.lock()) {
            char c = 'l';
            ssize_t ignored = write(ready[1], &c, 1);
            (void)ignored;
            pause();
        }
        _exit(1);
    }
    char c = 0;
    CHECK(read(ready[0], &c, 1) == 1);
    kill(holder, SIGKILL);
    waitpid(holder, &status, 0);
    close(ready[0]);
    close(ready[1]);

    ZeltraDeviceDiscoveryNotifier notifier;
    CHECK(notifier.connect()); // takes and releases the dead owner's lock
    CHECK(notifier.lock());
    notifier.unlock();

    ZeltraDeviceNode io2;
    io2.fromPath("io2");
    for (int i = 0; i < 21; ++i)
        CHECK(notifier.notify(&io2, i % 2 == 0));
    CHECK(segment->writeIndex == 1);
    CHECK(segment->ring[0][0] == 1 && std::memcmp(segment->ring[0] + 1, &io2, sizeof(io2)) == 0);
    CHECK(segment->presence[2][0] == (1u << 2));
    CHECK(notifier.notify(&io2, true)); // already present: not posted
    CHECK(segment->writeIndex == 1);

    segment->writeIndex = 5000;
    CHECK(notifier.notify(&io2, false));
    CHECK(segment->writeIndex == 1);
    notifier.disconnect();
    munmap(segment, sizeof(ZeltraDiscoverySegment));
    shm_unlink(kName);
}

} // namespace

int main()
{
    nodeNames();
    argumentChecks();
    grouping();
    segmentAcrossProcesses();
    if (g_failures) {
        std::fprintf(stderr, "%d check(s) failed\n", g_failures);
        return 1;
    }
    std::printf("32-bit driver layer: all checks passed\n");
    return 0;
}
