#include "linkwire.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace cardsim::link {

std::string setKey(const std::string &descriptionText, const std::string &configFolder)
{
    // FNV-1a: the key only tells card sets apart, nobody forges it (the
    // runtime folder is the user's own).
    uint64_t hash = 0xcbf29ce484222325ull;
    auto mix = [&hash](const std::string &text) {
        for (unsigned char c : text) {
            hash ^= c;
            hash *= 0x100000001b3ull;
        }
        hash ^= 0xff;
        hash *= 0x100000001b3ull;
    };
    mix(std::to_string(kProtocolVersion));
    mix(descriptionText);
    mix(configFolder);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string setsFolder(const std::string &folder) { return folder + "/sets"; }
std::string linkPath(const std::string &folder, const std::string &key) { return setsFolder(folder) + "/" + key + ".link"; }
std::string lockPath(const std::string &folder, const std::string &key) { return setsFolder(folder) + "/" + key + ".lock"; }
std::string logPath(const std::string &folder, const std::string &key) { return setsFolder(folder) + "/" + key + ".log"; }
std::string pidPath(const std::string &folder, const std::string &key) { return setsFolder(folder) + "/" + key + ".pid"; }
std::string controlPath(const std::string &folder, const std::string &key) { return setsFolder(folder) + "/" + key + ".ctl"; }
std::string entryTarget(const std::string &key) { return "sets/" + key + ".ctl"; }

bool sendMessage(int fd, const nlohmann::json &message, std::chrono::milliseconds timeout)
{
    std::string payload;
    try {
        payload = message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    } catch (const nlohmann::json::exception &) {
        return false;
    }
    if (payload.size() > kMaxMessage)
        return false;
    const uint32_t size = uint32_t(payload.size());
    const char header[4] = {char(size >> 24), char(size >> 16), char(size >> 8), char(size)};
    payload.insert(0, header, 4);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    size_t written = 0;
    while (written < payload.size()) {
        const ssize_t n = ::send(fd, payload.data() + written, payload.size() - written, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            written += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, int(left.count()));
            continue;
        }
        return false;
    }
    return true;
}

MessageReader::Result MessageReader::take(nlohmann::json &message)
{
    const size_t available = m_buffer.size() - m_start;
    if (available < 4)
        return Result::NeedMore;
    const auto *p = reinterpret_cast<const unsigned char *>(m_buffer.data() + m_start);
    const size_t size = size_t(p[0]) << 24 | size_t(p[1]) << 16 | size_t(p[2]) << 8 | size_t(p[3]);
    if (size > kMaxMessage)
        return Result::Malformed;
    if (available < 4 + size)
        return Result::NeedMore;
    try {
        message = nlohmann::json::parse(m_buffer.begin() + long(m_start + 4), m_buffer.begin() + long(m_start + 4 + size));
    } catch (const nlohmann::json::exception &) {
        return Result::Malformed;
    }
    m_start += 4 + size;
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    }
    if (!message.is_object() || !message.contains("op") || !message["op"].is_string())
        return Result::Malformed;
    return Result::Message;
}

MessageReader::Result MessageReader::next(int fd, nlohmann::json &message)
{
    Result result = take(message);
    if (result != Result::NeedMore)
        return result;
    if (m_start > 0) {
        m_buffer.erase(0, m_start);
        m_start = 0;
    }
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return Result::NeedMore;
        if (n <= 0)
            return Result::Closed;
        m_buffer.append(chunk, size_t(n));
        result = take(message);
        if (result != Result::NeedMore)
            return result;
    }
}

nlohmann::json valueToJson(const ItemValue &value)
{
    switch (typeOf(value)) {
    case ItemType::Flag: return std::get<bool>(value);
    case ItemType::Int: return std::get<int64_t>(value);
    case ItemType::Float: return std::get<double>(value);
    case ItemType::String: return std::get<std::string>(value);
    case ItemType::Bytes: return toHex(std::get<Bytes>(value));
    }
    return nullptr;
}

nlohmann::json valuesOf(const ItemSet &set)
{
    nlohmann::json values = nlohmann::json::object();
    for (const auto &[id, item] : set.items())
        values[codeText(id)] = valueToJson(item.value);
    return values;
}

bool valueFromJson(ItemType type, const nlohmann::json &json, ItemValue &value)
{
    switch (type) {
    case ItemType::Flag:
        if (!json.is_boolean())
            return false;
        value = json.get<bool>();
        return true;
    case ItemType::Int:
        if (!json.is_number_integer())
            return false;
        value = json.is_number_unsigned() ? int64_t(json.get<uint64_t>()) : json.get<int64_t>();
        return true;
    case ItemType::Float: {
        if (!json.is_number())
            return false;
        const double d = json.get<double>();
        if (!std::isfinite(d))
            return false;
        value = d;
        return true;
    }
    case ItemType::String:
        if (!json.is_string())
            return false;
        value = json.get<std::string>();
        return true;
    case ItemType::Bytes: {
        if (!json.is_string())
            return false;
        auto bytes = fromHex(json.get<std::string>());
        if (!bytes)
            return false;
        value = std::move(*bytes);
        return true;
    }
    }
    return false;
}

int64_t intField(const nlohmann::json &message, const char *name)
{
    const auto it = message.find(name);
    if (it == message.end() || !it->is_number_integer())
        throw std::runtime_error(std::string("no number \"") + name + "\"");
    return it->is_number_unsigned() ? int64_t(it->get<uint64_t>()) : it->get<int64_t>();
}

uint64_t serialField(const nlohmann::json &message, const char *name)
{
    const int64_t value = intField(message, name);
    if (value < 0)
        throw std::runtime_error(std::string("\"") + name + "\" is negative");
    return uint64_t(value);
}

std::string textField(const nlohmann::json &message, const char *name)
{
    const auto it = message.find(name);
    if (it == message.end() || !it->is_string())
        throw std::runtime_error(std::string("no text \"") + name + "\"");
    return it->get<std::string>();
}

} // namespace cardsim::link
