#pragma once

#include <pthread.h>

class IoctlMessageUser;

// One open card device. Allocated as a zero-filled 512-byte block with
// malloc and released with free (CloseDriverConnectionCore does both), so
// its fields stay plain data.
struct ZeltraInstanceRec {
    static constexpr unsigned kBlockSize = 512;
    static constexpr unsigned kSharedDataSize = 80;
    static constexpr unsigned kHardwareDescriptionSize = 120;

    int fd;
    unsigned int deviceNumber;
    IoctlMessageUser* messageUser; // owned
    unsigned int interfaceType;
    const void* sharedData;        // read-only mapping of the node, or null
    unsigned char hardwareDescription[kHardwareDescriptionSize];
    int mutexInitialised;
    pthread_mutex_t mutex;
    const char* driverName;        // "Zeltra" or "MorvaneIO"
};

static_assert(sizeof(ZeltraInstanceRec) <= ZeltraInstanceRec::kBlockSize,
              "the instance fits its 512-byte block");
