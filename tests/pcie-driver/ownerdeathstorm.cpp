// pcie-owner-death-storm: the arrival notifier against producers that die.
//
// This process runs the notifier thread over emulated card nodes and starts
// producer processes (this program again, role "produce"), a few at a time.
// Each producer owns one node and posts arrival, removal, arrival, removal
// for it. Many are killed with SIGKILL: some while they hold the shared lock
// (the notifier's lock-stage hook stops them at a chosen step of a posting),
// others at a random moment. The run passes when the notifier thread still
// answers at the end, every event that a producer posted for certain was
// reported, and nothing was reported twice or out of order.
//
//   pcie-owner-death-storm [--producers N] [--parallel K] [--seed S] [--timeout SECONDS]
//
// Runs only inside a private /dev/shm (scripts/private-shm). Exit status 0
// when the run passes, 1 when it fails, 2 for a bad command line, 77 when
// the reader fell more than a ring behind, so that nothing can be said
// about lost or doubled events.

#include "emulatedcardbed.h"
#include "izeltradevicediscoverynotifierdelegate.h"
#include "preloadreexec.h"
#include "zeltradevicediscoverynotifier.h"
#include "zeltradriver.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <poll.h>
#include <random>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Stage = ZeltraDeviceDiscoveryNotifier::LockStage;

constexpr int kStatusFd = 3;      // a producer's reports to the storm
constexpr int kTallyFd = 4;       // the shared tally of postings
constexpr int kRingSize = 20;
constexpr int kEventsPerProducer = 4; // arrival, removal, arrival, removal
constexpr int kMaxProducers = 127;    // dv0-dv63 and io0-io62; io63 is the storm's own
const char kMarkerNode[] = "io63";

bool eventIsArrival(int event) { return event % 2 == 0; }

std::string nodeName(int producer)
{
    return producer < 64 ? "dv" + std::to_string(producer) : "io" + std::to_string(producer - 64);
}

// Postings made by every process of the storm, counted under the shared
// lock as the write index moves on. The ring itself keeps no count, so this
// is how the storm tells a reader that fell more than a ring behind (its
// older slots overwritten: a writer never waits) from a lost event.
std::atomic<uint32_t>* g_tally = nullptr;

bool mapTally(int fd)
{
    void* area = mmap(nullptr, sizeof(std::atomic<uint32_t>), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (area == MAP_FAILED)
        return false;
    g_tally = static_cast<std::atomic<uint32_t>*>(area);
    return true;
}

void countPosting(Stage stage)
{
    if (stage == Stage::kAdvanced && g_tally)
        ++*g_tally;
}

void report(char what)
{
    ssize_t ignored = write(kStatusFd, &what, 1);
    (void)ignored;
}

// ---- producer ---------------------------------------------------------

struct ProducerPlan {
    int pauseStage = -1; // a LockStage to stop at, or -1
    int pauseEvent = -1;
    int current = -1;
};

void producerHook(Stage stage, void* context)
{
    const auto* plan = static_cast<const ProducerPlan*>(context);
    countPosting(stage);
    if (stage == Stage::kOwnerDied) {
        report('R');
        return;
    }
    if (plan->current == plan->pauseEvent && int(stage) == plan->pauseStage) {
        report('P'); // the storm kills us here, with the lock held
        for (;;)
            pause();
    }
}

int produce(const char* node, int pauseStage, int pauseEvent)
{
    ZeltraDeviceNode target;
    if (!target.fromPath(node) || !mapTally(kTallyFd))
        return 2;
    ProducerPlan plan;
    plan.pauseStage = pauseStage;
    plan.pauseEvent = pauseEvent;
    ZeltraDeviceDiscoveryNotifier notifier;
    notifier.setLockStageHook(&producerHook, &plan);
    if (!notifier.connect())
        return 1;
    report('C');
    std::minstd_rand pace{unsigned(getpid())};
    for (int event = 0; event < kEventsPerProducer; ++event) {
        plan.current = event;
        if (!notifier.notify(&target, eventIsArrival(event)))
            return 1;
        report(eventIsArrival(event) ? 'a' : 'r');
        std::this_thread::sleep_for(std::chrono::microseconds(500 + pace() % 3000));
    }
    return 0;
}

// ---- the storm --------------------------------------------------------

struct Options {
    int producers = 100;
    int parallel = 4;
    unsigned seed = 0;
    int timeoutSeconds = 300;
};

// What the notifier thread reported, per node, in order.
class CountingDelegate : public IZeltraDeviceDiscoveryNotifierDelegate {
public:
    void ProcessNotification(ZeltraInstanceRec* instance, bool arrived) override
    {
        char path[kZeltraPathSize] = {};
        const bool named = GetDevicePath(instance, path);
        CloseDriverConnectionCore(instance);
        std::lock_guard<std::mutex> lock(m_mutex);
        // Called with the shared lock held: the tally is what has been
        // posted so far, and this is the next event read.
        const uint32_t behind = g_tally->load() - m_read++;
        if (behind > m_mostBehind)
            m_mostBehind = behind;
        if (named)
            m_events.emplace_back(path + std::strlen("/dev/morvane/"), arrived);
        else
            ++m_unnamed;
    }
    void NotifierStopped(const char* reason) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = reason;
    }
    std::vector<std::pair<std::string, bool>> events() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }
    bool saw(const std::string& node, bool arrived) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& event : m_events) {
            if (event.first == node && event.second == arrived)
                return true;
        }
        return false;
    }
    std::string stopped() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_stopped;
    }
    int unnamed() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_unnamed;
    }
    // The most postings the reader had yet to read at any event.
    uint32_t mostBehind() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_mostBehind;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::pair<std::string, bool>> m_events;
    std::string m_stopped;
    int m_unnamed = 0;
    uint32_t m_read = 0;
    uint32_t m_mostBehind = 0;
};

