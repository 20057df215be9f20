#include "zeltradriver.h"

#include "uniquefd.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

const char* const kZeltraDeviceDirectory = "/dev/morvane";

namespace {

constexpr int kSharedDataVersionSelector = 0x10000;
constexpr int kSubDeviceSelector = 2458;
constexpr int kHardwareDescriptionSelector = 2448;
constexpr unsigned kSharedDataVersion = 189;
constexpr unsigned kSharedDataPage = 2;
constexpr unsigned kCardDriverMajor = 10;

int openNode(const char* path)
{
    int fd;
    do {
        fd = ::open(path, O_RDWR | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Asks a freshly opened node whether it speaks our shared-data version and
// which sub-device of which card it is.
bool probeNode(const ZeltraDeviceNode& node, const char* path, EnumeratedDeviceListElmt* element)
{
    UniqueFd fd(openNode(path));
    if (!fd.valid())
        return false;
    std::unique_ptr<IoctlMessageUser> user(IoctlMessageUser::createForDriver(fd.get(), node.driverName()));
    if (!user)
        return false;
    unsigned int version = 0;
    if (user->readScalar(kSharedDataVersionSelector, &version) != kZeltraSuccess || version != kSharedDataVersion)
        return false;
    unsigned long long triple[3] = {};
    if (user->readScalar(kSubDeviceSelector, triple, 3) != kZeltraSuccess)
        return false;
    element->node = node;
    element->subDeviceIndex = static_cast<uint32_t>(triple[0]);
    element->subDeviceCount = static_cast<uint32_t>(triple[1]);
    element->groupIdentifier = static_cast<uint32_t>(triple[2]);
    return true;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

} // namespace

extern "C" {

ZeltraIteratorRec* CreateZeltraIterator()
{
    auto* iterator = new (std::nothrow) ZeltraIteratorRec;
    if (!iterator)
        return nullptr;

    std::unique_ptr<DIR, DirCloser> dir(opendir(kZeltraDeviceDirectory));
    if (!dir)
        return iterator;

    std::vector<EnumeratedDeviceListElmt> accepted;
    while (const dirent* entry = readdir(dir.get())) {
        char path[kZeltraPathSize];
        const int length = std::snprintf(path, sizeof(path), "%s/%s", kZeltraDeviceDirectory, entry->d_name);
        if (length <= 0 || length >= int(sizeof(path)))
            continue;
        struct stat info;
        if (::stat(path, &info) != 0)
            continue;
        if ((info.st_mode & S_IFMT) != S_IFCHR || major(info.st_rdev) != kCardDriverMajor)
            continue;
        ZeltraDeviceNode node;
        if (!node.fromPath(path) || !node.toPath(path))
            continue;
        EnumeratedDeviceListElmt element;
        if (probeNode(node, path, &element))
            accepted.push_back(element);
    }
    dir.reset();

    iterator->nodes = ZeltraIteratorRec::orderNodes(std::move(accepted));
    iterator->position = 0;
    return iterator;
}

void ResetZeltraIterator(ZeltraIteratorRec* iterator)
{
    if (iterator)
        iterator->position = 0;
}

void ReleaseZeltraIterator(ZeltraIteratorRec* iterator)
{
    delete iterator;
}

ZeltraInstanceRec* ZeltraIteratorNext(ZeltraIteratorRec* iterator)
{
    if (!iterator || iterator->position >= iterator->nodes.size())
        return nullptr;
    ZeltraInstanceRec* instance = ZeltraOpenDevice(&iterator->nodes[iterator->position]);
    if (instance)
        ++iterator->position;
    return instance;
}

int ConnectToDriverCore(ZeltraInstanceRec** instance, ZeltraIteratorRec* iterator)
{
    if (!instance)
        return 0;
    if (iterator) {
        *instance = ZeltraIteratorNext(iterator);
    } else {
        ZeltraIteratorRec* temporary = CreateZeltraIterator();
        *instance = ZeltraIteratorNext(temporary);
        ReleaseZeltraIterator(temporary);
    }
    return *instance ? 1 : 0;
}

int ConnectToNextZeltra(ZeltraInstanceRec** instance, unsigned int n)
{
    if (!instance)
        return 0;
    *instance = nullptr;
    if (n == 0)
        return 0;
    std::unique_ptr<ZeltraIteratorRec, void (*)(ZeltraIteratorRec*)> iterator(CreateZeltraIterator(),
                                                                              ReleaseZeltraIterator);
    for (unsigned int k = 1; k <= n; ++k) {
        ZeltraInstanceRec* opened = ZeltraIteratorNext(iterator.get());
        if (!opened)
            return 0;
        if (k == n) {
            *instance = opened;
            return 1;
        }
        CloseDriverConnectionCore(opened);
    }
    return 0;
}

ZeltraInstanceRec* ZeltraOpenDevice(const ZeltraDeviceNode* node)
{
    if (!node || !node->driverName())
        return nullptr;
    char path[kZeltraPathSize];
    if (!node->toPath(path))
        return nullptr;

    auto* instance = static_cast<ZeltraInstanceRec*>(std::malloc(ZeltraInstanceRec::kBlockSize));
    if (!instance)
        return nullptr;
    std::memset(instance, 0, ZeltraInstanceRec::kBlockSize);
    instance->fd = -1;

    // Every failure below goes through the one close path, which undoes
    // exactly what was set up so far.
    instance->fd = openNode(path);
    if (instance->fd < 0) {
        CloseDriverConnectionCore(instance);
        return nullptr;
    }
    instance->deviceNumber = node->number;
    instance->driverName = node->driverName();
    instance->messageUser = IoctlMessageUser::createForDriver(instance->fd, instance->driverName);
    if (!instance->messageUser) {
        CloseDriverConnectionCore(instance);
        return nullptr;
    }
    instance->interfaceType = instance->messageUser->interfaceType();

    unsigned int version = 0;
    if (MapDeviceMemoryCore(instance)) {
        std::memcpy(&version, instance->sharedData, sizeof(version));
    } else if (instance->messageUser->readScalar(kSharedDataVersionSelector, &version) != kZeltraSuccess) {
        version = 0;
    }
    unsigned int descriptionSize = ZeltraInstanceRec::kHardwareDescriptionSize;
    if (version != kSharedDataVersion
        || instance->messageUser->readStruct(kHardwareDescriptionSelector, instance->hardwareDescription,
                                             &descriptionSize) != kZeltraSuccess
        || pthread_mutex_init(&instance->mutex, nullptr) != 0) {
        CloseDriverConnectionCore(instance);
        return nullptr;
    }
    instance->mutexInitialised = 1;
    return instance;
}

void CloseDriverConnectionCore(ZeltraInstanceRec* instance)
{
    if (!instance)
        return;
    if (instance->sharedData)
        munmap(const_cast<void*>(instance->sharedData), ZeltraInstanceRec::kSharedDataSize);
    if (instance->fd >= 0)
        ::close(instance->fd);
    if (instance->mutexInitialised)
        pthread_mutex_destroy(&instance->mutex);
    delete instance->messageUser;
    std::free(instance);
}

int MapDeviceMemoryCore(ZeltraInstanceRec* instance)
{
    if (!instance || !instance->messageUser)
        return 0;
    if (instance->sharedData)
        return 1;
    instance->sharedData = instance->messageUser->mapMemory(kSharedDataPage, ZeltraInstanceRec::kSharedDataSize, false);
    return instance->sharedData ? 1 : 0;
}

int GetDriverFileDescriptor(ZeltraInstanceRec* instance)
{
    return instance ? instance->fd : -1;
}

const char* GetDriverName(ZeltraInstanceRec* instance)
{
    return instance ? instance->driverName : nullptr;
}

int GetDevicePath(ZeltraInstanceRec* instance, char* path)
{
    if (!instance || !path)
        return 0;
    ZeltraDeviceNode node;
    if (!node.fromInstance(instance) || !node.toPath(path))
        return 0;
    return 1;
}

} // extern "C"
