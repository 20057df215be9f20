#include "setlink.h"

#include "preferencestore.h"
#include "zeltraapi.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace cardsim {

namespace {

constexpr auto kAnswerTime = std::chrono::seconds(5);
constexpr auto kGoodbyeTime = std::chrono::seconds(2);

// zeltra-simd lives beside the library.
std::string daemonPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&daemonPath), &info) == 0 || info.dli_fname == nullptr)
        return {};
    std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/zeltra-simd";
}

int connectTo(const std::string &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

// Starts the daemon; it returns (and is reaped here) once it listens, and
// goes on in a session of its own.
bool startDaemon(const std::string &folder, const std::string &key, std::string &error)
{
    const std::string path = daemonPath();
    if (path.empty() || access(path.c_str(), X_OK) != 0) {
        error = (path.empty() ? std::string("zeltra-simd") : path) + ": not found beside the library";
        return false;
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::string keyArgument = key;
    char *arguments[] = {const_cast<char *>(path.c_str()), const_cast<char *>("--key"), keyArgument.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.c_str(), nullptr, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        error = path + ": " + std::strerror(spawned);
        return false;
    }
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    // Someone else reaped it (a host that collects every child): whether it
    // listens shows when connecting.
    if (waited < 0)
        return true;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
        error = "the card description changed while the card set daemon started";
    else
        error = path + " failed (see " + link::logPath(folder, key) + ")";
    return false;
}

// Reads the daemon's greeting after hello.
bool greet(int fd, const std::string &key, SetLink::Greeting &greeting, std::string &error)
{
    const nlohmann::json hello = {{"op", "hello"}, {"version", link::kProtocolVersion}, {"key", key}, {"pid", int64_t(getpid())}};
    if (!link::sendMessage(fd, hello, std::chrono::duration_cast<std::chrono::milliseconds>(kAnswerTime))) {
        error = "the card set daemon does not listen";
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kAnswerTime;
    link::MessageReader reader;
    greeting = {};
    bool welcomed = false;
    try {
        for (;;) {
            nlohmann::json message;
            switch (reader.next(fd, message)) {
            case link::MessageReader::Result::NeedMore: {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
                if (left.count() <= 0) {
                    error = "the card set daemon did not answer";
                    return false;
                }
                pollfd p{fd, POLLIN, 0};
                poll(&p, 1, int(left.count()));
                continue;
            }
            case link::MessageReader::Result::Closed:
                error = "the card set daemon closed the connection";
                return false;
            case link::MessageReader::Result::Malformed:
                error = "the card set daemon sent a malformed message";
                return false;
            case link::MessageReader::Result::Message: break;
            }
            const std::string op = message["op"];
            if (op == "refused") {
                error = "the card set daemon refused: " + link::textField(message, "reason");
                return false;
            }
            if (op == "welcome") {
                greeting.daemonPid = pid_t(link::intField(message, "pid"));
                for (const auto &problem : message.value("problems", nlohmann::json::array())) {
                    if (problem.is_string())
                        greeting.problems.push_back(problem.get<std::string>());
                }
                welcomed = true;
            } else if (op == "card" && welcomed) {
                greeting.cards.push_back(std::move(message));
            } else if (op == "ready" && welcomed) {
                return true;
            }
            // Anything else before ready (notices about cards not yet
            // described) is covered by the card descriptions that follow.
        }
    } catch (const std::exception &e) {
        error = std::string("the card set daemon sent a malformed greeting: ") + e.what();
    }
    return false;
}

} // namespace

std::shared_ptr<SetLink> SetLink::open(const std::string &folder, const std::string &key, Greeting &greeting,
                                       std::string &error)
{
    if (mkdir(link::setsFolder(folder).c_str(), 0700) != 0 && errno != EEXIST) {
        error = link::setsFolder(folder) + ": " + std::strerror(errno);
        return nullptr;
    }
    // Holding the lock, nobody else starts a daemon for this set, and its
    // daemon does not stop between our connecting and its welcome.
    const std::string lockFile = link::lockPath(folder, key);
    const int lock = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock < 0) {
        error = lockFile + ": " + std::strerror(errno);
        return nullptr;
    }
    while (flock(lock, LOCK_EX) != 0 && errno == EINTR) {
    }
    const std::string path = link::linkPath(folder, key);
    int fd = -1;
    for (int round = 0; round < 3 && fd < 0; ++round) {
        fd = connectTo(path);
        if (fd >= 0 && !greet(fd, key, greeting, error)) {
            ::close(fd);
            fd = -1;
        }
        // Nobody answered, or a daemon that was stopping: start another.
        if (fd < 0 && round < 2 && !startDaemon(folder, key, error))
            break;
    }
    ::close(lock);
    if (fd < 0) {
        if (error.empty())
            error = path + ": the card set daemon does not answer";
        return nullptr;
    }
    return std::shared_ptr<SetLink>(new SetLink(fd));
}

SetLink::~SetLink()
{
    close();
    ::close(m_fd);
}

bool SetLink::start(EventHandler onEvent, std::function<void()> onLost, std::string &error)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("cannot create the wake-up pipe: ") + std::strerror(errno);
        return false;
    }
    m_wakeRead = fds[0];
    m_wakeWrite = fds[1];
    m_onEvent = std::move(onEvent);
    m_onLost = std::move(onLost);
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error &e) {
        error = std::string("cannot start the link thread: ") + e.what();
        return false;
    }
    return true;
}

