// bench-mapwatch: starts a program on the X display and reports how long it
// took until its first top-level window was mapped, and the peak resident
// memory of the process that owns that window a while later.
//
//   bench-mapwatch [--settle MS] [--timeout MS] [--process NAME] -- program [arguments...]
//
// Prints one line "mapped_ms=<ms> rss_kib=<KiB> pid=<pid>" and ends the
// program (its whole process group). The window's owner is found through
// _NET_WM_PID, so a program started through a wrapper is measured itself;
// --process NAME picks the process of that name in the group instead and
// measures without waiting for a window.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

double nowMs()
{
    timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

int usage()
{
    std::fprintf(stderr, "usage: bench-mapwatch [--settle MS] [--timeout MS] [--process NAME] -- program [arguments...]\n");
    return 2;
}

// VmHWM of a process in KiB; -1 when it cannot be read.
long peakRssKib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// The process named `name` whose process group is `group`; 0 when none.
pid_t findInGroup(pid_t group, const std::string& name)
{
    DIR* proc = opendir("/proc");
    if (!proc)
        return 0;
    pid_t found = 0;
    while (dirent* entry = readdir(proc)) {
        const pid_t pid = pid_t(std::strtol(entry->d_name, nullptr, 10));
        if (pid <= 0)
            continue;
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        // pid (comm) state ppid pgrp ...; comm may hold blanks and parentheses.
        const size_t open = text.find('('), close = text.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open)
            continue;
        const std::string comm = text.substr(open + 1, close - open - 1);
        int ppid = 0, pgrp = 0;
        char state = 0;
        if (std::sscanf(text.c_str() + close + 1, " %c %d %d", &state, &ppid, &pgrp) != 3)
            continue;
        // comm is cut to 15 characters by the kernel.
        if (pgrp == group && name.compare(0, 15, comm) == 0) {
            found = pid;
            break;
        }
    }
    closedir(proc);
    return found;
}

pid_t windowPid(Display* display, Window window)
{
    const Atom atom = XInternAtom(display, "_NET_WM_PID", True);
    if (atom == None)
        return 0;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    pid_t pid = 0;
    if (XGetWindowProperty(display, window, atom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data)
            == Success
        && data && format == 32 && count == 1)
        pid = pid_t(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

void endGroup(pid_t child)
{
    kill(-child, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        int status = 0;
        const pid_t r = waitpid(child, &status, WNOHANG);
        if (r == child || (r < 0 && errno == ECHILD)) {
            kill(-child, SIGKILL); // anything the wrapper left behind
            return;
        }
        usleep(10000);
    }
    kill(-child, SIGKILL);
    waitpid(child, nullptr, 0);
}

} // namespace

int main(int argc, char** argv)
{
    int settleMs = 1000, timeoutMs = 30000;
    std::string processName;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string a = argv[first];
        if (a == "--") {
            ++first;
            break;
        }
        if (first + 1 >= argc)
            return usage();
        if (a == "--settle")
            settleMs = std::atoi(argv[++first]);
        else if (a == "--timeout")
            timeoutMs = std::atoi(argv[++first]);
        else if (a == "--process")
            processName = argv[++first];
        else
            return usage();
    }
    if (first >= argc)
        return usage();

    Display* display = nullptr;
    if (processName.empty()) {
        // A display busy with the last program's going may refuse at first.
        for (int attempt = 0; attempt < 20 && !display; ++attempt) {
            display = XOpenDisplay(nullptr);
            if (!display)
                usleep(100000);
        }
        if (!display) {
            std::fprintf(stderr, "bench-mapwatch: no X display\n");
            return 1;
        }
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        XSync(display, False);
    }

    const double start = nowMs();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("bench-mapwatch: fork");
        return 1;
    }
    if (child == 0) {
        setpgid(0, 0);
        execvp(argv[first], argv + first);
        std::fprintf(stderr, "bench-mapwatch: cannot run %s: %s\n", argv[first], std::strerror(errno));
        _exit(127);
    }
    setpgid(child, child);

    double mapped = -1;
    pid_t measured = child;
    if (display) {
        const int fd = ConnectionNumber(display);
        while (mapped < 0) {
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(display)
                    && !event.xmap.override_redirect && mapped < 0) {
                    mapped = nowMs() - start;
                    if (const pid_t owner = windowPid(display, event.xmap.window))
                        measured = owner;
                }
            }
            if (mapped >= 0)
                break;
            const int left = int(start + timeoutMs - nowMs());
            if (left <= 0 || waitpid(child, nullptr, WNOHANG) == child) {
                std::fprintf(stderr, "bench-mapwatch: %s mapped no window\n", argv[first]);
                endGroup(child);
                return 1;
            }
            pollfd p {fd, POLLIN, 0};
            poll(&p, 1, std::min(left, 50));
        }
    }
    usleep(useconds_t(settleMs) * 1000);
    if (!processName.empty()) {
        measured = findInGroup(child, processName);
        if (!measured) {
            std::fprintf(stderr, "bench-mapwatch: no process %s\n", processName.c_str());
            endGroup(child);
            return 1;
        }
    }
    const long rss = peakRssKib(measured);
    endGroup(child);
    if (display)
        XCloseDisplay(display);
    if (rss < 0) {
        std::fprintf(stderr, "bench-mapwatch: the process %d was gone before its memory was read\n", int(measured));
        return 1;
    }
    if (mapped >= 0)
        std::printf("mapped_ms=%.1f rss_kib=%ld pid=%d\n", mapped, rss, int(measured));
    else
        std::printf("mapped_ms=- rss_kib=%ld pid=%d\n", rss, int(measured));
    return 0;
}
