#include "ioctlmessageuser.h"

#include "morvaneioioctlmessageuser.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint64_t kHeaderSize = 16;
// Far above anything the driver takes; guards the size arithmetic.
constexpr uint64_t kMaxBlockSize = 16u * 1024u * 1024u;

// ZELTRA_IOCTL_TRACE=1 writes every request with its argument block to
// standard error, which is how a misbehaving driver is best diagnosed.
bool tracing()
{
    static const bool enabled = std::getenv("ZELTRA_IOCTL_TRACE") != nullptr;
    return enabled;
}

void trace(const char* when, int fd, unsigned int request, const unsigned char* block, size_t size, int result)
{
    std::fprintf(stderr, "zeltra ioctl %s fd %d request 0x%x result %d block", when, fd, request, result);
    const size_t shown = size < 96 ? size : 96;
    for (size_t i = 0; i < shown; ++i)
        std::fprintf(stderr, "%s%02x", i % 8 == 0 ? " " : "", block[i]);
    std::fprintf(stderr, "%s\n", shown < size ? " ..." : "");
}

void putWord(unsigned char* at, uint32_t value) { std::memcpy(at, &value, 4); }
uint32_t getWord(const unsigned char* at)
{
    uint32_t value;
    std::memcpy(&value, at, 4);
    return value;
}

} // namespace

IoctlMessageUser::~IoctlMessageUser() = default;

IoctlMessageUser* IoctlMessageUser::createForDriver(int fd, const char* driverName)
{
    if (!driverName)
        return nullptr;
    if (std::strcmp(driverName, "Zeltra") == 0)
        return new IoctlMessageUser(fd);
    if (std::strcmp(driverName, "MorvaneIO") == 0)
        return new MorvaneIOIoctlMessageUser(fd);
    return nullptr;
}

void* IoctlMessageUser::mapMemory(unsigned int page, unsigned int length, bool writable)
{
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pageSize <= 0 || length == 0)
        return nullptr;
    const int protection = PROT_READ | (writable ? PROT_WRITE : 0);
    void* area = mmap(nullptr, length, protection, writable ? MAP_SHARED : MAP_PRIVATE, m_fd,
                      off_t(page) * off_t(pageSize));
    return area == MAP_FAILED ? nullptr : area;
}

int IoctlMessageUser::call(int selector)
{
    IoctlArguments args;
    return call(selector, &args);
}

int IoctlMessageUser::call(int selector, IoctlArguments* args)
{
    if (!args)
        return kZeltraBadArgument;
    if ((args->scalarInputCount && !args->scalarInputs) || (args->structInputSize && !args->structInput)
        || (args->scalarOutputCount && !args->scalarOutputs) || (args->structOutputSize && !args->structOutput))
        return kZeltraBadArgument;

    const uint64_t scalarIn = uint64_t(args->scalarInputCount) * 8;
    const uint64_t scalarOut = uint64_t(args->scalarOutputCount) * 8;
    const uint64_t structIn = args->structInputSize;
    const uint64_t structOut = args->structOutputSize;
    uint64_t size = kHeaderSize + scalarIn + structIn + scalarOut + structOut;
    size = (size + 15) & ~uint64_t(15);
    if (size > kMaxBlockSize)
        return kZeltraBadArgument;

    std::vector<unsigned char> block(size_t(size), 0);
    unsigned char* base = block.data();
    putWord(base + 0, args->scalarInputCount);
    putWord(base + 4, args->structInputSize);
    putWord(base + 8, args->scalarOutputCount);
    putWord(base + 12, args->structOutputSize);
    const size_t scalarInAt = kHeaderSize;
    const size_t structInAt = scalarInAt + size_t(scalarIn);
    const size_t scalarOutAt = structInAt + size_t(structIn);
    const size_t structOutAt = scalarOutAt + size_t(scalarOut);
    if (scalarIn)
        std::memcpy(base + scalarInAt, args->scalarInputs, size_t(scalarIn));
    if (structIn)
        std::memcpy(base + structInAt, args->structInput, size_t(structIn));

    const unsigned int request = static_cast<unsigned int>(selector);
    if (tracing())
        trace("sent", m_fd, request, base, block.size(), 0);
    // A signal that arrives while the driver works must not drop the request
    // (the daemon's handlers are installed without SA_RESTART).
    int result;
    do {
        result = ioctl(m_fd, static_cast<unsigned long>(request), base);
    } while (result == -1 && errno == EINTR);
    if (tracing())
        trace("answered", m_fd, request, base, block.size(), result);
    if (result != 0)
        return result;

    // The driver reports what it wrote; never copy beyond what the caller
    // made room for, whatever it claims.
    uint32_t scalarsReturned = getWord(base + 8);
    uint32_t bytesReturned = getWord(base + 12);
    if (scalarsReturned > args->scalarOutputCount)
        scalarsReturned = args->scalarOutputCount;
    if (bytesReturned > args->structOutputSize)
        bytesReturned = args->structOutputSize;
    if (scalarsReturned)
        std::memcpy(args->scalarOutputs, base + scalarOutAt, size_t(scalarsReturned) * 8);
    if (bytesReturned)
        std::memcpy(args->structOutput, base + structOutAt, bytesReturned);
    args->scalarOutputCount = scalarsReturned;
    args->structOutputSize = bytesReturned;
    return kZeltraSuccess;
}

int IoctlMessageUser::readScalar(int selector, unsigned long long* values, unsigned count)
{
    IoctlArguments args;
    args.scalarOutputCount = count;
    args.scalarOutputs = values;
    return call(selector, &args);
}

