#pragma once

#include "linkwire.h"
#include "simcard.h"

#include <nlohmann/json.hpp>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace cardsim {

// A library process's connection to the daemon that keeps its card set
// (zeltra-simd, beside the library). Requests ("set", "store", "release")
// are sent from the caller's thread and wait for their reply; the link's own
// thread reads everything the daemon sends, hands replies to the waiting
// callers and every other message to the event handler. It never calls into
// the host, so a host thread waiting for a reply cannot be stuck behind a
// host callback.
//
// Locks: m_sendMutex keeps messages whole on the socket; m_replyMutex guards
// m_replies and m_closed.
class SetLink final : public RemoteCards
{
public:
    struct Greeting
    {
        pid_t daemonPid = 0;
        std::vector<nlohmann::json> cards; // "card" messages, in card order
        std::vector<std::string> problems;
    };

    // Connects to the daemon of card set key in folder, starting it when
    // nobody answers, and reads its greeting. Null with error set on failure.
    static std::shared_ptr<SetLink> open(const std::string &folder, const std::string &key, Greeting &greeting,
                                         std::string &error);
    ~SetLink() override;
    SetLink(const SetLink &) = delete;
    SetLink &operator=(const SetLink &) = delete;

    using EventHandler = std::function<void(const nlohmann::json &)>;
    // Starts the link's thread. onLost is called on it once if the daemon
    // goes away while the link is open.
    bool start(EventHandler onEvent, std::function<void()> onLost, std::string &error);
    // Says goodbye (the daemon drops this process's unstored changes), waits
    // briefly for the daemon to close, and stops the thread. With endSet the
    // set ends at once when nobody else uses it, so that the next start is a
    // fresh one; otherwise it stays a moment for the next program.
    void close(bool endSet = false);
    // The notices before sync number id were delivered.
    void acknowledge(uint64_t id);

    int32_t setConfiguration(int card, uint64_t plug, uint64_t session, uint32_t id, const ItemValue &value,
                             uint64_t &sequence) override;
    int32_t storePreferences(int card, uint64_t plug) override;
    void releaseSession(int card, uint64_t plug, uint64_t session) override;

private:
    explicit SetLink(int fd) : m_fd(fd) {}
    // The reply, or a null JSON value when the daemon did not answer.
    nlohmann::json request(nlohmann::json message);
    bool send(const nlohmann::json &message);
    void run();

    const int m_fd;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_closing{false};
    EventHandler m_onEvent;
    std::function<void()> m_onLost;
    link::MessageReader m_reader; // the link's thread only

    std::mutex m_sendMutex;
    std::mutex m_replyMutex;
    std::condition_variable m_replied;
    std::map<uint64_t, nlohmann::json> m_replies;
    bool m_closed = false;
    uint64_t m_nextRequest = 1;
};

// What the cards of a library process send their changes through: the link
// to the daemon in force, which a new one replaces when the daemon had to be
// started again. m_mutex guards m_link.
class RemoteSet final : public RemoteCards
{
public:
    std::shared_ptr<SetLink> link() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_link;
    }
    // The link it replaces.
    std::shared_ptr<SetLink> replace(std::shared_ptr<SetLink> link)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::swap(m_link, link);
        return link;
    }

    int32_t setConfiguration(int card, uint64_t plug, uint64_t session, uint32_t id, const ItemValue &value,
                             uint64_t &sequence) override
    {
        auto current = link();
        return current ? current->setConfiguration(card, plug, session, id, value, sequence) : -1;
    }
    int32_t storePreferences(int card, uint64_t plug) override
    {
        auto current = link();
        return current ? current->storePreferences(card, plug) : -1;
    }
    void releaseSession(int card, uint64_t plug, uint64_t session) override
    {
        if (auto current = link())
            current->releaseSession(card, plug, session);
    }

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<SetLink> m_link;
};

} // namespace cardsim
