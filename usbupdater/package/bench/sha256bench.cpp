// sha256-bench: how fast the updater checks a large package, next to
// "openssl dgst -sha256" on the same file. A measurement, not a test.

#include "firmwarepackage.h"
#include "firmwareunpacker.h"
#include "packagewriter.h"
#include "resource.h"
#include "sha2.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace MVNFirmwarePackage;
using Clock = std::chrono::steady_clock;

namespace {

constexpr uint32_t kDeviceId = UsbDeviceId(0xF0DA, 0x7EAA);

double seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double cpuSeconds(const rusage& u)
{
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ownCpu()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return cpuSeconds(u);
}

// Wall-clock and processor time of one run. On a shared machine the
// processor time is the steadier figure.
struct Timing
{
    double wall = -1;
    double cpu = -1;
};

// Measures a call made in this process.
template <typename F>
Timing measure(F&& call)
{
    const double cpu0 = ownCpu();
    const auto start = Clock::now();
    call();
    Timing t;
    t.wall = seconds(start);
    t.cpu = ownCpu() - cpu0;
    return t;
}

// Runs "openssl dgst -sha256 path" with its output thrown away; negative
// times when it could not run or failed.
Timing timeOpenssl(const std::string& path)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string a0 = "openssl", a1 = "dgst", a2 = "-sha256", a3 = path;
    char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "openssl", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    Timing t;
    if (rc != 0)
        return t;
    int status = 0;
    rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return t;
    t.wall = seconds(start);
    t.cpu = cpuSeconds(usage);
    return t;
}

// The package check through the reader: the file read into memory and its
// digest compared; asking for a device the package doesn't name copies nothing.
bool check(const std::string& path)
{
    FirmwareUnpacker unpacker;
    unpacker.init(path);
    ResourceList list;
    return unpacker.queryResources(USB, kDeviceId + 1, list) == ERROR_OK && list.empty();
}

// What the updater runs before writing: check plus copying the image out.
bool query(const std::string& path)
{
    FirmwareUnpacker unpacker;
    unpacker.init(path);
    ResourceList list;
    const bool ok = unpacker.queryResources(USB, kDeviceId, list) == ERROR_OK && list.size() == 1;
    FreeResourceList(list);
    return ok;
}

double hashSpeed(Sha2::Engine engine, const std::vector<uint8_t>& data)
{
    Sha2 sha(engine);
    uint8_t digest[Sha2::kDigestSize];
    const auto start = Clock::now();
    sha.getSha2(data.data(), data.size(), digest);
    return double(data.size()) / seconds(start) / (1024.0 * 1024.0);
}

void usage()
{
    std::fprintf(stderr, "Usage: sha256-bench [--size MIB] [--runs N] [--dir FOLDER]\n");
    std::exit(2);
}

} // namespace

int main(int argc, char** argv)
{
    uint64_t mib = 256;
    int runs = 5;
    std::string dir = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            usage();
        if (a == "--size")
            mib = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--runs")
            runs = std::atoi(argv[++i]);
        else if (a == "--dir")
            dir = argv[++i];
        else
            usage();
    }
    if (mib == 0 || runs <= 0)
        usage();

    const uint64_t size = mib * 1024 * 1024;
    const std::string path = dir + "/sha256-bench-" + std::to_string(getpid()) + ".bin";

    // Incompressible-looking filler; the hash does not care, the page cache might.
    ImageSpec image;
    image.data.resize(size - kDigestSize - kResourceFixedHeaderSize - kMaxDeviceHeaderLength);
    uint64_t x = 0x9E3779B97F4A7C15ULL;
    for (size_t i = 0; i + 8 <= image.data.size(); i += 8) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        std::memcpy(image.data.data() + i, &x, 8);
    }
    image.format = XMEGA;
    DeviceHeaderSpec device;
    device.device_id = kDeviceId;
    image.devices.push_back(device);
    PackageWriter writer;
    writer.addImage(image);
    std::string error;
    if (!writer.writeFile(path, &error)) {
        std::fprintf(stderr, "sha256-bench: %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }

    std::printf("package: %s, %llu MiB, best of %d runs, file in the page cache\n", path.c_str(),
                (unsigned long long)mib, runs);
    std::printf("SHA extensions: %s\n", Sha2::shaExtensionsAvailable() ? "yes (used)" : "no");

    const std::vector<uint8_t>& data = image.data;
    std::printf("in-memory SHA-256: %.0f MiB/s accelerated path, %.0f MiB/s portable path\n",
                hashSpeed(Sha2::Engine::Auto, data), hashSpeed(Sha2::Engine::Portable, data));

    Timing bestOpenssl{1e9, 1e9}, bestCheck{1e9, 1e9}, bestQuery{1e9, 1e9};
    auto keepBest = [](Timing& best, const Timing& t) {
        best.wall = std::min(best.wall, t.wall);
        best.cpu = std::min(best.cpu, t.cpu);
    };
    bool opensslRan = true, ok = true;
    timeOpenssl(path); // warm the page cache
    for (int i = 0; i < runs; ++i) {
        const Timing o = timeOpenssl(path);
        if (o.wall < 0)
            opensslRan = false;
        else
            keepBest(bestOpenssl, o);
        keepBest(bestCheck, measure([&] { ok = check(path) && ok; }));
        keepBest(bestQuery, measure([&] { ok = query(path) && ok; }));
    }
    std::remove(path.c_str());

    if (!ok) {
        std::fprintf(stderr, "sha256-bench: the package did not verify\n");
        return 1;
    }
    std::printf("                                  wall      processor\n");
    std::printf("package check (read + digest):   %.3f s   %.3f s\n", bestCheck.wall, bestCheck.cpu);
    std::printf("full query (check + image copy): %.3f s   %.3f s\n", bestQuery.wall, bestQuery.cpu);
    if (!opensslRan) {
        std::printf("openssl dgst -sha256: could not run; no comparison\n");
        return 0;
    }
    std::printf("openssl dgst -sha256:            %.3f s   %.3f s\n", bestOpenssl.wall, bestOpenssl.cpu);
    const double wallRatio = bestOpenssl.wall / bestCheck.wall;
    const double cpuRatio = bestOpenssl.cpu / bestCheck.cpu;
    std::printf("speed of the check relative to openssl: %.2fx wall, %.2fx processor time "
                "(target 0.80x or better: %s)\n",
                wallRatio, cpuRatio, std::max(wallRatio, cpuRatio) >= 0.8 ? "met" : "NOT met");
    std::printf("speed of the full query relative to openssl: %.2fx wall, %.2fx processor time\n",
                bestOpenssl.wall / bestQuery.wall, bestOpenssl.cpu / bestQuery.cpu);
    return 0;
}
