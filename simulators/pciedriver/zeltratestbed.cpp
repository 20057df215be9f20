// zeltra-testbed: runs a program inside a umockdev test bed with emulated
// card nodes under /dev/morvane (see README.md).

#include "emulatedcardbed.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <glib-unix.h>
#include <glib.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

const char kDefaultCards[] = "dv0; dv1";

struct Run {
    GMainLoop* loop = nullptr;
    GPid child = 0;
    int exitStatus = 1;
};

void usage()
{
    std::fprintf(stderr,
                 "usage: zeltra-testbed [--cards FILE] [--card \"NODE [key=value...]\"]... [--] COMMAND [ARG...]\n"
                 "Runs COMMAND with emulated card nodes under /dev/morvane. Without --cards or --card the\n"
                 "cards come from ZELTRA_EMULATED_CARDS (entries separated by ';'), else \"%s\".\n",
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
            usage();
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
