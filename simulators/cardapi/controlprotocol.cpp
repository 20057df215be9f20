#include "controlprotocol.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace cardsim::control {

namespace {

bool ensurePrivateFolder(const std::string &path, bool create, std::string &error)
{
    if (create && mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = path + ": not a folder";
        return false;
    }
    if (info.st_uid != getuid()) {
        error = path + ": belongs to another user";
        return false;
    }
    if ((info.st_mode & 0077) != 0) {
        error = path + ": other users can reach it";
        return false;
    }
    return true;
}

} // namespace

std::string runtimeFolder(std::string &error)
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder;
    struct stat info;
    // A runtime folder that is named but missing counts as not set, the same
    // way for the library and for zeltra-simctl.
    if (runtime != nullptr && runtime[0] == '/' && stat(runtime, &info) == 0 && S_ISDIR(info.st_mode)) {
        folder = std::string(runtime) + "/zeltra-simulator";
    } else {
        folder = "/tmp/zeltra-simulator-" + std::to_string(getuid());
    }
    if (!ensurePrivateFolder(folder, true, error))
        return {};
    return folder;
}

std::string socketPath(const std::string &folder, pid_t pid)
{
    return folder + "/" + std::to_string(pid) + ".sock";
}

std::string joinArguments(const std::vector<std::string> &arguments)
{
    std::string line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            line += '\t';
        for (char c : arguments[i])
            line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
    }
    return line + "\n";
}

std::vector<std::string> splitArguments(const std::string &line)
{
    std::vector<std::string> arguments;
    std::string current;
    for (char c : line) {
        if (c == '\r' || c == '\n')
            break;
        if (c == '\t') {
            arguments.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty() || !arguments.empty())
        arguments.push_back(current);
    return arguments;
}

} // namespace cardsim::control