// Dead owners taken over in this process: by the notifier thread or by the
// storm's own postings.
std::atomic<int> g_stormRecoveries{0};

void stormHook(Stage stage, void*)
{
    countPosting(stage);
    if (stage == Stage::kOwnerDied)
        ++g_stormRecoveries;
}

struct Producer {
    enum class Fate { kComplete, kKillInLock, kKillAnyTime };
    Fate fate = Fate::kComplete;
    int pauseStage = -1;
    int pauseEvent = -1;
    Clock::time_point started;
    // Killed at a random moment: while it starts, or counted from its
    // connecting, so that the kill falls among its postings.
    bool killWhileStarting = false;
    std::chrono::microseconds killDelay{0};
    Clock::time_point killAt = Clock::time_point::max();
    pid_t pid = -1;
    int statusFd = -1;
    int confirmed = 0;   // postings that returned
    int recoveries = 0;  // dead owners it took the lock over from
    bool connected = false;
    bool paused = false;
    bool killed = false;
    bool running = false;
    int exitStatus = 0;
};

bool waitUntil(const std::function<bool()>& condition, int milliseconds)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Moves a descriptor above the ones a producer is given, so that placing
// those (dup2) in the child never lands on it.
int aboveProducerFds(int fd)
{
    if (fd < 0 || fd > kTallyFd)
        return fd;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, kTallyFd + 1);
    close(fd);
    return moved;
}

bool start(Producer& producer, const std::string& node, int tallyFd)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    fds[1] = aboveProducerFds(fds[1]);
    const std::string stage = std::to_string(producer.pauseStage);
    const std::string event = std::to_string(producer.pauseEvent);
    char* const arguments[] = {const_cast<char*>("pcie-owner-death-storm"), const_cast<char*>("produce"),
                               const_cast<char*>(node.c_str()), const_cast<char*>(stage.c_str()),
                               const_cast<char*>(event.c_str()), nullptr};
    const pid_t pid = fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec: this process
        // has other threads.
        if (dup2(fds[1], kStatusFd) < 0 || dup2(tallyFd, kTallyFd) < 0)
            _exit(127);
        execv("/proc/self/exe", arguments);
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return false;
    }
    producer.pid = pid;
    producer.statusFd = fds[0];
    producer.started = Clock::now();
    producer.running = true;
    return true;
}