namespace {

// One scalar output, narrowed to the caller's type; the value is only
// stored when the request succeeded.
template <typename T, typename Convert>
int readOneScalar(IoctlMessageUser& user, int selector, T* value, Convert convert)
{
    if (!value)
        return kZeltraBadArgument;
    unsigned long long raw = 0;
    const int result = user.readScalar(selector, &raw, 1);
    if (result == kZeltraSuccess)
        *value = convert(raw);
    return result;
}

} // namespace

int IoctlMessageUser::readScalar(int selector, bool* value)
{
    return readOneScalar(*this, selector, value, [](unsigned long long raw) { return raw != 0; });
}

int IoctlMessageUser::readScalar(int selector, unsigned int* value)
{
    return readOneScalar(*this, selector, value, [](unsigned long long raw) { return static_cast<unsigned int>(raw); });
}

int IoctlMessageUser::readScalar(int selector, unsigned char* value)
{
    return readOneScalar(*this, selector, value,
                         [](unsigned long long raw) { return static_cast<unsigned char>(raw != 0 ? 1 : 0); });
}

int IoctlMessageUser::readStruct(int selector, void* data, unsigned int* size)
{
    if (!size)
        return kZeltraBadArgument;
    IoctlArguments args;
    args.structOutputSize = *size;
    args.structOutput = data;
    const int result = call(selector, &args);
    if (result == kZeltraSuccess)
        *size = args.structOutputSize;
    return result;
}

int IoctlMessageUser::writeScalar(int selector, const unsigned long long* values, unsigned count)
{
    IoctlArguments args;
    args.scalarInputCount = count;
    args.scalarInputs = values;
    return call(selector, &args);
}

int IoctlMessageUser::writeScalar(int selector, bool value)
{
    const unsigned long long raw = value ? 1 : 0;
    return writeScalar(selector, &raw, 1);
}

int IoctlMessageUser::writeScalar(int selector, unsigned int value)
{
    const unsigned long long raw = value;
    return writeScalar(selector, &raw, 1);
}

int IoctlMessageUser::writeScalar(int selector, unsigned char value)
{
    const unsigned long long raw = value;
    return writeScalar(selector, &raw, 1);
}

int IoctlMessageUser::writeStruct(int selector, const void* data, unsigned size)
{
    IoctlArguments args;
    args.structInputSize = size;
    args.structInput = data;
    return call(selector, &args);
}

int IoctlMessageUser::writeScalarReadScalar(int selector, unsigned int in, unsigned int* out)
{
    if (!out)
        return kZeltraBadArgument;
    const unsigned long long rawIn = in;
    unsigned long long rawOut = 0;
    const int result = writeScalarReadScalar(selector, &rawIn, 1, &rawOut, 1);
    if (result == kZeltraSuccess)
        *out = static_cast<unsigned int>(rawOut);
    return result;
}

int IoctlMessageUser::writeScalarReadScalar(int selector, unsigned int in, unsigned char* out)
{
    if (!out)
        return kZeltraBadArgument;
    const unsigned long long rawIn = in;
    unsigned long long rawOut = 0;
    const int result = writeScalarReadScalar(selector, &rawIn, 1, &rawOut, 1);
    if (result == kZeltraSuccess)
        *out = rawOut != 0 ? 1 : 0;
    return result;
}

int IoctlMessageUser::writeScalarReadScalar(int selector, const unsigned long long* in, unsigned inCount,
                                            unsigned long long* out, unsigned outCount)
{
    IoctlArguments args;
    args.scalarInputCount = inCount;
    args.scalarInputs = in;
    args.scalarOutputCount = outCount;
    args.scalarOutputs = out;
    return call(selector, &args);
}

int IoctlMessageUser::writeScalarReadStruct(int selector, const unsigned long long* in, unsigned inCount,
                                            void* out, unsigned int* outSize)
{
    if (!outSize)
        return kZeltraBadArgument;
    IoctlArguments args;
    args.scalarInputCount = inCount;
    args.scalarInputs = in;
    args.structOutputSize = *outSize;
    args.structOutput = out;
    const int result = call(selector, &args);
    if (result == kZeltraSuccess)
        *outSize = args.structOutputSize;
    return result;
}

int IoctlMessageUser::writeStructReadStruct(int selector, const void* in, unsigned inSize,
                                            void* out, unsigned int* outSize)
{
    if (!outSize)
        return kZeltraBadArgument;
    IoctlArguments args;
    args.structInputSize = inSize;
    args.structInput = in;
    args.structOutputSize = *outSize;
    args.structOutput = out;
    const int result = call(selector, &args);
    if (result == kZeltraSuccess)
        *outSize = args.structOutputSize;
    return result;
}

int IoctlMessageUser::writeStructReadScalar(int selector, const void* in, unsigned inSize,
                                            unsigned long long* out, unsigned outCount)
{
    IoctlArguments args;
    args.structInputSize = inSize;
    args.structInput = in;
    args.scalarOutputCount = outCount;
    args.scalarOutputs = out;
    return call(selector, &args);
}

int IoctlMessageUser::writeScalarWriteStruct(int selector, const unsigned long long* in, unsigned inCount,
                                             const void* data, unsigned size)
{
    IoctlArguments args;
    args.scalarInputCount = inCount;
    args.scalarInputs = in;
    args.structInputSize = size;
    args.structInput = data;
    return call(selector, &args);
}

int IoctlMessageUser::sendMessage(_MorvaneIOMessageRequest*)
{
    return kZeltraUnsupported;
}

int IoctlMessageUser::sendBufferMessage(_MorvaneIOBufferMessageRequest*)
{
    return kZeltraUnsupported;
}

unsigned int IoctlMessageUser::interfaceType() const
{
    return 0;
}
