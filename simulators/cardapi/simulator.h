#pragma once

#include "carddescription.h"
#include "controlserver.h"
#include "eventloop.h"
#include "simcard.h"

#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class IZeltra;
class IZeltraDeviceNotificationCallback;

namespace cardsim {

class ZeltraDevice;

// The simulated machine: the cards from the card description, which of them
// are plugged in, the hosts waiting for arrivals and removals, the library's
// thread and the control socket. One per process, created at the first
// factory call.
class Simulator : public std::enable_shared_from_this<Simulator>
{
public:
    // The running simulator, created on first use from the environment;
    // null once the library is being unloaded.
    static std::shared_ptr<Simulator> current();
    // Stops the current simulator (library unload, or a test starting over);
    // objects still held by the host stay valid but detached. The simulator
    // itself goes with the last object that refers to it.
    static void shutdownCurrent(bool unloading);

    ~Simulator();

    const std::string &apiVersion() const { return m_apiVersion; }

    // The cards plugged in now, in plug order, each with a new reference.
    std::vector<IZeltra *> presentDevices();

    // Registers a host for arrivals and removals; it is told at once (on the
    // library's thread) of every card already present.
    uint64_t addClient(IZeltraDeviceNotificationCallback *callback);
    // Returns once no call into that host is in progress any more.
    void removeClient(uint64_t id);

    // The control command's entry point; runs on the library's thread.
    std::string handleCommand(const std::vector<std::string> &arguments);

private:
    struct Slot
    {
        std::shared_ptr<SimCard> card;
        ZeltraDevice *device = nullptr; // our reference while plugged in
        uint64_t serial = 0;            // of the current plug-in
        uint64_t pluggedAt = 0;         // orders present cards
    };
    struct Client
    {
        uint64_t id;
        IZeltraDeviceNotificationCallback *callback; // one reference held
        std::set<uint64_t> announced;                // plug-in serials told as arrived
    };

    Simulator() = default;
    void start();
    void shutdown();

    static bool configuresDuplex(const SimCard &card);
    // What the partner at that slot does when the configuring card's duplex
    // mode changes.
    std::function<void(int64_t)> duplexFollower(size_t partner);
    // The card at index is a partner that its card's full duplex keeps away.
    bool withdrawnByPartner(size_t index) const;
    void plug(size_t index);
    void unplug(size_t index);
    void announceArrival(uint64_t clientId, ZeltraDevice *device, uint64_t serial);
    void announceRemoval(ZeltraDevice *device, uint64_t serial);
    bool stillPresent(uint64_t serial) const;

    std::string commandList() const;
    std::string commandStatus(size_t index) const;
    std::string commandConfiguration(size_t index) const;
    std::string commandGet(size_t index, const std::string &item) const;
    std::vector<size_t> selectCards(const std::string &which, std::string &error) const;

    std::shared_ptr<EventLoop> m_loop = std::make_shared<EventLoop>();
    std::unique_ptr<ControlServer> m_control;
    std::string m_apiVersion;

    mutable std::mutex m_mutex;
    std::vector<Slot> m_slots;
    std::vector<Client> m_clients;
    uint64_t m_nextSerial = 1;
    uint64_t m_nextClient = 1;
    bool m_running = false;
};

} // namespace cardsim
