#include "linkserver.h"

#include "preferencestore.h"
#include "simulator.h"
#include "zeltraapi.h"
#include "zeltradevice.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace cardsim {

namespace {
constexpr auto kSendTime = std::chrono::seconds(1);
constexpr auto kSyncTime = std::chrono::seconds(2);
constexpr auto kIdleRetry = std::chrono::milliseconds(50);
// How long the set stays after the last program has gone, for the next
// command of a script (unless the program asked for a fresh start).
constexpr auto kLinger = std::chrono::seconds(2);
constexpr size_t kMaxConnections = 256;
} // namespace

// Arrivals and removals as a host would see them; the daemon is its only host.
class LinkServer::Devices final : public IZeltraDeviceNotificationCallback
{
public:
    explicit Devices(LinkServer &server) : m_server(server) {}
    int32_t QueryInterface(IID, void **out) override
    {
        if (out)
            *out = nullptr;
        return kZeltraNoInterface;
    }
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    int32_t ZeltraDeviceArrived(IZeltra *device) override
    {
        m_server.deviceArrived(device);
        return kZeltraOk;
    }
    int32_t ZeltraDeviceRemoved(IZeltra *device) override
    {
        m_server.deviceRemoved(device);
        return kZeltraOk;
    }

private:
    LinkServer &m_server;
};

LinkServer::LinkServer(int listenFd, std::string folder, std::string key)
    : m_listen(listenFd), m_folder(std::move(folder)), m_key(std::move(key))
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_idleRead = fds[0];
        m_idleWrite = fds[1];
    }
}

LinkServer::~LinkServer()
{
    for (auto &[id, connection] : m_connections)
        ::close(connection.fd);
    if (m_listen >= 0)
        ::close(m_listen);
    if (m_idleRead >= 0)
        ::close(m_idleRead);
    if (m_idleWrite >= 0)
        ::close(m_idleWrite);
}

void LinkServer::watchDevices()
{
    m_devices = std::make_unique<Devices>(*this);
    m_devicesClient = m_simulator->addClient(m_devices.get());
}

void LinkServer::problem(const std::string &text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
    std::lock_guard<std::mutex> lock(m_problemMutex);
    if (m_collecting)
        m_collecting->push_back(text);
    else if (!m_running)
        m_startupProblems.push_back(text);
    else
        broadcast({{"op", "problem"}, {"text", text}});
}

int LinkServer::preparePoll(std::vector<pollfd> &fds)
{
    m_running = true;
    m_polled.clear();
    if (!m_ending)
        fds.push_back({m_listen, POLLIN, 0});
    for (const auto &[id, connection] : m_connections) {
        fds.push_back({connection.fd, POLLIN, 0});
        m_polled.push_back(id);
    }
    auto wait = std::chrono::steady_clock::time_point::max();
    for (const auto &[id, sync] : m_syncs)
        wait = std::min(wait, sync.deadline);
    if (m_idleRetry != std::chrono::steady_clock::time_point{})
        wait = std::min(wait, m_idleRetry);
    if (wait == std::chrono::steady_clock::time_point::max())
        return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(wait - std::chrono::steady_clock::now());
    return int(std::max<int64_t>(0, std::min<int64_t>(left.count() + 1, INT_MAX)));
}

void LinkServer::handlePoll(const pollfd *fds, size_t count)
{
    size_t first = m_ending ? 0 : 1;
    for (size_t i = 0; i < m_polled.size() && first + i < count; ++i) {
        if (fds[first + i].revents & (POLLIN | POLLHUP | POLLERR))
            read(m_polled[i]);
    }
    sweep();
    if (!m_ending && count > 0 && (fds[0].revents & POLLIN))
        accept();
    settleSyncs();
    checkIdle();
}

void LinkServer::accept()
{
    for (;;) {
        const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        ucred peer{};
        socklen_t size = sizeof peer;
        // Only our own user can reach the folder; a stranger is turned away all the same.
        if (m_connections.size() >= kMaxConnections || getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0
            || peer.uid != getuid()) {
            ::close(fd);
            continue;
        }
        Connection connection;
        connection.fd = fd;
        connection.pid = peer.pid;
        m_connections.emplace(m_nextConnection++, std::move(connection));
        m_idleRetry = {};
    }
}

void LinkServer::read(uint64_t id)
{
    auto it = m_connections.find(id);
    if (it == m_connections.end() || it->second.closing)
        return;
    for (;;) {
        Connection &connection = it->second;
        nlohmann::json message;
        const auto result = connection.reader.next(connection.fd, message);
        if (result == link::MessageReader::Result::NeedMore)
            return;
        if (result != link::MessageReader::Result::Message) {
            connection.closing = true;
            return;
        }
        try {
            handle(id, connection, message);
        } catch (const std::exception &e) {
            // Messages are untrusted: one that does not fit ends the connection.
            std::fprintf(stderr, "process %d sent a bad message (%s); disconnected\n", int(connection.pid), e.what());
            connection.closing = true;
        }
        if (connection.closing)
            return;
    }
}

