// libFuzzer harness: what one process of a card set reads from another (the
// library from the set's daemon, the daemon from a program): the framing,
// the JSON, the fields and the values as the reader converts them.

#include "linkwire.h"

#include <sys/socket.h>
#include <unistd.h>

using namespace cardsim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0)
        return 0;
    // The inputs are short (-max_len): they fit the socket's buffer at once.
    [[maybe_unused]] ssize_t written = write(fds[0], data, size);
    close(fds[0]);
    link::MessageReader reader;
    nlohmann::json message;
    for (int i = 0; i < 64 && reader.next(fds[1], message) == link::MessageReader::Result::Message; ++i) {
        try {
            link::textField(message, "op");
            link::intField(message, "card");
            link::serialField(message, "plug");
        } catch (const std::exception &) {
        }
        for (const char *group : {"config", "status"}) {
            const auto values = message.find(group);
            if (values == message.end() || !values->is_object())
                continue;
            for (const auto &[key, json] : values->items()) {
                ItemValue value;
                for (ItemType type : {ItemType::Flag, ItemType::Int, ItemType::Float, ItemType::String, ItemType::Bytes}) {
                    if (isCodeText(key) && link::valueFromJson(type, json, value))
                        link::valueToJson(value);
                }
            }
        }
    }
    close(fds[1]);
    return 0;
}
