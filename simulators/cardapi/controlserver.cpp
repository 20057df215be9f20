#include "controlserver.h"

#include "controlprotocol.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace cardsim {

namespace {
constexpr auto kRequestTimeout = std::chrono::seconds(5);
constexpr size_t kMaxConnections = 16;
} // namespace

ControlServer::~ControlServer()
{
    close();
}

bool ControlServer::listen(std::string &error, const std::string &givenPath)
{
    std::string path = givenPath;
    if (path.empty()) {
        const std::string folder = control::runtimeFolder(error);
        if (folder.empty())
            return false;
        path = control::socketPath(folder, getpid());
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        error = path + ": path too long for a socket";
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    // A file of the same name is left over from an earlier process with our
    // pid (or an earlier daemon of our set), which cannot be running any more.
    unlink(path.c_str());
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0) {
        error = path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    m_listen = fd;
    m_path = path;
    return true;
}

void ControlServer::close()
{
    for (Connection &c : m_connections)
        ::close(c.fd);
    m_connections.clear();
    if (m_listen >= 0) {
        ::close(m_listen);
        m_listen = -1;
        unlink(m_path.c_str());
    }
}

int ControlServer::preparePoll(std::vector<pollfd> &fds)
{
    m_polled.clear();
    if (m_listen < 0)
        return -1;
    fds.push_back({m_listen, POLLIN, 0});
    for (const Connection &c : m_connections) {
        if (c.held)
            continue;
        fds.push_back({c.fd, POLLIN, 0});
        m_polled.push_back(c.token);
    }
    return m_connections.empty() ? -1 : 500;
}

void ControlServer::handlePoll(const pollfd *fds, size_t count)
{
    if (m_listen < 0 || count == 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    std::vector<Connection> kept;
    std::vector<uint64_t> toGate;
    for (Connection &c : m_connections) {
        bool keep = true;
        if (!c.held) {
            const auto at = std::find(m_polled.begin(), m_polled.end(), c.token);
            const size_t slot = size_t(at - m_polled.begin()) + 1;
            if (at != m_polled.end() && slot < count && (fds[slot].revents & (POLLIN | POLLHUP | POLLERR)))
                keep = read(c);
            if (keep && c.held)
                toGate.push_back(c.token);
        }
        if (keep && now - c.opened > kRequestTimeout) {
            // A gate that never opened: the answer goes out as it is.
            if (c.held)
                reply(c.fd, c.answer);
            keep = false;
        }
        if (keep)
            kept.push_back(std::move(c));
        else
            ::close(c.fd);
    }
    m_connections = std::move(kept);
    if (fds[0].revents & POLLIN)
        accept();
    for (uint64_t token : toGate)
        m_gate([this, token] { release(token); });
}

void ControlServer::release(uint64_t token)
{
    auto it = std::find_if(m_connections.begin(), m_connections.end(), [token](const Connection &c) { return c.token == token; });
    if (it == m_connections.end())
        return;
    reply(it->fd, it->answer);
    ::close(it->fd);
    m_connections.erase(it);
}

void ControlServer::accept()
{
    for (;;) {
        const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        if (m_connections.size() >= kMaxConnections) {
            reply(fd, "error: too many connections\n");
            ::close(fd);
            continue;
        }
        Connection connection;
        connection.token = m_nextToken++;
        connection.fd = fd;
        connection.opened = std::chrono::steady_clock::now();
        m_connections.push_back(std::move(connection));
    }
}

bool ControlServer::read(Connection &connection)
{
    char buffer[1024];
    for (;;) {
        const ssize_t n = ::read(connection.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        if (n <= 0)
            return false;
        connection.request.append(buffer, size_t(n));
        const size_t end = connection.request.find('\n');
        if (end != std::string::npos) {
            std::string answer;
            try {
                answer = m_handler(control::splitArguments(connection.request.substr(0, end)));
            } catch (const std::exception &e) {
                answer = std::string("error: ") + e.what() + "\n";
            }
            if (m_gate) {
                connection.held = true;
                connection.answer = std::move(answer);
                return true;
            }
            reply(connection.fd, answer);
            return false;
        }
        if (connection.request.size() > control::kMaxRequest) {
            reply(connection.fd, "error: request too long\n");
            return false;
        }
    }
}

void ControlServer::reply(int fd, const std::string &text)
{
    // Replies are short; a client that does not read them loses them rather
    // than stalling the library's thread.
    size_t written = 0;
    int attempts = 0;
    while (written < text.size() && attempts < 100) {
        const ssize_t n = send(fd, text.data() + written, text.size() - written, MSG_NOSIGNAL);
        if (n > 0) {
            written += size_t(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            ++attempts;
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, 10);
        } else {
            return;
        }
    }
}

} // namespace cardsim
