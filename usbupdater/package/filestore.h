#pragma once

#include "firmwarepackage.h"
#include "resource.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

// The places firmware packages are looked for: package files or folders of
// "*.bin" packages. Paths are added at start-up; afterwards the store is only
// read, from any thread.
class FileStore
{
public:
    using ResourcePtr = std::unique_ptr<MVNFirmwarePackage::Resource>;
    using ResourceList = std::list<ResourcePtr>;

    // Appends a path; its first "%path%" is replaced by ExecutableDir().
    void addPath(const std::string& path);
    const std::vector<std::string>& paths() const { return m_paths; }

    // The package files behind the paths: per path in the order added, a
    // folder's regular "*.bin" files sorted by full path, a file as itself.
    // Missing or unreadable paths are skipped.
    std::vector<std::string> packageFiles() const;

    // Appends every resource for the device from every package, in package
    // order. withData selects the full read (digest checked, data loaded);
    // otherwise only headers are read. A failing package contributes nothing.
    void getResources(ResourceList& out, MVNFirmwarePackage::DeviceIdType type, uint32_t deviceId,
                      bool withData) const;

private:
    std::vector<std::string> m_paths;
};