nlohmann::json LinkServer::cardMessage(const char *op, size_t index, uint64_t serial)
{
    nlohmann::json configuration, status;
    m_simulator->card(index)->values(configuration, status);
    return {{"op", op}, {"card", index}, {"plug", serial}, {"config", std::move(configuration)}, {"status", std::move(status)}};
}

void LinkServer::greet(Connection &connection, const nlohmann::json &message)
{
    const std::string key = link::textField(message, "key");
    if (link::intField(message, "version") != link::kProtocolVersion || key != m_key) {
        link::sendMessage(connection.fd, {{"op", "refused"}, {"reason", "another card set or protocol"}}, kSendTime);
        connection.closing = true;
        return;
    }
    std::vector<std::string> problems;
    {
        std::lock_guard<std::mutex> lock(m_problemMutex);
        problems = m_startupProblems;
    }
    bool ok = link::sendMessage(connection.fd, {{"op", "welcome"}, {"pid", int64_t(getpid())}, {"problems", problems}}, kSendTime);
    for (size_t i = 0; ok && i < m_simulator->cardCount(); ++i)
        ok = link::sendMessage(connection.fd, cardMessage("card", i, m_simulator->plugSerial(i)), kSendTime);
    ok = ok && link::sendMessage(connection.fd, {{"op", "ready"}}, kSendTime);
    connection.greeted = ok;
    connection.closing = !ok;
}

void LinkServer::handle(uint64_t id, Connection &connection, const nlohmann::json &message)
{
    const std::string op = message["op"];
    if (!connection.greeted) {
        if (op != "hello")
            throw std::runtime_error("\"" + op + "\" before hello");
        greet(connection, message);
        return;
    }
    if (op == "synced") {
        auto sync = m_syncs.find(link::serialField(message, "id"));
        if (sync != m_syncs.end())
            sync->second.waiting.erase(id);
        return;
    }
    if (op == "bye") {
        connection.closing = true;
        connection.endSet = message.value("end", false) == true;
        return;
    }
    if (op != "set" && op != "store" && op != "release")
        throw std::runtime_error("unknown request \"" + op + "\"");

    const uint64_t request = link::serialField(message, "id");
    const int64_t index = link::intField(message, "card");
    const uint64_t plug = link::serialField(message, "plug");
    if (index < 0 || size_t(index) >= m_simulator->cardCount())
        throw std::runtime_error("no card " + std::to_string(index));
    const std::shared_ptr<SimCard> card = m_simulator->card(size_t(index));
    const std::shared_ptr<Attachment> attachment = card->currentAttachment();
    // A request for a plug-in that has ended fails, as on the card itself.
    const bool live = attachment && attachment->serial == plug;
    nlohmann::json reply = {{"op", "reply"}, {"id", request}, {"result", kZeltraFail}};
    std::vector<std::string> problems;
    {
        std::lock_guard<std::mutex> lock(m_problemMutex);
        m_collecting = &problems;
    }
    if (op == "set") {
        const uint64_t session = link::serialField(message, "session");
        const std::string item = link::textField(message, "item");
        if (!message.contains("value") || !isCodeText(item))
            throw std::runtime_error("a set without an item or a value");
        const uint32_t code = parseCode(item, "");
        const std::optional<ItemValue> current = card->configurationValue(code);
        ItemValue value;
        uint64_t sequence = 0;
        if (!live)
            reply["result"] = kZeltraFail;
        else if (!current)
            reply["result"] = kZeltraNotImplemented;
        else if (!link::valueFromJson(typeOf(*current), message["value"], value))
            reply["result"] = kZeltraInvalidArgument;
        else
            reply["result"] = card->setConfiguration(*attachment, code, std::move(value), 0, sequence);
        if (reply["result"] == kZeltraOk) {
            uint64_t &last = connection.sessions[SessionKey(int(index), plug, session)];
            last = std::max(last, sequence);
            reply["sequence"] = sequence;
        }
    } else if (op == "store") {
        if (live)
            reply["result"] = card->storePreferences(*attachment);
    } else {
        const auto it = connection.sessions.find(SessionKey(int(index), plug, link::serialField(message, "session")));
        if (it != connection.sessions.end()) {
            if (live)
                card->revertUnstored(*attachment, 0, it->second);
            connection.sessions.erase(it);
        }
        reply["result"] = kZeltraOk;
    }
    // The notices go out before the reply, so that the writer's own mirror
    // holds the change when its call returns.
    m_simulator->deliverPending();
    {
        std::lock_guard<std::mutex> lock(m_problemMutex);
        m_collecting = nullptr;
    }
    if (!problems.empty())
        reply["problems"] = problems;
    send(id, connection, reply);
}

