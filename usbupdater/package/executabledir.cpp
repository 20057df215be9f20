#include "executabledir.h"

#include <boost/filesystem.hpp>
#include <unistd.h>

std::string ExecutableDir()
{
    char link[4097] = {};
    const ssize_t n = readlink("/proc/self/exe", link, sizeof link - 1);
    if (n <= 0)
        return std::string();
    boost::system::error_code ec;
    const boost::filesystem::path here = boost::filesystem::current_path(ec);
    if (ec)
        return std::string();
    const boost::filesystem::path exe = boost::filesystem::canonical(link, here, ec);
    if (ec)
        return std::string();
    return exe.parent_path().string();
}
