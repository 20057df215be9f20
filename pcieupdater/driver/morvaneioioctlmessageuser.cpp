#include "morvaneioioctlmessageuser.h"

namespace {

constexpr int kMaxMessageScalars = 4;

struct RequestRow {
    int selector;
    int request;      // 0 when the MorvaneIO driver has no translation
    uint32_t message; // 0 unless the request is a message
};

#define ZELTRA_MESSAGE MorvaneIOIoctlMessageUser::kMessageRequest
#define ZELTRA_UNTRANSLATED 0
#define ZELTRA_REQUEST(name, form, selector, request, code) {selector, request, code},
const RequestRow kRequestRows[] = {
#include "zeltrarequests.def"
};
#undef ZELTRA_REQUEST
#undef ZELTRA_UNTRANSLATED
#undef ZELTRA_MESSAGE

} // namespace

MorvaneIOIoctlMessageUser::MorvaneIOIoctlMessageUser(int fd) : IoctlMessageUser(fd)
{
    for (const RequestRow& row : kRequestRows) {
        if (row.request == 0)
            continue;
        m_requests[row.selector] = row.request;
        if (row.request == kMessageRequest)
            m_messages[row.selector] = row.message;
    }
}

MorvaneIOIoctlMessageUser::~MorvaneIOIoctlMessageUser() = default;

int MorvaneIOIoctlMessageUser::translateIoctl(int selector) const
{
    const auto it = m_requests.find(selector);
    return it == m_requests.end() ? -1 : it->second;
}

uint32_t MorvaneIOIoctlMessageUser::translateIoctlToMessage(int selector) const
{
    const auto it = m_messages.find(selector);
    return it == m_messages.end() ? kNoMessage : it->second;
}

int MorvaneIOIoctlMessageUser::call(int selector, IoctlArguments* args)
{
    if (!args)
        return kZeltraBadArgument;
    if (selector > kDirectPassThrough)
        return IoctlMessageUser::call(selector, args);

    const int request = translateIoctl(selector);
    if (request < 0)
        return kZeltraBadArgument;
    if (request != kMessageRequest)
        return IoctlMessageUser::call(request, args);

    const auto code = m_messages.find(selector);
    if (code == m_messages.end())
        return kZeltraBadArgument;
    // A message carries at most four scalars each way and no structures;
    // anything else is refused before it reaches the driver.
    if (args->structInputSize || args->structOutputSize || args->scalarInputCount > kMaxMessageScalars
        || args->scalarOutputCount > kMaxMessageScalars)
        return kZeltraBadArgument;
    if ((args->scalarInputCount && !args->scalarInputs) || (args->scalarOutputCount && !args->scalarOutputs))
        return kZeltraBadArgument;

    _MorvaneIOMessageRequest message;
    message.code = code->second;
    for (unsigned i = 0; i < args->scalarInputCount; ++i)
        message.args[i] = args->scalarInputs[i];
    const int result = sendMessage(&message);
    if (result != kZeltraSuccess)
        return result;
    for (unsigned i = 0; i < args->scalarOutputCount; ++i)
        args->scalarOutputs[i] = message.args[i];
    return kZeltraSuccess;
}

namespace {

// The request goes out and comes back in place. A reply shorter than the
// request would leave the caller's own inputs in the place of answers, so
// it is refused like a request of the wrong shape.
int sendInPlace(MorvaneIOIoctlMessageUser& user, void* request, unsigned int size)
{
    unsigned int replied = size;
    const int result = user.writeStructReadStruct(MorvaneIOIoctlMessageUser::kMessageRequest, request, size,
                                                  request, &replied);
    if (result != kZeltraSuccess)
        return result;
    return replied < size ? int(kZeltraBadArgument) : int(kZeltraSuccess);
}

} // namespace

int MorvaneIOIoctlMessageUser::sendMessage(_MorvaneIOMessageRequest* request)
{
    if (!request)
        return kZeltraBadArgument;
    return sendInPlace(*this, request, sizeof(*request));
}

int MorvaneIOIoctlMessageUser::sendBufferMessage(_MorvaneIOBufferMessageRequest* request)
{
    if (!request)
        return kZeltraBadArgument;
    return sendInPlace(*this, request, sizeof(*request));
}

unsigned int MorvaneIOIoctlMessageUser::interfaceType() const
{
    return 4;
}
