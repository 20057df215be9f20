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

// Runs "openssl dgst -sha256 path" with its output thrown away; seconds, or
// a negative value when it could not run or failed.
double timeOpenssl(const std::string& path)
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
    if (rc != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return seconds(start);
}

// The package check through the reader: the file read into memory and its
// digest compared; asking for a device the package doesn't name copies nothing.
double timeCheck(const std::string& path, bool& ok)
{
    const auto start = Clock::now();
    FirmwareUnpacker unpacker;
    unpacker.init(path);
    ResourceList list;
    ok = unpacker.queryResources(USB, kDeviceId + 1, list) == ERROR_OK && list.empty();
    return seconds(start);
}

// What the updater runs before writing: check plus copying the image out.
double timeQuery(const std::string& path, bool& ok)
{
    const auto start = Clock::now();
    FirmwareUnpacker unpacker;
    unpacker.init(path);
    ResourceList list;
    ok = unpacker.queryResources(USB, kDeviceId, list) == ERROR_OK && list.size() == 1;
    FreeResourceList(list);
    return seconds(start);
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

    double bestOpenssl = 1e9, bestCheck = 1e9, bestQuery = 1e9;
    bool opensslRan = true, ok = true;
    timeOpenssl(path); // warm the page cache
    for (int i = 0; i < runs; ++i) {
        const double o = timeOpenssl(path);
        if (o < 0)
            opensslRan = false;
        else
            bestOpenssl = std::min(bestOpenssl, o);
        bool good = false;
        bestCheck = std::min(bestCheck, timeCheck(path, good));
        ok = ok && good;
        bestQuery = std::min(bestQuery, timeQuery(path, good));
        ok = ok && good;
    }
    std::remove(path.c_str());

    if (!ok) {
        std::fprintf(stderr, "sha256-bench: the package did not verify\n");
        return 1;
    }
    std::printf("package check (read + digest):   %.3f s\n", bestCheck);
    std::printf("full query (check + image copy): %.3f s\n", bestQuery);
    if (!opensslRan) {
        std::printf("openssl dgst -sha256: could not run; no comparison\n");
        return 0;
    }
    const double ratio = bestOpenssl / bestCheck;
    std::printf("openssl dgst -sha256:            %.3f s\n", bestOpenssl);
    std::printf("speed of the check relative to openssl: %.2fx (target 0.80x or better: %s)\n", ratio,
                ratio >= 0.8 ? "met" : "NOT met");
    std::printf("speed of the full query relative to openssl: %.2fx\n", bestOpenssl / bestQuery);
    return 0;
}