void readStatus(Producer& producer)
{
    char bytes[64];
    const ssize_t got = read(producer.statusFd, bytes, sizeof bytes);
    if (got <= 0) {
        // Every write end is gone: the producer has ended.
        close(producer.statusFd);
        producer.statusFd = -1;
        int status = 0;
        waitpid(producer.pid, &status, 0);
        producer.exitStatus = status;
        producer.running = false;
        return;
    }
    for (ssize_t i = 0; i < got; ++i) {
        switch (bytes[i]) {
        case 'C':
            producer.connected = true;
            if (!producer.killWhileStarting)
                producer.killAt = Clock::now() + producer.killDelay;
            break;
        case 'a':
        case 'r':
            ++producer.confirmed;
            break;
        case 'R':
            ++producer.recoveries;
            break;
        case 'P':
            producer.paused = true;
            producer.killed = kill(producer.pid, SIGKILL) == 0;
            break;
        default:
            break;
        }
    }
}

bool parseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return false;
        const long value = std::strtol(argv[++i], nullptr, 10);
        if (option == "--producers" && value >= 1 && value <= kMaxProducers)
            options->producers = int(value);
        else if (option == "--parallel" && value >= 1 && value <= 32)
            options->parallel = int(value);
        else if (option == "--seed" && value >= 0)
            options->seed = unsigned(value);
        else if (option == "--timeout" && value >= 1)
            options->timeoutSeconds = int(value);
        else
            return false;
    }
    return true;
}

