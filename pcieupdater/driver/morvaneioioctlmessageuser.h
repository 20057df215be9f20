#pragma once

#include "ioctlmessageuser.h"

#include <cstdint>
#include <map>

// Transport of the MorvaneIO driver: selectors are translated into a few
// direct ioctl requests or into short four-character-code messages.
class MorvaneIOIoctlMessageUser : public IoctlMessageUser {
public:
    static constexpr int kMessageRequest = 0x90001;
    static constexpr int kDirectPassThrough = 0x8FFFF; // selectors above go unchanged
    static constexpr uint32_t kNoMessage = 0x74726564;  // 'tred'

    explicit MorvaneIOIoctlMessageUser(int fd);
    ~MorvaneIOIoctlMessageUser() override;

    int call(int selector, IoctlArguments* args) override;
    using IoctlMessageUser::call;
    int sendMessage(_MorvaneIOMessageRequest* request) override;
    int sendBufferMessage(_MorvaneIOBufferMessageRequest* request) override;
    unsigned int interfaceType() const override;

    // Request number of a selector, -1 when it has none.
    int translateIoctl(int selector) const;
    // Message code of a selector, kNoMessage when it has none.
    uint32_t translateIoctlToMessage(int selector) const;

    const std::map<int, int>& requestMap() const { return m_requests; }
    const std::map<int, uint32_t>& messageMap() const { return m_messages; }

private:
    std::map<int, int> m_requests;
    std::map<int, uint32_t> m_messages;
};
