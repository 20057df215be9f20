#pragma once

#include "carddescription.h"
#include "controlserver.h"
#include "eventloop.h"
#include "simcard.h"

#include <nlohmann/json_fwd.hpp>

#include <condition_variable>
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

class SetLink;
class RemoteSet;

// The simulated machine: the cards from the card description, which of them
// are plugged in, the hosts waiting for arrivals and removals, the library's
// thread and the control socket. One per process, created at the first
// factory call.
//
// The cards of one card set are kept by its daemon (zeltra-simd), which runs
// a simulator that owns them. A library process runs one that mirrors them
// over a SetLink: the link's thread applies what the daemon sends and the
// library's thread passes it on to the host. A process that cannot reach a
// daemon owns its cards itself, as the daemon does.
class Simulator : public std::enable_shared_from_this<Simulator>
{
public:
    // What the daemon adds to the simulator it serves from.
    struct Service
    {
        PollClient *link = nullptr; // watched by the library's thread
        std::string controlPath;    // where zeltra-simctl reaches the set
        // Every notice of a card as it is delivered.
        std::function<void(int card, uint32_t topic, uint64_t param)> notice;
        // Called with each control command's reply; sends it when called.
        std::function<void(std::function<void()> reply)> gate;
        // Told the simulator before its thread starts.
        std::function<void(const std::shared_ptr<Simulator> &)> bind;
    };

    // The running simulator, created on first use from the environment;
    // null once the library is being unloaded.
    static std::shared_ptr<Simulator> current();
    // The daemon's simulator: owns the cards of description.
    static std::shared_ptr<Simulator> serve(SimulatorDescription description, Service service);
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

    // For the daemon (on the library's thread): the cards, the plug-in in
    // force of each (0: unplugged), and delivering queued notices now.
    size_t cardCount() const { return m_slots.size(); }
    std::shared_ptr<SimCard> card(size_t index) const;
    uint64_t plugSerial(size_t index) const;
    void deliverPending();
    // The daemon's control socket goes before the daemon does.
    void closeControl();

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
    void startServing(SimulatorDescription description, Service service);
    // Builds the slots; remote cards mirror the daemon's over link.
    void makeSlots(SimulatorDescription description, const std::shared_ptr<RemoteSet> &link);
    // Owns the cards: a control socket of its own; service adds the daemon's parts.
    void startLocal(const Service *service);
    // unloading: the program lets go of its set, which may stay a moment for
    // the next; otherwise (a test starting over) the set ends with us.
    void shutdown(bool unloading = true);
    // What the daemon sends, on the link's thread.
    void linkEvent(const nlohmann::json &message);
    void linkLost();
    bool startLink(const std::shared_ptr<SetLink> &link);
    void applyCard(const nlohmann::json &message);
    void unplugAll();

    static bool configuresDuplex(const SimCard &card);
    // What the partner at that slot does when the configuring card's duplex
    // mode changes.
    std::function<void(int64_t)> duplexFollower(size_t partner);
    // The card at index is a partner that its card's full duplex keeps away.
    bool withdrawnByPartner(size_t index) const;
    // serial 0 numbers a plug-in of our own; a remote one brings the daemon's.
    void plug(size_t index, uint64_t serial = 0);
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
    std::unique_ptr<PollGroup> m_pollGroup;
    // A remote set: the link in force (set before the threads start), where
    // the set is, and the links replaced after their daemon went away, kept
    // until shutdown because their threads may still be returning.
    std::shared_ptr<RemoteSet> m_remote;
    std::string m_folder;
    std::string m_key;
    std::string m_entry; // our <pid>.sock leading to the daemon's control socket
    std::mutex m_reconnectMutex;
    std::condition_variable m_reconnectWake;
    bool m_stopping = false; // guarded by m_reconnectMutex
    std::vector<std::shared_ptr<SetLink>> m_retired; // likewise
    std::string m_apiVersion;

    mutable std::mutex m_mutex;
    std::vector<Slot> m_slots;
    std::vector<Client> m_clients;
    uint64_t m_nextSerial = 1;
    uint64_t m_nextClient = 1;
    bool m_running = false;
};

} // namespace cardsim
