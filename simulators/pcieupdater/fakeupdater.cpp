// Stand-in for the external firmware updater run by MorvaneFirmwareUpdaterGui.
//
//   MorvaneFirmwareUpdater -gui status [path]
//   MorvaneFirmwareUpdater -gui update path
//   MorvaneFirmwareUpdater -gui ignore-version path
//   MorvaneFirmwareUpdater -gui update-cancelled path
//
// Cards and behaviour come from the JSON file named by
// MORVANE_FAKE_UPDATER_CONFIG (see README.md beside this file). Every command
// is appended to the log file, so tests can check what the front end asked.
#include "fakeupdaterconfig.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

constexpr int32_t kFail = 0x6661696C;

void logCommand(const FakeUpdaterConfig& config, int argc, char** argv)
{
    if (config.logPath.empty())
        return;
    std::ofstream log(config.logPath, std::ios::app);
    for (int i = 1; i < argc; ++i)
        log << (i > 1 ? " " : "") << argv[i];
    log << '\n';
}

void sleepMs(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A hanging updater leaves its process id in <log>.hung, so that a test can
// see that it was killed.
[[noreturn]] void hang(const FakeUpdaterConfig& config)
{
    if (!config.logPath.empty()) {
        std::ofstream pid(config.logPath + ".hung", std::ios::trunc);
        pid << getpid() << '\n';
    }
    for (;;)
        pause();
}

std::string statusLine(const FakeUpdaterConfig& config, const FakeCard& card)
{
    auto st = config.state.find(card.path);
    bool needs = card.needsUpdate && !(st != config.state.end() && st->second == "updated");
    bool suppressed = card.suppressed || (st != config.state.end() && st->second == "ignored");
    return std::string(needs ? "1" : "0") + ":" + (suppressed ? "1" : "0") + ":" + card.path + ":" + card.code +
           ":" + card.name;
}

int status(const FakeUpdaterConfig& config, const char* path)
{
    if (!path) {
        for (const FakeCard& card : config.cards)
            std::printf("%s\n", statusLine(config, card).c_str());
        return 0;
    }
    const FakeCard* card = config.find(path);
    if (!card) {
        std::fprintf(stderr, "MorvaneFirmwareUpdater: no device at %s\n", path);
        return 1;
    }
    if (card->statusMisbehave == "hang")
        hang(config);
    if (card->statusMisbehave == "exit-nonzero") {
        std::printf("%s", statusLine(config, *card).c_str());
        return 4;
    }
    if (card->statusMisbehave == "garbage") {
        std::printf("\x01\x02garbage:::\n");
        return 0;
    }
    std::printf("%s", statusLine(config, *card).c_str());
    return 0;
}

int update(FakeUpdaterConfig& config, const char* path)
{
    const FakeCard* card = config.find(path);
    if (!card) {
        std::fprintf(stderr, "MorvaneFirmwareUpdater: no device at %s\n", path);
        return 1;
    }
    const std::string& how = card->updateMisbehave;
    if (how == "hang")
        hang(config);
    if (how == "exit-nonzero")
        return 3;
    if (how == "silent")
        return 0;
    if (how == "garbage") {
        std::printf("garbage\n:::\n\xff\xfe\nnot-a-number:zz\n");
        return 0;
    }
    if (how == "odd-values") {
        // Percentages no bar can show, before the configured ones.
        std::printf("nan:0\ninf:0\n-inf:0\n250:0\n-5:0\n1e300:0\n");
        std::fflush(stdout);
    }
    if (how == "long-line") {
        std::printf("%s\n", std::string(300, '7').c_str());
        std::fflush(stdout);
    }
    for (size_t i = 0; i < card->progress.size(); ++i) {
        sleepMs(card->paceMs);
        bool last = i + 1 == card->progress.size();
        if (how == "no-outcome") {
            std::printf("%g\n", card->progress[i]);
        } else if (how == "split-line" && i == 0) {
            // One line in two writes: the reader must join them.
            std::printf("37.");
            std::fflush(stdout);
            sleepMs(card->paceMs + 50);
            std::printf("5:0\n");
        } else {
            std::printf("%g:%d\n", card->progress[i], last ? card->outcome : 0);
        }
        std::fflush(stdout);
    }
    if (how != "no-outcome" && card->outcome != kFail && !card->progress.empty()) {
        config.state[card->path] = "updated";
        config.saveState();
    }
    return 0;
}

const char kUsage[] = "usage: MorvaneFirmwareUpdater -gui status [path]\n"
                      "       MorvaneFirmwareUpdater -gui update|ignore-version|update-cancelled path\n";

int usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

// --help and --version, alone, come before the settings are read: they need none.
bool answeredHelpOrVersion(int argc, char** argv)
{
    if (argc != 2)
        return false;
    const std::string option = argv[1];
    if (option == "--help" || option == "-h") {
        std::fputs(kUsage, stdout);
        std::puts("\nThe stand-in for the driver's command-line updater: it answers from the JSON\n"
                  "file named by MORVANE_FAKE_UPDATER_CONFIG and logs each command line to the\n"
                  "file named by MORVANE_FAKE_UPDATER_LOG.\n"
                  "\n"
                  "  -h, --help      print this help and exit\n"
                  "      --version   print the version and exit");
        return true;
    }
    if (option == "--version") {
        std::puts("MorvaneFirmwareUpdater (Ondavia simulators) " ONDAVIA_VERSION);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (answeredHelpOrVersion(argc, argv))
        return 0;
    FakeUpdaterConfig config;
    std::string error;
    if (!config.load(error)) {
        std::fprintf(stderr, "MorvaneFirmwareUpdater: %s\n", error.c_str());
        return 5;
    }
    logCommand(config, argc, argv);

    if (argc < 3 || std::string(argv[1]) != "-gui")
        return usage();
    const std::string command = argv[2];
    const char* path = argc > 3 ? argv[3] : nullptr;

    if (command == "status")
        return status(config, path);
    if (!path)
        return usage();
    if (command == "update")
        return update(config, path);
    if (command == "ignore-version") {
        if (config.find(path)) {
            config.state[path] = "ignored";
            config.saveState();
        }
        return 0;
    }
    if (command == "update-cancelled")
        return 0;
    return usage();
}