void LinkServer::send(uint64_t, Connection &connection, const nlohmann::json &message)
{
    if (connection.closing || !link::sendMessage(connection.fd, message, kSendTime))
        connection.closing = true; // gone, or too slow to keep up
}

void LinkServer::broadcast(const nlohmann::json &message)
{
    for (auto &[id, connection] : m_connections) {
        if (connection.greeted)
            send(id, connection, message);
    }
}

void LinkServer::notice(int card, uint32_t topic, uint64_t param)
{
    nlohmann::json configuration, status;
    m_simulator->card(size_t(card))->values(configuration, status);
    nlohmann::json message = {{"op", "change"}, {"card", card}, {"topic", topic}, {"param", param}};
    // A notice carries the values it is about.
    if (topic == kZeltraTopicPreferences)
        message["config"] = std::move(configuration);
    else
        message["status"] = std::move(status);
    broadcast(message);
}

void LinkServer::deviceArrived(IZeltra *device)
{
    const CardLink &link = static_cast<ZeltraDevice *>(device)->link();
    broadcast(cardMessage("plug", size_t(link.card->index()), link.attachment->serial));
}

void LinkServer::deviceRemoved(IZeltra *device)
{
    const CardLink &link = static_cast<ZeltraDevice *>(device)->link();
    broadcast({{"op", "unplug"}, {"card", link.card->index()}, {"plug", link.attachment->serial}});
}

void LinkServer::whenDelivered(std::function<void()> ready)
{
    PendingSync sync;
    sync.deadline = std::chrono::steady_clock::now() + kSyncTime;
    sync.ready = std::move(ready);
    const uint64_t number = m_nextSync++;
    for (auto &[id, connection] : m_connections) {
        if (!connection.greeted || connection.closing)
            continue;
        send(id, connection, {{"op", "sync"}, {"id", number}});
        if (!connection.closing)
            sync.waiting.insert(id);
    }
    m_syncs.emplace(number, std::move(sync));
    settleSyncs();
}

void LinkServer::settleSyncs()
{
    const auto now = std::chrono::steady_clock::now();
    for (auto it = m_syncs.begin(); it != m_syncs.end();) {
        if (it->second.waiting.empty() || now >= it->second.deadline) {
            auto ready = std::move(it->second.ready);
            it = m_syncs.erase(it);
            if (ready)
                ready();
        } else {
            ++it;
        }
    }
}

void LinkServer::sweep()
{
    for (;;) {
        auto it = std::find_if(m_connections.begin(), m_connections.end(), [](const auto &entry) { return entry.second.closing; });
        if (it == m_connections.end())
            return;
        const uint64_t id = it->first;
        Connection connection = std::move(it->second);
        m_connections.erase(it);
        for (auto &[number, sync] : m_syncs)
            sync.waiting.erase(id);
        // A program that lets go of the cards (or ends, or is killed) leaves
        // them as they were stored.
        for (const auto &[key, sequence] : connection.sessions) {
            const std::shared_ptr<SimCard> card = m_simulator->card(size_t(std::get<0>(key)));
            const std::shared_ptr<Attachment> attachment = card ? card->currentAttachment() : nullptr;
            if (attachment && attachment->serial == std::get<1>(key))
                card->revertUnstored(*attachment, 0, sequence);
        }
        m_simulator->deliverPending();
        // The last program that asks for the end hears of it only once the
        // set's sockets are gone: a program started after it never finds a
        // daemon that ends.
        if (m_connections.empty()) {
            m_idleRetry = connection.endSet ? std::chrono::steady_clock::time_point{} : std::chrono::steady_clock::now() + kLinger;
            checkIdle();
        }
        ::close(connection.fd);
    }
}

void LinkServer::checkIdle()
{
    if (m_ending || !m_connections.empty())
        return;
    const auto now = std::chrono::steady_clock::now();
    if (m_idleRetry != std::chrono::steady_clock::time_point{} && now < m_idleRetry)
        return;
    // A process that holds the lock is about to connect: stay for it.
    const std::string lockFile = link::lockPath(m_folder, m_key);
    // A lock that cannot be opened means the runtime folder is gone (a
    // test's, removed as it ended): nobody can reach the set any more.
    const int lock = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock >= 0 && flock(lock, LOCK_EX | LOCK_NB) != 0) {
        close(lock);
        m_idleRetry = now + kIdleRetry;
        return;
    }
    // Holding the lock, nobody connects any more: the set ends here. The
    // lock stays held (and the descriptor open) until the daemon exits.
    m_ending = true;
    m_idleRetry = {};
    unlink(link::linkPath(m_folder, m_key).c_str());
    unlink(link::pidPath(m_folder, m_key).c_str());
    m_simulator->closeControl();
    const char byte = 1;
    [[maybe_unused]] ssize_t n = write(m_idleWrite, &byte, 1);
}

} // namespace cardsim
