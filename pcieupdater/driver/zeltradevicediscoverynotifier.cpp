#include "zeltradevicediscoverynotifier.h"

#include "izeltradevicediscoverynotifierdelegate.h"
#include "zeltradiscoverysegment.h"
#include "zeltradiscoverysegmentreader.h"
#include "zeltradriver.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

const char* const ZeltraDeviceDiscoveryNotifier::kSegmentName = "/com_morvane_ZeltraDiscoveryNotifier";

namespace {

constexpr mode_t kSegmentMode = 0666;
constexpr size_t kSegmentSize = sizeof(ZeltraDiscoverySegment);
// A creator that dies before it marks the segment as being seeded would
// otherwise keep every later process waiting for ever.
constexpr int kCreatorWaitMilliseconds = 5000;

long long nowMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Yields the processor; after a short spell of plain yields it also sleeps
// a little so that a long wait does not burn a core.
void pause(int round)
{
    if (round < 1000) {
        sched_yield();
        return;
    }
    timespec nap{0, 1000000};
    nanosleep(&nap, nullptr);
}

// Presence bit of a node, or null for an unknown kind or a number that has
// no bit (64 and above).
uint32_t* presenceWord(ZeltraDiscoverySegment* segment, const ZeltraDeviceNode& node, uint32_t* mask)
{
    const int kind = node.driverNameIndex();
    if (kind < 0 || node.number >= ZeltraDiscoverySegment::kNumbersPerKind)
        return nullptr;
    *mask = uint32_t(1) << (node.number % 32);
    return &segment->presence[kind][node.number / 32];
}

// Keeps cancellation disabled for its lifetime and restores the previous state.
class CancellationBlocker {
public:
    CancellationBlocker() { pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &m_previous); }
    ~CancellationBlocker() { pthread_setcancelstate(m_previous, nullptr); }
    CancellationBlocker(const CancellationBlocker&) = delete;
    CancellationBlocker& operator=(const CancellationBlocker&) = delete;

private:
    int m_previous = PTHREAD_CANCEL_ENABLE;
};

// Unlocks the shared mutex however the thread ends, including when it is
// cancelled at its condition wait (which unwinds the stack), unless a
// failed wait left it unlocked.
class SegmentUnlocker {
public:
    SegmentUnlocker(ZeltraDeviceDiscoveryNotifier* notifier, const bool& held) : m_notifier(notifier), m_held(held) {}
    ~SegmentUnlocker()
    {
        if (m_held)
            m_notifier->unlock();
    }
    SegmentUnlocker(const SegmentUnlocker&) = delete;
    SegmentUnlocker& operator=(const SegmentUnlocker&) = delete;

private:
    ZeltraDeviceDiscoveryNotifier* m_notifier;
    const bool& m_held;
};

} // namespace

ZeltraDeviceDiscoveryNotifier::~ZeltraDeviceDiscoveryNotifier()
{
    disconnect();
}

bool ZeltraDeviceDiscoveryNotifier::connect()
{
    if (m_fd >= 0 || m_segment)
        return false;

    // A second round only follows the removal of a segment whose creator
    // died before it began seeding.
    for (int round = 0; round < 2; ++round) {
        int fd = shm_open(kSegmentName, O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, kSegmentMode);
        if (fd >= 0)
            return createSegment(fd);
        if (errno != EEXIST)
            return false;
        fd = shm_open(kSegmentName, O_RDWR | O_CLOEXEC, 0);
        if (fd < 0)
            return false;
        const Attach attached = attachSegment(fd);
        if (attached != Attach::kAbandoned)
            return attached == Attach::kAttached;
    }
    return false;
}

void ZeltraDeviceDiscoveryNotifier::removeAbandoned()
{
    // Remove the name only while it still stands for the segment this
    // process looked at: another starter may have replaced it already.
    struct stat ours{};
    struct stat named{};
    const int fd = shm_open(kSegmentName, O_RDONLY | O_CLOEXEC, 0);
    const bool same = fd >= 0 && fstat(m_fd, &ours) == 0 && fstat(fd, &named) == 0 && ours.st_dev == named.st_dev
                      && ours.st_ino == named.st_ino;
    if (fd >= 0)
        ::close(fd);
    if (same)
        shm_unlink(kSegmentName);
    unmap();
}

