#include "filestore.h"

#include "executabledir.h"
#include "firmwareunpacker.h"

#include <algorithm>
#include <boost/algorithm/string/replace.hpp>
#include <boost/filesystem.hpp>

namespace fs = boost::filesystem;
using namespace MVNFirmwarePackage;

namespace {

// Owns what a query returned until it is handed on, so nothing leaks if
// handing on throws.
struct ListGuard
{
    MVNFirmwarePackage::ResourceList list;
    ~ListGuard() { FreeResourceList(list); }
};

// The "*.bin" regular files of one folder, sorted; false if it can't be listed.
bool listFolder(const fs::path& folder, std::vector<std::string>& files)
{
    boost::system::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return false;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            return false;
        const fs::path& entry = it->path();
        if (entry.extension().string() != ".bin")
            continue;
        boost::system::error_code statEc;
        if (fs::is_regular_file(fs::status(entry, statEc)) && !statEc)
            files.push_back(entry.string());
    }
    if (ec)
        return false;
    std::sort(files.begin(), files.end());
    return true;
}

} // namespace

void FileStore::addPath(const std::string& path)
{
    std::string resolved = path;
    if (resolved.find("%path%") != std::string::npos)
        boost::algorithm::replace_first(resolved, "%path%", ExecutableDir());
    m_paths.push_back(resolved);
}

std::vector<std::string> FileStore::packageFiles() const
{
    std::vector<std::string> result;
    for (const std::string& p : m_paths) {
        boost::system::error_code ec;
        const fs::file_status st = fs::status(p, ec);
        if (ec || !fs::exists(st))
            continue;
        if (fs::is_directory(st)) {
            std::vector<std::string> files;
            if (listFolder(p, files))
                result.insert(result.end(), files.begin(), files.end());
        } else if (fs::is_regular_file(st)) {
            result.push_back(p);
        }
    }
    return result;
}

void FileStore::getResources(ResourceList& out, DeviceIdType type, uint32_t deviceId, bool withData) const
{
    for (const std::string& file : packageFiles()) {
        FirmwareUnpacker unpacker;
        unpacker.init(file);
        ListGuard found;
        const ErrorCode rc = withData ? unpacker.queryResources(type, deviceId, found.list)
                                      : unpacker.queryHeaders(type, deviceId, found.list);
        if (rc != ERROR_OK)
            continue;
        while (!found.list.empty()) {
            out.emplace_back(found.list.front());
            found.list.pop_front();
        }
    }
}
