#include "filereader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cardsim {

ReadResult readRegularFile(const std::string &path, size_t maxSize, std::string &text, std::string &error)
{
    text.clear();
    // Non-blocking, so that opening a FIFO cannot hang the host.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return ReadResult::Missing;
        error = path + ": cannot be read: " + std::strerror(errno);
        return ReadResult::Failed;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = path + ": cannot be read: not a regular file";
        close(fd);
        return ReadResult::Failed;
    }
    if (size_t(info.st_size) > maxSize) {
        error = path + ": larger than " + std::to_string(maxSize / 1024) + " KiB";
        close(fd);
        return ReadResult::Failed;
    }
    char buffer[16384];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = path + ": read error: " + std::strerror(errno);
            close(fd);
            return ReadResult::Failed;
        }
        if (n == 0)
            break;
        text.append(buffer, size_t(n));
        if (text.size() > maxSize) {
            error = path + ": larger than " + std::to_string(maxSize / 1024) + " KiB";
            close(fd);
            return ReadResult::Failed;
        }
    }
    close(fd);
    return ReadResult::Ok;
}

} // namespace cardsim
