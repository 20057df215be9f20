#pragma once

#include "ioctlarguments.h"

// Carries requests to a card driver as ioctl calls on an open node. The
// plain transport (driver "Zeltra") uses the selector as the ioctl request
// number. The descriptor is borrowed: never owned, never closed.
class IoctlMessageUser {
public:
    explicit IoctlMessageUser(int fd) : m_fd(fd) {}
    virtual ~IoctlMessageUser();
    IoctlMessageUser(const IoctlMessageUser&) = delete;
    IoctlMessageUser& operator=(const IoctlMessageUser&) = delete;

    // The transport for a driver name: plain for "Zeltra", MorvaneIO for
    // "MorvaneIO", null for anything else. The caller owns the result.
    static IoctlMessageUser* createForDriver(int fd, const char* driverName);

    // Maps `length` bytes at offset page * page size; null on failure.
    virtual void* mapMemory(unsigned int page, unsigned int length, bool writable);

    virtual int call(int selector);
    // Builds the argument block, issues the ioctl and copies back at most
    // the capacities given in `args`; the returned counts are written back.
    virtual int call(int selector, IoctlArguments* args);

    virtual int readScalar(int selector, unsigned long long* values, unsigned count);
    virtual int readScalar(int selector, bool* value);
    virtual int readScalar(int selector, unsigned int* value);
    virtual int readScalar(int selector, unsigned char* value);
    virtual int readStruct(int selector, void* data, unsigned int* size);
    virtual int writeScalar(int selector, const unsigned long long* values, unsigned count);
    virtual int writeScalar(int selector, bool value);
    virtual int writeScalar(int selector, unsigned int value);
    virtual int writeScalar(int selector, unsigned char value);
    virtual int writeStruct(int selector, const void* data, unsigned size);
    virtual int writeScalarReadScalar(int selector, unsigned int in, unsigned int* out);
    virtual int writeScalarReadScalar(int selector, unsigned int in, unsigned char* out);
    virtual int writeScalarReadScalar(int selector, const unsigned long long* in, unsigned inCount,
                                      unsigned long long* out, unsigned outCount);
    virtual int writeScalarReadStruct(int selector, const unsigned long long* in, unsigned inCount,
                                      void* out, unsigned int* outSize);
    virtual int writeStructReadStruct(int selector, const void* in, unsigned inSize,
                                      void* out, unsigned int* outSize);
    virtual int writeStructReadScalar(int selector, const void* in, unsigned inSize,
                                      unsigned long long* out, unsigned outCount);
    virtual int writeScalarWriteStruct(int selector, const unsigned long long* in, unsigned inCount,
                                       const void* data, unsigned size);
    // Messages exist only on the MorvaneIO driver; here they give 1012.
    virtual int sendMessage(_MorvaneIOMessageRequest* request);
    virtual int sendBufferMessage(_MorvaneIOBufferMessageRequest* request);
    virtual unsigned int interfaceType() const;

    int fileDescriptor() const { return m_fd; }

protected:
    int m_fd = -1;
};