int storm(const Options& options)
{
    const auto began = Clock::now();
    // A deadlock anywhere (the notifier thread, a producer, this loop) ends
    // the run here rather than hanging it.
    std::thread([seconds = options.timeoutSeconds]() {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        std::printf("FAIL: watchdog: the storm did not finish within %d s (deadlock)\n", seconds);
        std::fflush(stdout);
        _exit(1);
    }).detach();

    const int tallyFd = aboveProducerFds(memfd_create("storm-tally", MFD_CLOEXEC));
    if (tallyFd < 0 || ftruncate(tallyFd, 4096) != 0 || !mapTally(tallyFd)) {
        std::printf("FAIL: cannot make the shared tally: %s\n", std::strerror(errno));
        return 1;
    }
    shm_unlink(ZeltraDeviceDiscoveryNotifier::kSegmentName);
    // Connected before the nodes exist, so the segment starts with nothing
    // present and every posting below is a change.
    ZeltraDeviceDiscoveryNotifier reader;
    reader.setLockStageHook(&stormHook, nullptr);
    ZeltraDeviceDiscoveryNotifier own; // the storm's own postings
    own.setLockStageHook(&stormHook, nullptr);
    if (!reader.connect() || !own.connect()) {
        std::printf("FAIL: cannot create the arrival segment\n");
        return 1;
    }
    EmulatedCardBed bed;
    std::string error;
    for (int p = 0; p <= options.producers; ++p) {
        EmulatedCard card;
        if (!card.parse(p == options.producers ? kMarkerNode : nodeName(p), &error) || !bed.addCard(card, &error)) {
            std::printf("FAIL: emulated node: %s\n", error.c_str());
            return 1;
        }
    }
    CountingDelegate delegate;
    ZeltraDeviceNode marker;
    marker.fromPath(kMarkerNode);
    // The marker's arrival shows that the thread has reported the (empty)
    // presence and waits for events.
    if (!reader.waitForNotifications(&delegate) || !own.notify(&marker, true)
        || !waitUntil([&]() { return delegate.saw(kMarkerNode, true); }, 10000)) {
        std::printf("FAIL: the notifier thread did not start\n");
        return 1;
    }

    std::mt19937 random(options.seed);
    std::vector<Producer> producers(size_t(options.producers));
    for (Producer& producer : producers) {
        const unsigned roll = random() % 10;
        if (roll < 4) {
            producer.fate = Producer::Fate::kKillInLock;
            producer.pauseStage = int(Stage::kLocked) + int(random() % 4);
            producer.pauseEvent = int(random() % kEventsPerProducer);
        } else if (roll < 7) {
            producer.fate = Producer::Fate::kKillAnyTime;
            producer.killWhileStarting = random() % 4 == 0;
            // Four postings with pauses of 0.5 to 3.5 ms take about 8 ms.
            producer.killDelay = std::chrono::microseconds(random() % (producer.killWhileStarting ? 60000 : 10000));
        }
    }

    const auto producerLimit = std::chrono::seconds(20);
    size_t next = 0;
    int running = 0;
    bool stuck = false;
    while (next < producers.size() || running > 0) {
        while (running < options.parallel && next < producers.size()) {
            Producer& producer = producers[next];
            if (!start(producer, nodeName(int(next)), tallyFd)) {
                std::printf("FAIL: cannot start a producer: %s\n", std::strerror(errno));
                return 1;
            }
            if (producer.killWhileStarting)
                producer.killAt = producer.started + producer.killDelay;
            ++next;
            ++running;
        }
        std::vector<pollfd> watched;
        std::vector<Producer*> owners;
        for (Producer& producer : producers) {
            if (producer.running) {
                watched.push_back({producer.statusFd, POLLIN, 0});
                owners.push_back(&producer);
            }
        }
        poll(watched.data(), nfds_t(watched.size()), 1);
        const auto now = Clock::now();
        for (size_t i = 0; i < watched.size(); ++i) {
            Producer& producer = *owners[i];
            if (watched[i].revents)
                readStatus(producer);
            if (!producer.running) {
                --running;
                continue;
            }
            if (producer.fate == Producer::Fate::kKillAnyTime && !producer.killed && now >= producer.killAt)
                producer.killed = kill(producer.pid, SIGKILL) == 0;
            if (!producer.paused && now - producer.started > producerLimit) {
                std::printf("FAIL: producer for %s stuck for %lld s (deadlock)\n", nodeName(int(&producer - &producers[0])).c_str(),
                            static_cast<long long>(producerLimit.count()));
                kill(producer.pid, SIGKILL);
                producer.killed = true;
                stuck = true;
            }
        }
    }

    // A last posting of our own must still get through, and be reported.
    const bool markerSeen = own.notify(&marker, false)
                            && waitUntil([&]() { return delegate.saw(kMarkerNode, false); }, 10000);
    reader.disconnect();
    own.disconnect();

    // Compare what was posted with what was reported, node by node.
    const auto events = delegate.events();
    int killedStarting = 0, killedPosting = 0;
    int killedInLock = 0, killedElsewhere = 0, completed = 0, failedProducers = 0;
    int arrivalsPosted = 0, arrivalsSeen = 0, duplicates = 0, missing = 0, producerRecoveries = 0;
    for (size_t p = 0; p < producers.size(); ++p) {
        const Producer& producer = producers[p];
        const std::string node = nodeName(int(p));
        std::vector<bool> seen;
        for (const auto& event : events) {
            if (event.first == node)
                seen.push_back(event.second);
        }
        producerRecoveries += producer.recoveries;
        const bool wasKilled = WIFSIGNALED(producer.exitStatus) && WTERMSIG(producer.exitStatus) == SIGKILL;
        // Events certainly posted, and whether one more may have been (a
        // posting that returned just before the kill, unconfirmed).
        int certain = producer.confirmed;
        bool oneMore = false;
        if (wasKilled && producer.paused) {
            ++killedInLock;
            // Stopped inside posting pauseEvent: it counts once the write
            // index has moved on.
            certain = producer.pauseEvent + (producer.pauseStage == int(Stage::kAdvanced) ? 1 : 0);
        } else if (wasKilled) {
            ++killedElsewhere;
            ++(producer.connected ? killedPosting : killedStarting);
            oneMore = certain < kEventsPerProducer;
        } else if (WIFEXITED(producer.exitStatus) && WEXITSTATUS(producer.exitStatus) == 0
                   && producer.confirmed == kEventsPerProducer) {
            ++completed;
        } else {
            ++failedProducers;
        }
        const int posted = (oneMore && int(seen.size()) == certain + 1) ? certain + 1 : certain;
        for (int e = 0; e < posted; ++e)
            arrivalsPosted += eventIsArrival(e) ? 1 : 0;
        int inOrder = 0; // reported events that follow the posting order
        while (inOrder < int(seen.size()) && inOrder < posted && seen[size_t(inOrder)] == eventIsArrival(inOrder))
            ++inOrder;
        for (size_t e = 0; e < seen.size(); ++e)
            arrivalsSeen += seen[e] ? 1 : 0;
        for (size_t e = size_t(inOrder); e < seen.size(); ++e)
            duplicates += seen[e] ? 1 : 0; // beyond or against what was posted
        for (int e = inOrder; e < posted; ++e)
            missing += eventIsArrival(e) ? 1 : 0;
    }
    const int stormRecoveries = g_stormRecoveries.load();
    const double seconds = std::chrono::duration<double>(Clock::now() - began).count();

    std::printf("producers started        %d\n", options.producers);
    std::printf("killed inside the mutex  %d\n", killedInLock);
    std::printf("killed elsewhere         %d (%d before connecting, %d connected and posting)\n", killedElsewhere,
                killedStarting, killedPosting);
    std::printf("completed                %d\n", completed);
    std::printf("failed otherwise         %d\n", failedProducers);
    std::printf("arrivals posted          %d\n", arrivalsPosted);
    std::printf("arrivals seen            %d\n", arrivalsSeen);
    std::printf("duplicates               %d\n", duplicates);
    std::printf("missing                  %d\n", missing);
    std::printf("EOWNERDEAD recoveries    %d (this process %d, producers %d)\n",
                stormRecoveries + producerRecoveries, stormRecoveries, producerRecoveries);
    const uint32_t mostBehind = delegate.mostBehind();
    std::printf("reader most behind       %u postings (ring of %d)\n", unsigned(mostBehind), kRingSize);
    std::printf("wall time                %.2f s (seed %u, %d at a time)\n", seconds, options.seed, options.parallel);

    bool passed = true;
    const auto fail = [&passed](const std::string& why) {
        std::printf("FAIL: %s\n", why.c_str());
        passed = false;
    };
    if (stuck)
        fail("a producer was stuck");
    if (!markerSeen)
        fail("the notifier thread no longer reports events (deadlock)");
    if (!delegate.stopped().empty())
        fail("the notifier thread stopped: " + delegate.stopped());
    if (delegate.unnamed() > 0)
        fail("reported instances without a node path");
    if (failedProducers > 0)
        fail("producers that were not killed did not complete");
    // A reader more than a ring behind reads slots that newer postings
    // have overwritten (a writer never waits for readers): what is missing
    // or out of order then says nothing about the notifier.
    const bool overrun = mostBehind > uint32_t(kRingSize);
    if (!overrun && duplicates > 0)
        fail("arrivals reported twice or out of order");
    if (!overrun && missing > 0)
        fail("posted arrivals were not reported");
    // Every lock left by a producer killed in it is taken over by someone.
    if (stormRecoveries + producerRecoveries < killedInLock)
        fail("fewer dead owners recovered than producers killed holding the lock");
    if (passed && overrun) {
        std::printf("SKIPPED: the reader fell %u postings behind the %d-slot ring under this machine's load, so "
                    "lost or doubled arrivals cannot be told from overwritten slots; run fewer producers at a time\n",
                    unsigned(mostBehind), kRingSize);
        return 77;
    }
    std::printf("%s\n", passed ? "PASS" : "FAIL");
    return passed ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "produce") == 0)
        return produce(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));

    Options options;
    if (!parseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: pcie-owner-death-storm [--producers N (1-%d)] [--parallel K] [--seed S] [--timeout SECONDS]\n",
                     kMaxProducers);
        return 2;
    }
    if (!std::getenv("ZELTRA_PRIVATE_SHM")) {
        std::fprintf(stderr, "pcie-owner-death-storm: run it under scripts/private-shm; "
                             "it never touches the machine-wide arrival segment\n");
        return 2;
    }
    reexecUnderPreload(argv);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    return storm(options);
}
