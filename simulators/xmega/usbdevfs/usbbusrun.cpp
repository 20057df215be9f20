// ondavia-usbbus-run: starts a program with emulated units on a USB bus.
//
//   ondavia-usbbus-run [--units N] [--bootloader] [--app-version V] [--fpga-version W] [--control]
//                      [--] program [arguments...]
//
// The units live in this process; the program reaches them through the
// umockdev preload, which this process and the program both run under,
// with UMOCKDEV_DIR and USB_DEVFS_PATH set. The exit status is the program's.
//
// With --control, the cable of each unit is driven from standard input while
// the program runs, one command a line: "unplug N" or "plug N" (N counts
// the units from 0). Each is answered on standard output with "ok" once the
// unit's node has left or reached the bus, or "error". The first line of
// standard output is "pid P", the program's process id.

#include "appimage.h"
#include "usbdevfstestbed.h"
#include "xmegaunit.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kUsage[] = "usage: ondavia-usbbus-run [--units N] [--bootloader] [--app-version V] [--fpga-version W] "
                      "[--control] [--] program [arguments...]\n";

int usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

// Answered before the restart under the preload, which they do not need.
bool answeredHelpOrVersion(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--" || option.rfind("--", 0) != 0)
            return false;
        if (option == "--help") {
            std::fputs(kUsage, stdout);
            std::puts("\nRuns program with emulated Ondavia USB units on a simulated USB bus.\n"
                      "\n"
                      "  --units N          number of units on the bus, 1 to 16 (default 1)\n"
                      "  --bootloader       the units start in their bootloader\n"
                      "  --app-version V    controller application version of the units\n"
                      "  --fpga-version W   FPGA image version of the units, 0 to 255\n"
                      "  --control          unplug and plug the units by commands on standard input\n"
                      "  --help             print this help and exit\n"
                      "  --version          print the version and exit");
            return true;
        }
        if (option == "--version") {
            std::puts("ondavia-usbbus-run (Ondavia simulators) " ONDAVIA_VERSION);
            return true;
        }
        if (option != "--bootloader" && option != "--control")
            ++i; // the option's value
    }
    return false;
}

bool waitForNode(const xmegasim::UsbDevfsTestBed& bed, int id, bool present)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((bed.deviceAddress(id) != 0) != present) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Answers the cable commands of standard input until it ends.
void runControl(xmegasim::UsbDevfsTestBed& bed, std::vector<std::unique_ptr<xmegasim::XmegaUnit>>& units,
                const std::vector<int>& ids)
{
    char line[128];
    while (std::fgets(line, sizeof line, stdin)) {
        char command[16] = {};
        unsigned index = 0;
        bool ok = std::sscanf(line, "%15s %u", command, &index) == 2 && index < units.size();
        const std::string what = command;
        if (ok && what == "unplug") {
            units[index]->unplug();
            ok = waitForNode(bed, ids[index], false);
        } else if (ok && what == "plug") {
            units[index]->plugIn();
            ok = waitForNode(bed, ids[index], true);
        } else {
            ok = false;
        }
        std::printf("%s\n", ok ? "ok" : "error");
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (answeredHelpOrVersion(argc, argv))
        return 0;
    // The test bed's own announcements need the preload too.
    if (!xmegasim::UsbDevfsTestBed::preloadActive()) {
        std::string preload = "libumockdev-preload.so.0";
        if (const char* existing = std::getenv("LD_PRELOAD"); existing && *existing)
            preload += std::string(":") + existing;
        setenv("LD_PRELOAD", preload.c_str(), 1);
        if (!std::getenv("ASAN_OPTIONS"))
            setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
        execv("/proc/self/exe", argv);
        std::perror("ondavia-usbbus-run: cannot restart under the umockdev preload");
        return 1;
    }
    int units = 1;
    bool bootloader = false;
    long appVersion = -1;
    long fpgaVersion = -1;
    bool control = false;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string option = argv[first];
        if (option == "--") {
            ++first;
            break;
        }
        if (option.rfind("--", 0) != 0)
            break;
        const bool flag = option == "--bootloader" || option == "--control";
        if (first + 1 >= argc && !flag)
            return usage();
        if (option == "--units") {
            units = std::atoi(argv[++first]);
            if (units < 1 || units > 16)
                return usage();
        } else if (option == "--bootloader") {
            bootloader = true;
        } else if (option == "--app-version") {
            appVersion = std::strtol(argv[++first], nullptr, 0);
        } else if (option == "--fpga-version") {
            fpgaVersion = std::strtol(argv[++first], nullptr, 0);
            if (fpgaVersion < 0 || fpgaVersion > 255)
                return usage();
        } else if (option == "--control") {
            control = true;
        } else {
            return usage();
        }
    }
    if (first >= argc)
        return usage();

    std::vector<std::unique_ptr<xmegasim::XmegaUnit>> unitList;
    for (int i = 0; i < units; ++i) {
        xmegasim::UnitConfig config;
        config.uuid[15] = static_cast<uint8_t>(config.uuid[15] + i);
        config.startInBootloader = bootloader;
        auto unit = std::make_unique<xmegasim::XmegaUnit>(config);
        if (appVersion >= 0)
            unit->loadApplication(xmegasim::AppImage::build(static_cast<uint32_t>(appVersion), 4096));
        if (fpgaVersion >= 0) {
            // A whole image: a valid version header with its last two bytes written.
            std::vector<uint8_t> image(4096, 0x5A);
            image[0] = 0;
            image[1] = static_cast<uint8_t>(fpgaVersion);
            image[2] = 0x3C;
            image[3] = 0xC3;
            unit->setEepromContents(0, 0, image);
        }
        unitList.push_back(std::move(unit));
    }
    // Declared after the units so that it goes first.
    xmegasim::UsbDevfsTestBed bed;
    std::vector<int> ids;
    for (auto& unit : unitList) {
        ids.push_back(bed.addUnit(*unit));
        std::fprintf(stderr, "ondavia-usbbus-run: unit on %s\n", bed.nodePath(ids.back()).c_str());
    }

    // The program gets the terminal's signals; this process waits for it.
    signal(SIGINT, SIG_IGN);
    signal(SIGTERM, SIG_IGN);
    const pid_t child = fork();
    if (child < 0) {
        std::perror("ondavia-usbbus-run: fork");
        return 1;
    }
    if (child == 0) {
        signal(SIGINT, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        if (control) {
            // The commands are for this process only.
            const int null = open("/dev/null", O_RDONLY);
            if (null >= 0)
                dup2(null, STDIN_FILENO);
        }
        execvp(argv[first], argv + first);
        std::fprintf(stderr, "ondavia-usbbus-run: cannot run %s: %s\n", argv[first], std::strerror(errno));
        _exit(127);
    }
    if (control) {
        std::printf("pid %d\n", static_cast<int>(child));
        std::fflush(stdout);
        runControl(bed, unitList, ids);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
