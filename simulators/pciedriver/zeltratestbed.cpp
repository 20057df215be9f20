// zeltra-testbed: runs a program inside a umockdev test bed with emulated
// card nodes under /dev/morvane (see README.md).

#include "emulatedcardbed.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <glib-unix.h>
#include <glib.h>
#include <sstream>
#include <string>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const char kDefaultCards[] = "dv0; dv1";

bool writeText(const char* path, const std::string& text)
{
    const int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = write(fd, text.data(), text.size()) == ssize_t(text.size());
    close(fd);
    return written;
}

// The card arrival segment lives under /dev/shm with one machine-wide name
// that a user's daemon or the driver suite may be using. The program run
// here gets a mount namespace with a fresh tmpfs on /dev/shm instead: a
// plain one for root, one inside a user namespace (keeping the caller's ids)
// for everyone else. Must run while the process has a single thread.
bool enterPrivateShm(std::string* error)
{
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWNS) != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            *error = std::strerror(errno);
            return false;
        }
        if (!writeText("/proc/self/setgroups", "deny")
            || !writeText("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1")
            || !writeText("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1")) {
            *error = "cannot map the user into its namespace";
            return false;
        }
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || mount("tmpfs", "/dev/shm", "tmpfs", MS_NOSUID | MS_NODEV, "mode=1777") != 0) {
        *error = std::strerror(errno);
        return false;
    }
    setenv("ZELTRA_PRIVATE_SHM", "1", 1);
    return true;
}

struct Run {
    GMainLoop* loop = nullptr;
    GPid child = 0;
    int exitStatus = 1;
};

void usage(FILE* to = stderr)
{
    std::fprintf(to,
                 "usage: zeltra-testbed [--cards FILE] [--card \"NODE [key=value...]\"]... [--] COMMAND [ARG...]\n"
                 "Runs COMMAND with emulated card nodes under /dev/morvane. Without --cards or --card the\n"
                 "cards come from ZELTRA_EMULATED_CARDS (entries separated by ';'), else \"%s\".\n"
                 "  -h, --help     print this help and exit\n"
                 "  --version      print the version and exit\n",
                 kDefaultCards);
}

gboolean forwardSignal(gpointer data)
{
    // The signal number is not passed to the callback; one source per signal.
    auto* pair = static_cast<std::pair<Run*, int>*>(data);
    if (pair->first->child > 0)
        kill(pair->first->child, pair->second);
    return G_SOURCE_CONTINUE;
}

void childExited(GPid, gint status, gpointer data)
{
    auto* run = static_cast<Run*>(data);
    if (WIFEXITED(status))
        run->exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run->exitStatus = 128 + WTERMSIG(status);
    g_spawn_close_pid(run->child);
    run->child = 0;
    g_main_loop_quit(run->loop);
}

} // namespace

int main(int argc, char** argv)
{
    std::string description;
    bool described = false;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string arg = argv[first];
        if (arg == "--") {
            ++first;
            break;
        }
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        if (arg == "--version") {
            std::puts("zeltra-testbed (Ondavia simulators) " ONDAVIA_VERSION);
            return 0;
        }
        if (arg == "--cards" && first + 1 < argc) {
            std::ifstream file(argv[++first]);
            if (!file) {
                std::fprintf(stderr, "zeltra-testbed: cannot read %s\n", argv[first]);
                return 2;
            }
            std::stringstream text;
            text << file.rdbuf();
            description += text.str() + "\n";
            described = true;
            continue;
        }
        if (arg == "--card" && first + 1 < argc) {
            description += std::string(argv[++first]) + "\n";
            described = true;
            continue;
        }
        if (arg.compare(0, 2, "--") == 0) {
            usage();
            return 2;
        }
        break;
    }
    if (first >= argc) {
        usage();
        return 2;
    }
    if (!described) {
        const char* fromEnvironment = g_getenv("ZELTRA_EMULATED_CARDS");
        description = fromEnvironment ? fromEnvironment : kDefaultCards;
    }

    std::vector<EmulatedCard> cards;
    std::string error;
    // Already private when run under scripts/private-shm beside a poster.
    if (!std::getenv("ZELTRA_PRIVATE_SHM") && !enterPrivateShm(&error)) {
        std::fprintf(stderr, "zeltra-testbed: cannot give the program a private /dev/shm (%s); refusing to "
                             "run it beside the machine-wide card arrival segment\n", error.c_str());
        return 3;
    }
    if (!EmulatedCard::parseList(description, &cards, &error)) {
        std::fprintf(stderr, "zeltra-testbed: %s\n", error.c_str());
        return 2;
    }
    EmulatedCardBed bed;
    if (!bed.addCards(cards, &error)) {
        std::fprintf(stderr, "zeltra-testbed: %s\n", error.c_str());
        return 2;
    }

    gchar** environment = g_get_environ();
    environment = g_environ_setenv(environment, "LD_PRELOAD", EmulatedCardBed::preloadEnvironment().c_str(), TRUE);
    Run run;
    GError* spawnError = nullptr;
    const gboolean started = g_spawn_async(nullptr, argv + first, environment,
                                           GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD
                                                       | G_SPAWN_CHILD_INHERITS_STDIN),
                                           nullptr, nullptr, &run.child, &spawnError);
    g_strfreev(environment);
    if (!started) {
        std::fprintf(stderr, "zeltra-testbed: cannot start %s: %s\n", argv[first], spawnError->message);
        g_error_free(spawnError);
        return 127;
    }

    run.loop = g_main_loop_new(nullptr, FALSE);
    std::pair<Run*, int> forwards[] = {{&run, SIGTERM}, {&run, SIGINT}, {&run, SIGHUP}};
    std::vector<guint> sources;
    for (auto& forward : forwards)
        sources.push_back(g_unix_signal_add(forward.second, &forwardSignal, &forward));
    g_child_watch_add(run.child, &childExited, &run);
    g_main_loop_run(run.loop);
    for (guint source : sources)
        g_source_remove(source);
    g_main_loop_unref(run.loop);
    return run.exitStatus;
}