void SetLink::run()
{
    while (!m_stopping) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        if (m_stopping)
            break;
        bool lost = false;
        for (;;) {
            nlohmann::json message;
            const auto result = m_reader.next(m_fd, message);
            if (result == link::MessageReader::Result::NeedMore)
                break;
            if (result != link::MessageReader::Result::Message) {
                lost = true;
                break;
            }
            try {
                if (message["op"] == "reply") {
                    const uint64_t id = link::serialField(message, "id");
                    std::lock_guard<std::mutex> lock(m_replyMutex);
                    m_replies[id] = std::move(message);
                    m_replied.notify_all();
                } else if (m_onEvent) {
                    m_onEvent(message);
                }
            } catch (const std::exception &) {
                lost = true; // the daemon speaks another language: stop listening
                break;
            }
        }
        if (lost) {
            {
                std::lock_guard<std::mutex> lock(m_replyMutex);
                m_closed = true;
                m_replied.notify_all();
            }
            if (!m_closing && m_onLost)
                m_onLost();
            return;
        }
    }
}

void SetLink::close(bool endSet)
{
    if (m_closing.exchange(true))
        return;
    if (m_thread.joinable()) {
        send({{"op", "bye"}, {"end", endSet}});
        std::unique_lock<std::mutex> lock(m_replyMutex);
        m_replied.wait_for(lock, kGoodbyeTime, [this] { return m_closed; });
        lock.unlock();
        m_stopping = true;
        const char byte = 1;
        [[maybe_unused]] ssize_t n = write(m_wakeWrite, &byte, 1);
        // Closed from its own thread (as it hands over to a new link): it
        // ends by itself once it returns.
        if (std::this_thread::get_id() == m_thread.get_id())
            m_thread.detach();
        else
            m_thread.join();
    }
    {
        std::lock_guard<std::mutex> lock(m_replyMutex);
        m_closed = true;
        m_replied.notify_all();
    }
    shutdown(m_fd, SHUT_RDWR);
    if (m_wakeRead >= 0)
        ::close(m_wakeRead);
    if (m_wakeWrite >= 0)
        ::close(m_wakeWrite);
    m_wakeRead = m_wakeWrite = -1;
}

bool SetLink::send(const nlohmann::json &message)
{
    std::lock_guard<std::mutex> lock(m_sendMutex);
    return link::sendMessage(m_fd, message, std::chrono::duration_cast<std::chrono::milliseconds>(kAnswerTime));
}

void SetLink::acknowledge(uint64_t id)
{
    send({{"op", "synced"}, {"id", id}});
}

nlohmann::json SetLink::request(nlohmann::json message)
{
    uint64_t id;
    {
        std::lock_guard<std::mutex> lock(m_replyMutex);
        if (m_closed || m_closing)
            return nullptr;
        id = m_nextRequest++;
    }
    message["id"] = id;
    if (!send(message))
        return nullptr;
    std::unique_lock<std::mutex> lock(m_replyMutex);
    m_replied.wait_for(lock, kAnswerTime, [&] { return m_closed || m_replies.count(id) > 0; });
    auto it = m_replies.find(id);
    if (it == m_replies.end())
        return nullptr;
    nlohmann::json reply = std::move(it->second);
    m_replies.erase(it);
    lock.unlock();
    // What went wrong in the daemon (a file it could not write) is told here.
    if (reply.contains("problems") && reply["problems"].is_array()) {
        for (const auto &problem : reply["problems"]) {
            if (problem.is_string())
                reportProblem(problem.get<std::string>());
        }
    }
    return reply;
}

int32_t SetLink::setConfiguration(int card, uint64_t plug, uint64_t session, uint32_t id, const ItemValue &value,
                                  uint64_t &sequence)
{
    const nlohmann::json reply = request({{"op", "set"}, {"card", card}, {"plug", plug}, {"session", session},
                                          {"item", codeText(id)}, {"value", link::valueToJson(value)}});
    try {
        if (reply.is_null())
            return kZeltraFail;
        const int32_t result = int32_t(link::intField(reply, "result"));
        if (result == kZeltraOk)
            sequence = link::serialField(reply, "sequence");
        return result;
    } catch (const std::exception &) {
        return kZeltraFail;
    }
}

int32_t SetLink::storePreferences(int card, uint64_t plug)
{
    const nlohmann::json reply = request({{"op", "store"}, {"card", card}, {"plug", plug}});
    try {
        return reply.is_null() ? kZeltraFail : int32_t(link::intField(reply, "result"));
    } catch (const std::exception &) {
        return kZeltraFail;
    }
}

void SetLink::releaseSession(int card, uint64_t plug, uint64_t session)
{
    request({{"op", "release"}, {"card", card}, {"plug", plug}, {"session", session}});
}

} // namespace cardsim
