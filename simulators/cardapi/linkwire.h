#pragma once

#include "itemset.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <string>

// What the library and the card set daemon (zeltra-simd) say to each other.
//
// The daemon of a card set listens on <runtime folder>/sets/<key>.link, a
// stream socket, and for zeltra-simctl on sets/<key>.ctl, which each of its
// programs' entries <runtime folder>/<pid>.sock leads to. Each message is a JSON object behind its length (four bytes,
// big-endian). The key names one card set: the card description's text, the
// folder its preferences are stored in and the version of this protocol, so
// that programs started with another description or another configuration
// folder never share cards by accident.
//
// A library process connects while holding sets/<key>.lock
// (starting the daemon when nobody answers), says "hello" and receives
// "welcome", one "card" per card and "ready". After that the daemon pushes
// "plug", "unplug", "change" (new values with the notice to deliver), "sync"
// (answered with "synced" once the notices before it were delivered) and
// "problem"; requests ("set", "store", "release") are answered by a "reply"
// with the same id. "bye" ends the connection: the daemon drops the process's
// unstored changes and closes it.
namespace cardsim::link {

inline constexpr int kProtocolVersion = 1;
// Larger messages are refused as malformed.
inline constexpr size_t kMaxMessage = 16u << 20;

std::string setKey(const std::string &descriptionText, const std::string &configFolder);
// The sets' own folder, created private to the user like the runtime folder.
std::string setsFolder(const std::string &folder);
std::string linkPath(const std::string &folder, const std::string &key);
std::string lockPath(const std::string &folder, const std::string &key);
std::string logPath(const std::string &folder, const std::string &key);
std::string controlPath(const std::string &folder, const std::string &key);
// Holds the running daemon's process id, for people and tests.
std::string pidPath(const std::string &folder, const std::string &key);
// What a program's entry <pid>.sock points at, relative to the runtime folder.
std::string entryTarget(const std::string &key);

// Writes one whole message on a non-blocking socket, waiting at most timeout
// for room. False when the peer is gone or too slow.
bool sendMessage(int fd, const nlohmann::json &message, std::chrono::milliseconds timeout);

// Collects the bytes of one connection and cuts them into messages.
class MessageReader
{
public:
    enum class Result { Message, NeedMore, Closed, Malformed };
    // Reads what the socket has (non-blocking) and returns the next message
    // when one is complete. Call until it answers NeedMore.
    Result next(int fd, nlohmann::json &message);

private:
    Result take(nlohmann::json &message);
    std::string m_buffer;
    size_t m_start = 0;
};

// The values of an item set as {"code": value}; bytes as hexadecimal text.
nlohmann::json valuesOf(const ItemSet &set);
// Converts one value as the local item's type expects it; false when the
// JSON value does not fit that type.
bool valueFromJson(ItemType type, const nlohmann::json &json, ItemValue &value);
nlohmann::json valueToJson(const ItemValue &value);

// Fields of an untrusted message; each throws std::runtime_error when the
// field is missing or of another kind.
int64_t intField(const nlohmann::json &message, const char *name);
uint64_t serialField(const nlohmann::json &message, const char *name);
std::string textField(const nlohmann::json &message, const char *name);

} // namespace cardsim::link
