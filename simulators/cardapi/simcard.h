#pragma once

#include "carddescription.h"
#include "preferencestore.h"

#include <nlohmann/json_fwd.hpp>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class IZeltraNotificationCallback;

namespace cardsim {

class EventLoop;

// One plug-in of a card. Library objects handed out for the card hold it;
// once the card is unplugged it stays detached, and every query made through
// those objects fails.
struct Attachment
{
    explicit Attachment(uint64_t plugSerial) : serial(plugSerial) {}
    std::atomic<bool> attached{true};
    const uint64_t serial; // the plug-in's number, the same in every process
};

// Where a card whose state is kept by the card set daemon sends what changes
// it; the answers are the driver interface's result codes.
class RemoteCards
{
public:
    virtual ~RemoteCards() = default;
    virtual int32_t setConfiguration(int card, uint64_t plug, uint64_t session, uint32_t id, const ItemValue &value,
                                     uint64_t &sequence) = 0;
    virtual int32_t storePreferences(int card, uint64_t plug) = 0;
    // The configuration session ended: its unstored changes are dropped.
    virtual void releaseSession(int card, uint64_t plug, uint64_t session) = 0;
};

// The state of one simulated card: its fixed attributes, the live and the
// stored configuration, the live status and the subscribers to its notices.
// All members are safe to call from any thread; notices are delivered on the
// library's thread.
//
// A card either keeps its state itself (in the card set daemon, or in a
// program that could not reach one) or mirrors the daemon's (remote): then
// reads are answered from the mirror, changes go to the daemon and come back
// through applyValues and remoteNotice, as every other process sees them.
class SimCard : public std::enable_shared_from_this<SimCard>
{
public:
    SimCard(int index, CardDescription description, std::shared_ptr<EventLoop> loop,
            std::shared_ptr<RemoteCards> remote = nullptr);

    int index() const { return m_index; }
    const CardDescription &description() const { return m_description; }
    std::optional<int64_t> persistentId() const;

    // A new attachment for a plug-in; unplug() detaches it and returns the
    // card to its stored preferences, as a power cycle would.
    std::shared_ptr<Attachment> plug(uint64_t serial);
    void unplug();
    bool isPlugged() const;
    // The plug-in in force, or null while unplugged.
    std::shared_ptr<Attachment> currentAttachment() const;

    int32_t getAttribute(const Attachment &a, uint32_t id, ItemType type, ItemValue &out) const;

    int32_t getConfiguration(const Attachment &a, uint32_t id, ItemType type, ItemValue &out) const;
    // Applies the value at once and announces 'pref'. On success sequence
    // receives the change's number, for revertUnstored. session names the
    // writer's configuration session (for a remote card).
    int32_t setConfiguration(const Attachment &a, uint32_t id, ItemValue value, uint64_t session, uint64_t &sequence);
    // Stores the configuration as the card's preferences, and those of its
    // paired sub-device ('ppid'): their connectors are configured together,
    // and the settings of one are often changed from the other's window.
    int32_t storePreferences(const Attachment &a);
    void setPartner(const std::shared_ptr<SimCard> &partner) { m_partner = partner; }
    // Full duplex of a card that configures it: its partner is away.
    bool holdsBothConnectors() const;
    // Told the new duplex mode ('dupx') whenever a writer, or a return to the
    // stored preferences, changes it; called on the writer's thread with no
    // lock of the card held. Set once, before the card is shared.
    void setDuplexListener(std::function<void(int64_t)> listener) { m_duplexListener = std::move(listener); }
    // Returns the card to its stored preferences when the change numbered
    // sequence has not been stored since.
    void revertUnstored(const Attachment &a, uint64_t session, uint64_t sequence);

    int32_t getStatus(const Attachment &a, uint32_t id, ItemType type, ItemValue &out) const;
    // For the control command: changes a status value and announces 'stat'.
    // Fails with a reason when the card has no such item or the type differs.
    bool setStatus(uint32_t id, const ItemValue &value, std::string &error);
    std::optional<ItemValue> statusValue(uint32_t id) const;
    // For the control command: the value a writer last set (or the stored
    // preference), so that a test can see what reached the card.
    std::optional<ItemValue> configurationValue(uint32_t id) const;

    int32_t subscribe(const std::shared_ptr<Attachment> &a, uint64_t owner, uint32_t topic,
                      IZeltraNotificationCallback *callback);
    int32_t unsubscribe(uint64_t owner, uint32_t topic, IZeltraNotificationCallback *callback);
    // Everything owner subscribed, when its notification object goes away.
    void unsubscribeAll(uint64_t owner);

    // The live configuration and status values, for another process.
    void values(nlohmann::json &configuration, nlohmann::json &status) const;
    // A remote card takes the daemon's values; codes it does not know and
    // values of another type are skipped.
    void applyValues(const nlohmann::json &configuration, const nlohmann::json &status);
    // A remote card passes on a notice the daemon sent.
    void remoteNotice(uint32_t topic, uint64_t param1) { announce(topic, param1); }
    // Told every notice as it is delivered, subscribed or not (the daemon
    // passes them on to its processes). Set once, before the card is shared.
    void setObserver(std::function<void(uint32_t, uint64_t)> observer) { m_observer = std::move(observer); }
private:
    struct Subscription
    {
        uint64_t serial;
        uint64_t owner;
        uint32_t topic;
        IZeltraNotificationCallback *callback; // one reference held
        std::shared_ptr<Attachment> attachment;
    };

    bool live(const Attachment &a) const { return a.attached.load() && &a == m_attachment.get(); }
    void loadPreferences();
    bool storeLocked(std::string &error);
    // Copies configuration items that drive status items; returns the status
    // ids changed. Caller holds m_mutex.
    std::vector<uint32_t> updateFollowingStatus();
    void revertLocked(std::vector<uint32_t> &changedConfig, std::vector<uint32_t> &changedStatus);
    void announce(uint32_t topic, uint64_t param1);
    void tellDuplex(const std::vector<uint32_t> &changedConfig);
    void deliver(uint32_t topic, uint64_t param1);
    void releaseCallbacks(std::vector<IZeltraNotificationCallback *> callbacks);

    const int m_index;
    const CardDescription m_description;
    const std::shared_ptr<EventLoop> m_loop;
    PreferenceStore m_store;
    std::weak_ptr<SimCard> m_partner; // set once, before the card is shared
    std::function<void(int64_t)> m_duplexListener; // likewise
    std::function<void(uint32_t, uint64_t)> m_observer; // likewise
    const std::shared_ptr<RemoteCards> m_remote;

    mutable std::mutex m_mutex;
    std::shared_ptr<Attachment> m_attachment; // null while unplugged
    ItemSet m_stored;
    ItemSet m_live;
    ItemSet m_status;
    uint64_t m_sequence = 0;
    uint64_t m_lastStore = 0;
    std::vector<Subscription> m_subscriptions;
    uint64_t m_nextSubscription = 1;
};

} // namespace cardsim