bool ZeltraDeviceDiscoveryNotifier::createSegment(int fd)
{
    m_fd = fd;
    const auto fail = [this]() {
        unmap();
        shm_unlink(kSegmentName);
        return false;
    };
    if (ftruncate(fd, off_t(kSegmentSize)) != 0)
        return fail();
    void* area = mmap(nullptr, kSegmentSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (area == MAP_FAILED)
        return fail();
    m_segment = static_cast<ZeltraDiscoverySegment*>(area);
    // The creator's umask must not keep other users' processes out.
    if (fchmod(fd, kSegmentMode) != 0)
        return fail();

    pthread_mutexattr_t mutexAttributes;
    pthread_condattr_t conditionAttributes;
    if (pthread_mutexattr_init(&mutexAttributes) != 0)
        return fail();
    const bool mutexReady = pthread_mutexattr_setpshared(&mutexAttributes, PTHREAD_PROCESS_SHARED) == 0
                            && pthread_mutexattr_setrobust(&mutexAttributes, PTHREAD_MUTEX_ROBUST) == 0
                            && pthread_mutex_init(&m_segment->mutex, &mutexAttributes) == 0;
    pthread_mutexattr_destroy(&mutexAttributes);
    if (!mutexReady || pthread_condattr_init(&conditionAttributes) != 0)
        return fail();
    const bool conditionReady = pthread_condattr_setpshared(&conditionAttributes, PTHREAD_PROCESS_SHARED) == 0
                                && pthread_cond_init(&m_segment->condition, &conditionAttributes) == 0;
    pthread_condattr_destroy(&conditionAttributes);
    if (!conditionReady)
        return fail();
    m_segment->writeIndex = 0;

    if (!lock())
        return fail();
    m_segment->state = ZeltraDiscoverySegment::kStateSeeding;
    ZeltraIteratorRec* iterator = CreateZeltraIterator();
    ZeltraInstanceRec* instance = nullptr;
    while (iterator && ConnectToDriverCore(&instance, iterator)) {
        ZeltraDeviceNode node;
        uint32_t mask = 0;
        if (node.fromInstance(instance)) {
            if (uint32_t* word = presenceWord(m_segment, node, &mask))
                *word |= mask;
        }
        CloseDriverConnectionCore(instance);
    }
    m_segment->state = ZeltraDiscoverySegment::kStateReady;
    unlock();
    ReleaseZeltraIterator(iterator);
    return true;
}

ZeltraDeviceDiscoveryNotifier::Attach ZeltraDeviceDiscoveryNotifier::attachSegment(int fd)
{
    m_fd = fd;
    const long long deadline = nowMilliseconds() + kCreatorWaitMilliseconds;

    // The creator may not have sized the segment yet; mapping it before
    // then would fault on first access. Any other size is a layout this
    // process cannot read.
    struct stat info{};
    for (int round = 0;; ++round) {
        if (fstat(fd, &info) != 0) {
            unmap();
            return Attach::kRefused;
        }
        if (info.st_size != 0)
            break;
        if (nowMilliseconds() > deadline) {
            // Never sized: its creator died at once.
            removeAbandoned();
            return Attach::kAbandoned;
        }
        pause(round);
    }
    if (info.st_size != off_t(kSegmentSize)) {
        unmap();
        return Attach::kRefused;
    }
    void* area = mmap(nullptr, kSegmentSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (area == MAP_FAILED) {
        unmap();
        return Attach::kRefused;
    }
    m_segment = static_cast<ZeltraDiscoverySegment*>(area);

    volatile int32_t* state = &m_segment->state;
    for (int round = 0; *state == ZeltraDiscoverySegment::kStateCreating; ++round) {
        if (nowMilliseconds() > deadline) {
            // Sized but never taken into seeding: its creator died before
            // it could tell anyone. Nothing in it is worth keeping.
            removeAbandoned();
            return Attach::kAbandoned;
        }
        pause(round);
    }
    // Waits for a creator that is still seeding.
    if (!lock()) {
        unmap();
        return Attach::kRefused;
    }
    const int32_t settled = m_segment->state;
    unlock();
    if (settled != ZeltraDiscoverySegment::kStateReady) {
        // Still "being seeded": its creator died. The name stays for whoever
        // cleans up.
        unmap();
        return Attach::kRefused;
    }
    return Attach::kAttached;
}

void ZeltraDeviceDiscoveryNotifier::unmap()
{
    if (m_segment)
        munmap(m_segment, kSegmentSize);
    m_segment = nullptr;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void ZeltraDeviceDiscoveryNotifier::disconnect()
{
    cancelWaitForNotifications();
    unmap();
}

bool ZeltraDeviceDiscoveryNotifier::lock()
{
    return acquire() == 0;
}

int ZeltraDeviceDiscoveryNotifier::acquire()
{
    if (!m_segment)
        return EINVAL;
    const int result = pthread_mutex_lock(&m_segment->mutex);
    if (result == EOWNERDEAD) {
        // The previous owner died holding the lock; what it guarded is
        // plain data that stays readable, so carry on.
        if (pthread_mutex_consistent(&m_segment->mutex) != 0) {
            pthread_mutex_unlock(&m_segment->mutex);
            return ENOTRECOVERABLE;
        }
        tellHook(LockStage::kOwnerDied);
        return 0;
    }
    return result;
}

void ZeltraDeviceDiscoveryNotifier::unlock()
{
    if (m_segment)
        pthread_mutex_unlock(&m_segment->mutex);
}

bool ZeltraDeviceDiscoveryNotifier::waitForNotifications(IZeltraDeviceDiscoveryNotifierDelegate* delegate)
{
    if (!delegate || !m_segment || m_waitState != kIdle)
        return false;
    m_delegate = delegate;
    m_waitState = kWaiting;
    if (pthread_create(&m_thread, nullptr, &ZeltraDeviceDiscoveryNotifier::ExecMainLoop, this) != 0) {
        m_delegate = nullptr;
        m_waitState = kIdle;
        return false;
    }
    return true;
}

void ZeltraDeviceDiscoveryNotifier::cancelWaitForNotifications()
{
    if (!m_delegate || m_waitState != kWaiting)
        return;
    m_waitState = kStopping;
    pthread_cancel(m_thread);
    pthread_join(m_thread, nullptr);
    m_delegate = nullptr;
    m_readIndex = -1;
    m_waitState = kIdle;
}

bool ZeltraDeviceDiscoveryNotifier::notify(ZeltraDeviceNode* node, bool arrived)
{
    if (!m_segment || !node)
        return false;
    if (!lock())
        return false;
    tellHook(LockStage::kLocked);
    uint32_t mask = 0;
    if (uint32_t* word = presenceWord(m_segment, *node, &mask)) {
        const bool present = (*word & mask) != 0;
        if (present == arrived) {
            unlock();
            return true; // nothing changed: nothing to tell
        }
        if (arrived)
            *word |= mask;
        else
            *word &= ~mask;
        tellHook(LockStage::kMarked);
    }
    int index = m_segment->writeIndex;
    if (!ZeltraDiscoverySegmentReader::isRingIndex(index))
        index = 0; // a damaged index is repaired rather than written through
    unsigned char* slot = m_segment->ring[index];
    slot[0] = arrived ? ZeltraDiscoverySegment::kArrivedFlag : 0;
    std::memcpy(slot + 1, node, sizeof(ZeltraDeviceNode));
    tellHook(LockStage::kWritten);
    m_segment->writeIndex = ZeltraDiscoverySegmentReader::nextIndex(index);
    tellHook(LockStage::kAdvanced);
    pthread_cond_broadcast(&m_segment->condition);
    unlock();
    return true;
}

void ZeltraDeviceDiscoveryNotifier::callNotification(ZeltraDeviceNode* node, bool arrived)
{
    CancellationBlocker blocker;
    ZeltraInstanceRec* instance = ZeltraOpenDevice(node);
    if (instance)
        m_delegate->ProcessNotification(instance, arrived);
}

void* ZeltraDeviceDiscoveryNotifier::ExecMainLoop(void* self)
{
    auto* notifier = static_cast<ZeltraDeviceDiscoveryNotifier*>(self);
    const int error = notifier->mainLoop();
    // Only a lock that can no longer be used ends the loop by itself; say so
    // once the lock is let go, rather than end in silence.
    pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, nullptr);
    char text[160];
    char reason[96];
    std::snprintf(text, sizeof text, "the shared lock of the arrival segment cannot be used (%s)",
                  strerror_r(error, reason, sizeof reason));
    notifier->m_delegate->NotifierStopped(text);
    return nullptr;
}

int ZeltraDeviceDiscoveryNotifier::mainLoop()
{
    int previousCancelState = PTHREAD_CANCEL_ENABLE;
    pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &previousCancelState);
    const int locked = acquire();
    if (locked != 0)
        return locked;
    bool held = true;
    SegmentUnlocker unlocker(this, held);

    // The segment is shared with other programs: read it only through the
    // bounds-checked reader.
    const ZeltraDiscoverySegmentReader reader(m_segment, kSegmentSize);
    for (int kind = 0; kind < ZeltraDeviceNode::kKindCount; ++kind) {
        for (int number = 0; number < ZeltraDiscoverySegment::kNumbersPerKind; ++number) {
            if (!reader.isPresent(kind, number))
                continue;
            ZeltraDeviceNode node = ZeltraDiscoverySegmentReader::presentNode(kind, number);
            callNotification(&node, true);
        }
    }
    const int start = reader.writeIndex();
    m_readIndex = start >= 0 ? start : 0;

    for (;;) {
        pthread_setcancelstate(previousCancelState, nullptr);
        const int result = pthread_cond_wait(&m_segment->condition, &m_segment->mutex);
        pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &previousCancelState);
        if (result == EOWNERDEAD) {
            if (pthread_mutex_consistent(&m_segment->mutex) != 0)
                return ENOTRECOVERABLE; // still held: the unlocker lets it go
            tellHook(LockStage::kOwnerDied);
        } else if (result != 0) {
            // The wait failed without the lock (ENOTRECOVERABLE after an
            // owner died and nobody repaired it): waiting again would only
            // fail again at once.
            held = false;
            return result;
        }

        // An index outside the ring means there is nothing this reader can
        // trust to read.
        const int writeIndex = reader.writeIndex();
        if (writeIndex < 0)
            continue;
        while (m_readIndex != writeIndex) {
            ZeltraDeviceNode node;
            bool arrived = false;
            if (reader.event(m_readIndex, &node, &arrived))
                callNotification(&node, arrived);
            m_readIndex = ZeltraDiscoverySegmentReader::nextIndex(m_readIndex);
        }
    }
}
