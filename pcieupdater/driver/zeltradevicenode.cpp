#include "zeltradevicenode.h"

#include "zeltrainstancerec.h"

#include <cstdio>
#include <cstring>

namespace {

const char kDirectoryPrefix[] = "/dev/morvane/";
const char* const kKindNames[ZeltraDeviceNode::kKindCount] = {"dv", "card", "io"};
const char* const kKindDrivers[ZeltraDeviceNode::kKindCount] = {"Zeltra", "Zeltra", "MorvaneIO"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

bool ZeltraDeviceNode::fromPath(const char* path)
{
    if (!path)
        return false;
    const size_t prefixLength = sizeof(kDirectoryPrefix) - 1;
    if (std::strncmp(path, kDirectoryPrefix, prefixLength) == 0)
        path += prefixLength;

    size_t nameLength = 0;
    while (path[nameLength] && !isDigit(path[nameLength]))
        ++nameLength;
    if (nameLength > kMaxNameLength || !isDigit(path[nameLength]))
        return false;

    // An unsigned 8-bit decimal; a larger value is refused rather than
    // wrapped onto another node's number.
    unsigned value = 0;
    for (const char* p = path + nameLength; isDigit(*p); ++p) {
        value = value * 10 + unsigned(*p - '0');
        if (value > 255)
            return false;
    }

    std::memset(name, 0, sizeof(name));
    std::memcpy(name, path, nameLength);
    number = uint8_t(value);
    return true;
}

bool ZeltraDeviceNode::toPath(char* path) const
{
    if (!path)
        return false;
    // The name field may come from shared memory: never read past it.
    char safeName[kNameSize + 1] = {};
    std::memcpy(safeName, name, kNameSize);
    const int length = std::snprintf(path, 64, "%s%s%u", kDirectoryPrefix, safeName, unsigned(number));
    return length > 0 && length < 64;
}

int ZeltraDeviceNode::driverNameIndex() const
{
    for (int i = 0; i < kKindCount; ++i) {
        if (std::strncmp(name, kKindNames[i], kNameSize) == 0)
            return i;
    }
    return -1;
}

const char* ZeltraDeviceNode::driverName() const
{
    const int index = driverNameIndex();
    return index < 0 ? nullptr : kKindDrivers[index];
}

const char* ZeltraDeviceNode::driverNameByIndex(int index) const
{
    return index >= 0 && index < kKindCount ? kKindNames[index] : nullptr;
}

bool ZeltraDeviceNode::fromInstance(ZeltraInstanceRec* instance)
{
    if (!instance || !instance->driverName)
        return false;
    const char* kind = nullptr;
    if (std::strcmp(instance->driverName, "Zeltra") == 0)
        kind = "dv";
    else if (std::strcmp(instance->driverName, "MorvaneIO") == 0)
        kind = "io";
    else
        return false;
    if (instance->deviceNumber > 255)
        return false;
    std::memset(name, 0, sizeof(name));
    std::memcpy(name, kind, std::strlen(kind));
    number = uint8_t(instance->deviceNumber);
    return true;
}

bool ZeltraDeviceNode::operator<(const ZeltraDeviceNode& other) const
{
    const int order = std::strncmp(name, other.name, kNameSize);
    if (order != 0)
        return order < 0;
    return number < other.number;
}

bool ZeltraDeviceNode::operator==(const ZeltraDeviceNode& other) const
{
    return std::strncmp(name, other.name, kNameSize) == 0 && number == other.number;
}
