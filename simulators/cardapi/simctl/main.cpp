// zeltra-simctl: plugs and unplugs simulated cards and changes their live
// status in the card sets of running programs that use the card simulator
// library (each program's entry leads to its set's daemon).

#include "controlprotocol.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <poll.h>
#include <string>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

const char kUsage[] =
    "usage: zeltra-simctl [--pid PID] COMMAND [ARGUMENTS]\n"
    "\n"
    "Talks to every running program that uses the card simulator (or only to\n"
    "process PID) through its control socket in the user's runtime folder.\n"
    "\n"
    "commands:\n"
    "  list                               the cards, their index and whether plugged in\n"
    "  status CARD                        the card's live status values\n"
    "  plug CARD | unplug CARD            hot-plug a card (CARD may be \"all\")\n"
    "  signal CARD on|off                 input signal present or lost\n"
    "  format CARD MODE [FLAGS]           detected input format, e.g. Hp25 or 'pal '\n"
    "  reference CARD locked|unlocked [MODE [FLAGS]]\n"
    "  busy CARD idle|capture|playback|duplex|N\n"
    "  set CARD ITEM VALUE                any status item, e.g. set 0 plnk 2\n"
    "  config CARD                        the card's live configuration values\n"
    "  get CARD ITEM                      one configuration, status or attribute item\n"
    "\n"
    "CARD is an index shown by list or a persistent id written 0x...\n"
    "\n"
    "  -h, --help      print this help and exit\n"
    "      --version   print the version and exit\n";

struct Target
{
    pid_t pid;
    std::string path;
};

bool processAlive(pid_t pid)
{
    return kill(pid, 0) == 0 || errno == EPERM;
}

std::vector<Target> findTargets(const std::string &folder)
{
    std::vector<Target> targets;
    DIR *dir = opendir(folder.c_str());
    if (dir == nullptr)
        return targets;
    while (dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const size_t dot = name.find(".sock");
        if (dot == std::string::npos || dot + 5 != name.size() || dot == 0)
            continue;
        const std::string digits = name.substr(0, dot);
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
            continue;
        targets.push_back({pid_t(std::stol(digits)), folder + "/" + name});
    }
    closedir(dir);
    return targets;
}

enum class Outcome { Ok, Refused, Unreachable };

Outcome send(const Target &target, const std::string &request, std::string &reply)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (target.path.size() >= sizeof address.sun_path)
        return Outcome::Unreachable;
    std::memcpy(address.sun_path, target.path.c_str(), target.path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Outcome::Unreachable;
    if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        close(fd);
        return Outcome::Unreachable;
    }
    size_t written = 0;
    while (written < request.size()) {
        const ssize_t n = ::send(fd, request.data() + written, request.size() - written, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            close(fd);
            return Outcome::Unreachable;
        }
        written += size_t(n);
    }
    char buffer[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, 10000);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            close(fd);
            reply += "error: no reply within 10 seconds\n";
            return Outcome::Refused;
        }
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        reply.append(buffer, size_t(n));
        if (reply.size() > (1 << 20))
            break;
    }
    close(fd);
    if (reply.empty())
        return Outcome::Unreachable;
    return reply.compare(0, 3, "ok\n") == 0 ? Outcome::Ok : Outcome::Refused;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && arguments[0] == "--version") {
        std::puts("zeltra-simctl (Ondavia simulators) " ONDAVIA_VERSION);
        return 0;
    }
    pid_t onlyPid = 0;
    if (arguments.size() >= 2 && arguments[0] == "--pid") {
        char *end = nullptr;
        const long pid = std::strtol(arguments[1].c_str(), &end, 10);
        if (*end != '\0' || pid <= 0) {
            std::fprintf(stderr, "zeltra-simctl: \"%s\" is not a process id\n", arguments[1].c_str());
            return 2;
        }
        onlyPid = pid_t(pid);
        arguments.erase(arguments.begin(), arguments.begin() + 2);
    }
    if (arguments.empty() || arguments[0] == "-h" || arguments[0] == "--help" || arguments[0] == "help") {
        std::fputs(kUsage, arguments.empty() ? stderr : stdout);
        return arguments.empty() ? 2 : 0;
    }

    std::string error;
    const std::string folder = cardsim::control::runtimeFolder(error);
    if (folder.empty()) {
        std::fprintf(stderr, "zeltra-simctl: %s\n", error.c_str());
        return 2;
    }
    std::vector<Target> targets;
    for (const Target &t : findTargets(folder)) {
        if (onlyPid == 0 || t.pid == onlyPid)
            targets.push_back(t);
    }

    const std::string request = cardsim::control::joinArguments(arguments);
    // Sockets nobody answers on (left by a program that ended without
    // tidying up) are skipped without a word: the output is the same as if
    // they were not there, which scripts that compare it rely on.
    struct Answer
    {
        pid_t pid;
        Outcome outcome;
        std::string body;
    };
    std::vector<Answer> answers;
    // The programs of one card set all name its daemon's socket: it is told once.
    std::set<std::pair<dev_t, ino_t>> reachedSockets;
    for (const Target &target : targets) {
        struct stat info;
        // The entry of a program that ended without tidying up leads to its
        // set (or nowhere): the set is reached through its live programs.
        if (lstat(target.path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) && !processAlive(target.pid)) {
            unlink(target.path.c_str());
            continue;
        }
        if (stat(target.path.c_str(), &info) == 0 && !reachedSockets.insert({info.st_dev, info.st_ino}).second)
            continue;
        std::string reply;
        const Outcome outcome = send(target, request, reply);
        if (outcome == Outcome::Unreachable) {
            if (!processAlive(target.pid))
                unlink(target.path.c_str());
            continue;
        }
        answers.push_back({target.pid, outcome, outcome == Outcome::Ok ? reply.substr(3) : reply});
    }
    const int reached = int(answers.size());
    bool failed = false;
    for (const Answer &answer : answers) {
        failed = failed || answer.outcome == Outcome::Refused;
        if (reached > 1 && !answer.body.empty())
            std::printf("[%d]\n", int(answer.pid));
        std::fflush(stdout);
        std::fputs(answer.body.c_str(), answer.outcome == Outcome::Ok ? stdout : stderr);
    }
    if (reached == 0) {
        if (onlyPid != 0)
            std::fprintf(stderr, "zeltra-simctl: process %d runs no card simulator (looked in %s)\n", int(onlyPid), folder.c_str());
        else
            std::fprintf(stderr, "zeltra-simctl: no running card simulator found in %s\n", folder.c_str());
        return 2;
    }
    return failed ? 1 : 0;
}
