#pragma once

#include "eventloop.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace cardsim {

// The control socket of one running simulator. Runs on the library's thread
// (as the loop's poll client): reads one request line per connection, hands
// it to the handler and writes the reply back.
class ControlServer final : public PollClient
{
public:
    using Handler = std::function<std::string(const std::vector<std::string> &)>;

    explicit ControlServer(Handler handler) : m_handler(std::move(handler)) {}
    ~ControlServer() override;
    ControlServer(const ControlServer &) = delete;
    ControlServer &operator=(const ControlServer &) = delete;

    bool listen(std::string &error);
    // Closes every connection and removes the socket file.
    void close();
    const std::string &path() const { return m_path; }

    int preparePoll(std::vector<pollfd> &fds) override;
    void handlePoll(const pollfd *fds, size_t count) override;

private:
    struct Connection
    {
        int fd;
        std::string request;
        std::chrono::steady_clock::time_point opened;
    };
    void accept();
    // False when the connection is finished and must be closed.
    bool read(Connection &connection);
    void reply(int fd, const std::string &text);

    Handler m_handler;
    int m_listen = -1;
    std::string m_path;
    std::vector<Connection> m_connections;
};

} // namespace cardsim
