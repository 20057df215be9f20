// ondavia-usbbus-run: starts a program with emulated units on a USB bus.
//
//   ondavia-usbbus-run [--units N] [--bootloader] [--app-version V] [--] program [arguments...]
//
// The units live in this process; the program reaches them through the
// umockdev preload, which this process and the program both run under,
// with UMOCKDEV_DIR and USB_DEVFS_PATH set. The exit status is the program's.

#include "appimage.h"
#include "usbdevfstestbed.h"
#include "xmegaunit.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: ondavia-usbbus-run [--units N] [--bootloader] [--app-version V] [--] program [arguments...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
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
    int first = 1;
    for (; first < argc; ++first) {
        const std::string option = argv[first];
        if (option == "--") {
            ++first;
            break;
        }
        if (option.rfind("--", 0) != 0)
            break;
        if (first + 1 >= argc && option != "--bootloader")
            return usage();
        if (option == "--units") {
            units = std::atoi(argv[++first]);
            if (units < 1 || units > 16)
                return usage();
        } else if (option == "--bootloader") {
            bootloader = true;
        } else if (option == "--app-version") {
            appVersion = std::strtol(argv[++first], nullptr, 0);
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
        unitList.push_back(std::move(unit));
    }
    // Declared after the units so that it goes first.
    xmegasim::UsbDevfsTestBed bed;
    for (auto& unit : unitList) {
        const int id = bed.addUnit(*unit);
        std::fprintf(stderr, "ondavia-usbbus-run: unit on %s\n", bed.nodePath(id).c_str());
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
        execvp(argv[first], argv + first);
        std::fprintf(stderr, "ondavia-usbbus-run: cannot run %s: %s\n", argv[first], std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
