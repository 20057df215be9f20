#pragma once

#include <cstdint>

// Inputs and outputs of one driver request. The output counts are
// capacities on the way in and the counts actually returned on the way out.
struct IoctlArguments {
    unsigned int scalarInputCount = 0;
    unsigned int structInputSize = 0;
    unsigned int scalarOutputCount = 0;
    unsigned int structOutputSize = 0;
    const unsigned long long* scalarInputs = nullptr;
    const void* structInput = nullptr;
    unsigned long long* scalarOutputs = nullptr;
    void* structOutput = nullptr;
};

// A short message to the MorvaneIO driver: a four-character code and up to
// four 64-bit arguments, answered in place.
struct _MorvaneIOMessageRequest {
    uint64_t code = 0;
    uint64_t args[4] = {};
};
static_assert(sizeof(_MorvaneIOMessageRequest) == 40, "message request is 40 bytes");

// A message carrying a 1024-byte payload; the same header as the short form.
struct _MorvaneIOBufferMessageRequest {
    uint64_t code = 0;
    uint64_t args[4] = {};
    unsigned char buffer[1024] = {};
};
static_assert(sizeof(_MorvaneIOBufferMessageRequest) == 1064, "buffer message request is 1064 bytes");

// Status codes of the driver layer. Any other non-zero value is the ioctl's
// own result, passed up unchanged.
enum ZeltraStatus : int {
    kZeltraSuccess = 0,
    kZeltraNoInstance = 1,        // missing instance or message user
    kZeltraBadArgument = 1002,    // bad argument, untranslated selector, wrong message shape
    kZeltraUnsupported = 1012,    // message sent through the plain transport
};
