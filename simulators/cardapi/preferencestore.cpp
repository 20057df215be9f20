#include "preferencestore.h"

#include "filereader.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cardsim {

namespace {

constexpr size_t kMaxFileSize = 1 << 20;

bool makeFolders(const std::string &path)
{
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/')
            continue;
        const std::string part = path.substr(0, pos);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

} // namespace

namespace {
// Never destroyed, like the simulator's own globals: problems may be
// reported while the library is being unloaded. Both live in the library's
// own storage, not on the heap, so an unloaded library leaves nothing behind.
std::mutex s_sinkMutex; // constant-initialised, nothing to destroy
std::mutex &sinkMutex()
{
    return s_sinkMutex;
}
std::function<void(const std::string &)> &problemSink()
{
    using Sink = std::function<void(const std::string &)>;
    alignas(Sink) static unsigned char storage[sizeof(Sink)];
    static auto *sink = new (storage) Sink;
    return *sink;
}
} // namespace

void setProblemSink(std::function<void(const std::string &)> sink)
{
    std::lock_guard<std::mutex> lock(sinkMutex());
    problemSink() = std::move(sink);
}

void reportProblem(const std::string &message)
{
    std::function<void(const std::string &)> sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex());
        sink = problemSink();
    }
    if (sink)
        sink(message);
    else
        std::fprintf(stderr, "zeltra card simulator: %s\n", message.c_str());
}

std::string PreferenceStore::configFolder()
{
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char *home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            const passwd *pw = getpwuid(getuid());
            home = pw != nullptr ? pw->pw_dir : nullptr;
        }
        if (home == nullptr)
            return {};
        base = std::string(home) + "/.config";
    }
    return base + "/zeltra-simulator";
}

PreferenceStore::PreferenceStore(int64_t persistentId)
{
    const std::string folder = configFolder();
    if (folder.empty())
        return;
    char name[64];
    std::snprintf(name, sizeof name, "/card-%016" PRIx64 ".json", uint64_t(persistentId));
    m_path = folder + name;
}

std::optional<nlohmann::json> PreferenceStore::load(std::string &error) const
{
    if (m_path.empty())
        return std::nullopt;
    std::string text;
    // No file, or no folder for it yet: nothing was stored. A folder that
    // cannot be created shows when storing.
    switch (readRegularFile(m_path, kMaxFileSize, text, error)) {
    case ReadResult::Missing: return std::nullopt;
    case ReadResult::Failed: return std::nullopt;
    case ReadResult::Ok: break;
    }
    try {
        nlohmann::json values = nlohmann::json::parse(text);
        if (!values.is_object()) {
            error = m_path + ": expected an object";
            return std::nullopt;
        }
        return values;
    } catch (const nlohmann::json::exception &e) {
        error = m_path + ": not valid JSON: " + e.what();
        return std::nullopt;
    }
}

bool PreferenceStore::save(const nlohmann::json &values, std::string &error) const
{
    if (m_path.empty())
        return true;
    const std::string folder = m_path.substr(0, m_path.rfind('/'));
    if (!makeFolders(folder)) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    std::string text;
    try {
        text = values.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    } catch (const nlohmann::json::exception &e) {
        error = m_path + ": " + e.what();
        return false;
    }
    const std::string temporary = m_path + ".tmp." + std::to_string(getpid());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = temporary + ": " + std::strerror(errno);
        return false;
    }
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = temporary + ": " + std::strerror(errno);
            close(fd);
            unlink(temporary.c_str());
            return false;
        }
        written += size_t(n);
    }
    const bool synced = fsync(fd) == 0;
    const int syncErrno = errno;
    if (close(fd) != 0 || !synced) {
        error = temporary + ": " + std::strerror(synced ? errno : syncErrno);
        unlink(temporary.c_str());
        return false;
    }
    if (rename(temporary.c_str(), m_path.c_str()) != 0) {
        error = m_path + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace cardsim
