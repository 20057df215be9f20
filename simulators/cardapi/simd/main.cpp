// zeltra-simd: keeps one card set of the card simulator for every program of
// the user's session that loads the simulator library. The library starts it
// when it finds none; it ends when the last of those programs has gone.

#include "carddescription.h"
#include "controlprotocol.h"
#include "filereader.h"
#include "linkserver.h"
#include "linkwire.h"
#include "preferencestore.h"
#include "simulator.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace cardsim;

namespace {

constexpr size_t kMaxDescriptionSize = 8 << 20;

// Exit codes the library tells apart.
enum Exit { Done = 0, Failed = 1, Usage = 2, OtherSet = 3 };

int fail(const std::string &text, int code = Failed)
{
    std::fprintf(stderr, "zeltra-simd: %s\n", text.c_str());
    return code;
}

int listenOn(const std::string &path, std::string &error)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        error = path + ": path too long for a socket";
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return -1;
    }
    // Whatever is there is left over: the library only starts a daemon while
    // holding the set's lock and finding nobody answering.
    unlink(path.c_str());
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(fd, 64) != 0) {
        error = path + ": " + std::strerror(errno);
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

int main(int argc, char **argv)
{
    std::string key;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--key" && i + 1 < argc)
            key = argv[++i];
        else if (argument == "--version")
            return std::puts("zeltra-simd (Ondavia simulators) " ONDAVIA_VERSION), Done;
        else
            return fail("usage: zeltra-simd --key KEY (started by the card simulator library)", Usage);
    }
    if (key.size() != 16 || key.find_first_not_of("0123456789abcdef") != std::string::npos)
        return fail("usage: zeltra-simd --key KEY (started by the card simulator library)", Usage);
    // Nothing of the starting program's stays open here.
    close_range(3, ~0u, 0);

    // The set is the one the starting program read: the same description
    // text, stored in the same folder.
    std::string text, error;
    const char *path = std::getenv("ZELTRA_SIMULATOR_CARDS");
    SimulatorDescription description;
    try {
        if (path == nullptr || path[0] == '\0') {
            text = kDefaultCardsJson;
            description = defaultDescription();
        } else {
            if (readRegularFile(path, kMaxDescriptionSize, text, error) != ReadResult::Ok)
                return fail(std::string(path) + ": cannot be read " + error, OtherSet);
            description = parseDescription(text, path);
        }
    } catch (const std::exception &e) {
        return fail(e.what(), OtherSet);
    }
    if (link::setKey(text, PreferenceStore::configFolder()) != key)
        return fail("the card description is not the one of set " + key, OtherSet);
    const std::string folder = control::runtimeFolder(error);
    if (folder.empty())
        return fail(error);
    if (mkdir(link::setsFolder(folder).c_str(), 0700) != 0 && errno != EEXIST)
        return fail(link::setsFolder(folder) + ": " + std::strerror(errno));
    const int listening = listenOn(link::linkPath(folder, key), error);
    if (listening < 0)
        return fail(error);

    // The starting program waits for us only until we listen; from here on
    // we live in a session of our own (an interrupt meant for that program
    // is not for us) and write to the set's log.
    const int quiet = open("/dev/null", O_RDWR | O_CLOEXEC);
    const int log = open(link::logPath(folder, key).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (quiet >= 0) {
        dup2(quiet, 0);
        dup2(log >= 0 ? log : quiet, 1);
        dup2(log >= 0 ? log : quiet, 2);
    }
    const pid_t child = fork();
    if (child < 0)
        return fail(std::string("fork: ") + std::strerror(errno));
    if (child > 0)
        _exit(Done);
    setsid();
    if (chdir("/") != 0) {
    }
    setvbuf(stderr, nullptr, _IOLBF, 0);
    if (FILE *pid = std::fopen(link::pidPath(folder, key).c_str(), "we")) {
        std::fprintf(pid, "%d\n", int(getpid()));
        std::fclose(pid);
    }

    // The simulator's thread inherits this mask: the ending signals reach
    // only the main thread, which waits for them or for the last program to go.
    struct sigaction action{};
    action.sa_handler = [](int) {};
    sigset_t ending;
    sigemptyset(&ending);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(s, &action, nullptr);
        sigaddset(&ending, s);
    }
    signal(SIGPIPE, SIG_IGN);
    sigset_t waiting;
    pthread_sigmask(SIG_BLOCK, &ending, &waiting);

    auto server = std::make_shared<LinkServer>(listening, folder, key);
    setProblemSink([server](const std::string &problem) { server->problem(problem); });
    std::weak_ptr<LinkServer> weak = server;
    Simulator::Service service;
    service.link = server.get();
    service.controlPath = link::controlPath(folder, key);
    service.notice = [weak](int card, uint32_t topic, uint64_t param) {
        if (auto s = weak.lock())
            s->notice(card, topic, param);
    };
    service.gate = [weak](std::function<void()> reply) {
        if (auto s = weak.lock())
            s->whenDelivered(std::move(reply));
        else
            reply();
    };
    service.bind = [weak](const std::shared_ptr<Simulator> &simulator) {
        if (auto s = weak.lock())
            s->bind(simulator);
    };
    std::shared_ptr<Simulator> simulator = Simulator::serve(std::move(description), service);
    server->watchDevices();

    pollfd idle{server->idleDescriptor(), POLLIN, 0};
    ppoll(&idle, 1, nullptr, &waiting);
    setProblemSink(nullptr);
    simulator.reset();
    Simulator::shutdownCurrent(true);
    server.reset();
    return Done;
}
