#pragma once

#include "eventloop.h"
#include "linkwire.h"

#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <sys/types.h>
#include <tuple>
#include <vector>

class IZeltra;

namespace cardsim {

class Simulator;

// The daemon's side of the card set: the processes connected to it, what
// each of them changed and has not stored, and the notices they are sent.
// Everything runs on the simulator's thread (as its poll client, and from
// the card notices and arrivals it is told of), except problem(), which the
// main thread may call while the cards are loaded (m_problemMutex).
class LinkServer final : public PollClient
{
public:
    // listenFd is the listening socket at link::linkPath(folder, key).
    LinkServer(int listenFd, std::string folder, std::string key);
    ~LinkServer() override;
    LinkServer(const LinkServer &) = delete;
    LinkServer &operator=(const LinkServer &) = delete;

    // The simulator it serves, before the simulator's thread starts.
    void bind(const std::shared_ptr<Simulator> &simulator) { m_simulator = simulator; }
    // Starts passing on the simulator's arrivals and removals.
    void watchDevices();
    // Readable once the last process has gone and the daemon may end.
    int idleDescriptor() const { return m_idleRead; }

    int preparePoll(std::vector<pollfd> &fds) override;
    void handlePoll(const pollfd *fds, size_t count) override;

    // A card's notice: its values and the notice go to every process.
    void notice(int card, uint32_t topic, uint64_t param);
    // Calls ready once every process has delivered what it was sent so far
    // (or after two seconds): a control command's reply comes after its effect.
    void whenDelivered(std::function<void()> ready);
    void problem(const std::string &text);

    void deviceArrived(IZeltra *device);
    void deviceRemoved(IZeltra *device);

private:
    class Devices;
    using SessionKey = std::tuple<int, uint64_t, uint64_t>; // card, plug-in, session
    struct Connection
    {
        int fd = -1;
        pid_t pid = 0;
        bool greeted = false;
        bool closing = false;
        bool endSet = false; // said goodbye asking the set to end with it
        link::MessageReader reader;
        std::map<SessionKey, uint64_t> sessions; // last change of each, not stored since
    };
    struct PendingSync
    {
        std::set<uint64_t> waiting; // connections
        std::chrono::steady_clock::time_point deadline;
        std::function<void()> ready;
    };

    void accept();
    void read(uint64_t id);
    void handle(uint64_t id, Connection &connection, const nlohmann::json &message);
    void greet(Connection &connection, const nlohmann::json &message);
    nlohmann::json cardMessage(const char *op, size_t index, uint64_t serial);
    void send(uint64_t id, Connection &connection, const nlohmann::json &message);
    void broadcast(const nlohmann::json &message);
    // Closes the connections marked closing, dropping their unstored changes.
    void sweep();
    void settleSyncs();
    void checkIdle();

    const int m_listen;
    const std::string m_folder;
    const std::string m_key;
    std::shared_ptr<Simulator> m_simulator;
    std::unique_ptr<Devices> m_devices;
    uint64_t m_devicesClient = 0;
    std::map<uint64_t, Connection> m_connections;
    std::vector<uint64_t> m_polled;
    uint64_t m_nextConnection = 1;
    std::map<uint64_t, PendingSync> m_syncs;
    uint64_t m_nextSync = 1;
    bool m_ending = false;
    std::chrono::steady_clock::time_point m_idleRetry{};
    int m_idleRead = -1;
    int m_idleWrite = -1;

    std::mutex m_problemMutex;
    std::atomic<bool> m_running{false}; // the simulator's thread polls us
    std::vector<std::string> m_startupProblems; // told to every process that connects
    std::vector<std::string> *m_collecting = nullptr; // a request's, while it runs
};

} // namespace cardsim
