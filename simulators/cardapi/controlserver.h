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
    // Holds each reply back until it calls the function it is given (the
    // daemon waits until its processes have seen what the command changed).
    using Gate = std::function<void(std::function<void()> reply)>;

    explicit ControlServer(Handler handler) : m_handler(std::move(handler)) {}
    ~ControlServer() override;
    ControlServer(const ControlServer &) = delete;
    ControlServer &operator=(const ControlServer &) = delete;

    // Listens on <runtime folder>/<pid>.sock, or on path when given.
    bool listen(std::string &error, const std::string &path = {});
    // Closes every connection and removes the socket file.
    void close();
    const std::string &path() const { return m_path; }
    void setGate(Gate gate) { m_gate = std::move(gate); }

    int preparePoll(std::vector<pollfd> &fds) override;
    void handlePoll(const pollfd *fds, size_t count) override;

private:
    struct Connection
    {
        uint64_t token = 0;
        int fd = -1;
        std::string request;
        std::chrono::steady_clock::time_point opened;
        bool held = false; // answered, the reply waits for the gate
        std::string answer;
    };
    void accept();
    // False when the connection is finished and must be closed.
    bool read(Connection &connection);
    void reply(int fd, const std::string &text);
    void release(uint64_t token);

    Handler m_handler;
    Gate m_gate;
    uint64_t m_nextToken = 1;
    std::vector<uint64_t> m_polled; // tokens of the connections polled, in order
    int m_listen = -1;
    std::string m_path;
    std::vector<Connection> m_connections;
};

} // namespace cardsim
