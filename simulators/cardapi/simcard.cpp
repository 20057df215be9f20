#include "simcard.h"

#include "eventloop.h"
#include "linkwire.h"
#include "zeltraapi.h"

#include <algorithm>
#include <cmath>

namespace cardsim {

namespace {

constexpr uint32_t kDefaultOutputMode = zeltraCode("dvom");
constexpr uint32_t kCurrentOutputMode = zeltraCode("cvom");
constexpr uint32_t kCurrentOutputFlags = zeltraCode("cvof");
constexpr uint32_t kOutputPsF = zeltraCode("pfpr");
constexpr uint32_t kDuplexMode = zeltraCode("dupx");
constexpr uint32_t kSubDeviceCount = zeltraCode("nsbd");
constexpr uint32_t kBusy = zeltraCode("busy");

// Checks a UTF-8 string: well-formed sequences only, no overlong forms or
// surrogates.
bool validUtf8(const std::string &text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = p + text.size();
    while (p < end) {
        const unsigned c = *p++;
        int extra;
        unsigned minimum;
        unsigned code;
        if (c < 0x80) {
            continue;
        } else if ((c & 0xe0) == 0xc0) {
            extra = 1; minimum = 0x80; code = c & 0x1f;
        } else if ((c & 0xf0) == 0xe0) {
            extra = 2; minimum = 0x800; code = c & 0x0f;
        } else if ((c & 0xf8) == 0xf0) {
            extra = 3; minimum = 0x10000; code = c & 0x07;
        } else {
            return false;
        }
        if (end - p < extra)
            return false;
        for (int i = 0; i < extra; ++i) {
            if ((p[i] & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3f);
        }
        p += extra;
        if (code < minimum || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
    }
    return true;
}

} // namespace

SimCard::SimCard(int index, CardDescription description, std::shared_ptr<EventLoop> loop,
                 std::shared_ptr<RemoteCards> remote)
    : m_index(index), m_description(std::move(description)), m_loop(std::move(loop)), m_remote(std::move(remote))
{
    m_stored = m_description.configuration;
    m_status = m_description.status;
    // A remote card's values come from the daemon, which keeps the store.
    if (!m_remote) {
        if (auto id = persistentId())
            m_store = PreferenceStore(*id);
        loadPreferences();
    }
    m_live = m_stored;
    updateFollowingStatus();
}

std::optional<int64_t> SimCard::persistentId() const
{
    const Item *item = m_description.attributes.find(zeltraCode("peid"));
    if (item == nullptr || typeOf(item->value) != ItemType::Int)
        return std::nullopt;
    return std::get<int64_t>(item->value);
}

namespace {

// Whether a writer may put value into item; the card's attributes give the
// bit masks that some items must stay within.
int32_t checkValue(const Item &item, const ItemValue &value, const ItemSet &attributes)
{
    if (typeOf(value) != typeOf(item.value))
        return kZeltraInvalidArgument;
    const ItemRule &rule = item.rule;
    double number = 0;
    switch (typeOf(value)) {
    case ItemType::Flag:
        return kZeltraOk;
    case ItemType::Int: {
        const int64_t v = std::get<int64_t>(value);
        number = double(v);
        if (!rule.allowed.empty() && std::find(rule.allowed.begin(), rule.allowed.end(), v) == rule.allowed.end())
            return kZeltraInvalidArgument;
        if (rule.bitsOfAttribute != 0) {
            const Item *mask = attributes.find(rule.bitsOfAttribute);
            const int64_t bits = mask && typeOf(mask->value) == ItemType::Int ? std::get<int64_t>(mask->value) : 0;
            if (v == 0 || (v & ~bits) != 0)
                return kZeltraInvalidArgument;
        }
        break;
    }
    case ItemType::Float:
        number = std::get<double>(value);
        if (!std::isfinite(number))
            return kZeltraInvalidArgument;
        break;
    case ItemType::String: {
        const std::string &s = std::get<std::string>(value);
        if (!validUtf8(s) || (rule.maxLength && int64_t(s.size()) > *rule.maxLength))
            return kZeltraInvalidArgument;
        return kZeltraOk;
    }
    case ItemType::Bytes:
        return kZeltraOk;
    }
    if ((rule.minimum && number < *rule.minimum) || (rule.maximum && number > *rule.maximum))
        return kZeltraInvalidArgument;
    return kZeltraOk;
}

ItemValue valueFromJson(ItemType type, const nlohmann::json &v, bool &ok)
{
    ok = true;
    switch (type) {
    case ItemType::Flag:
        if (v.is_boolean()) return v.get<bool>();
        break;
    case ItemType::Int:
        if (v.is_number_integer()) return v.get<int64_t>();
        break;
    case ItemType::Float:
        if (v.is_number()) return v.get<double>();
        break;
    case ItemType::String:
        if (v.is_string()) return v.get<std::string>();
        break;
    case ItemType::Bytes:
        break;
    }
    ok = false;
    return false;
}

const char *groupOf(ItemType type)
{
    switch (type) {
    case ItemType::Flag: return "flags";
    case ItemType::Int: return "ints";
    case ItemType::Float: return "floats";
    case ItemType::String: return "strings";
    case ItemType::Bytes: return "bytes";
    }
    return "";
}

} // namespace

void SimCard::loadPreferences()
{
    std::string error;
    const std::optional<nlohmann::json> values = m_store.load(error);
    if (!error.empty()) {
        reportProblem(error + "; using the card's factory settings");
        return;
    }
    if (!values)
        return;
    // Items the card no longer has, or values it would refuse, are skipped:
    // the file may come from another version of the card description.
    for (const auto &[id, item] : m_description.configuration.items()) {
        const char *group = groupOf(typeOf(item.value));
        const std::string key = codeText(id);
        if (!values->contains(group) || !values->at(group).is_object() || !values->at(group).contains(key))
            continue;
        bool ok = false;
        ItemValue value = valueFromJson(typeOf(item.value), values->at(group).at(key), ok);
        if (ok && checkValue(item, value, m_description.attributes) == kZeltraOk)
            m_stored.find(id)->value = std::move(value);
    }
}

std::shared_ptr<Attachment> SimCard::plug(uint64_t serial)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_attachment)
        m_attachment = std::make_shared<Attachment>(serial);
    return m_attachment;
}

void SimCard::unplug()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_attachment)
        return;
    m_attachment->attached = false;
    m_attachment.reset();
    // The daemon reverts a remote card and sends the values with its next plug-in.
    if (m_remote)
        return;
    std::vector<uint32_t> config, status;
    revertLocked(config, status);
}

std::shared_ptr<Attachment> SimCard::currentAttachment() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_attachment;
}

bool SimCard::isPlugged() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_attachment != nullptr;
}

namespace {

int32_t readItem(const ItemSet &set, uint32_t id, ItemType type, ItemValue &out)
{
    const Item *item = set.find(id);
    if (item == nullptr)
        return kZeltraNotImplemented;
    if (typeOf(item->value) != type)
        return kZeltraInvalidArgument;
    out = item->value;
    return kZeltraOk;
}

} // namespace

int32_t SimCard::getAttribute(const Attachment &a, uint32_t id, ItemType type, ItemValue &out) const
{
    // Attributes never change, so only the plug-in needs checking; except
    // the sub-device count of a card whose full duplex keeps its partner
    // away: it is the card's only sub-device then, and a program starting
    // meanwhile must not wait for the partner.
    if (!a.attached)
        return kZeltraFail;
    const int32_t result = readItem(m_description.attributes, id, type, out);
    if (result == kZeltraOk && id == kSubDeviceCount && holdsBothConnectors())
        out = int64_t(1);
    return result;
}

bool SimCard::holdsBothConnectors() const
{
    const Item *configures = m_description.attributes.find(kDuplexMode);
    if (m_partner.expired() || configures == nullptr || typeOf(configures->value) != ItemType::Flag
        || !std::get<bool>(configures->value))
        return false;
    const std::optional<ItemValue> mode = configurationValue(kDuplexMode);
    return mode && typeOf(*mode) == ItemType::Int && std::get<int64_t>(*mode) == int64_t(zeltraCode("fdup"));
}

int32_t SimCard::getConfiguration(const Attachment &a, uint32_t id, ItemType type, ItemValue &out) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!live(a))
        return kZeltraFail;
    return readItem(m_live, id, type, out);
}

int32_t SimCard::setConfiguration(const Attachment &a, uint32_t id, ItemValue value, uint64_t session, uint64_t &sequence)
{
    if (m_remote) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!live(a))
                return kZeltraFail;
            const Item *item = m_live.find(id);
            if (item == nullptr)
                return kZeltraNotImplemented;
            if (typeOf(item->value) != typeOf(value))
                return kZeltraInvalidArgument;
        }
        // Text that is not UTF-8 cannot travel to the daemon, which would refuse it anyway.
        if (typeOf(value) == ItemType::String && !validUtf8(std::get<std::string>(value)))
            return kZeltraInvalidArgument;
        return m_remote->setConfiguration(m_index, a.serial, session, id, value, sequence);
    }
    std::vector<uint32_t> changedStatus;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!live(a))
            return kZeltraFail;
        Item *item = m_live.find(id);
        if (item == nullptr)
            return kZeltraNotImplemented;
        const int32_t check = checkValue(*item, value, m_description.attributes);
        if (check != kZeltraOk)
            return check;
        sequence = ++m_sequence;
        if (item->value == value)
            return kZeltraOk;
        item->value = value;
        changedStatus = updateFollowingStatus();
        // A duplex change re-arranges the sub-devices: the card keeps it as
        // it is, whether or not the rest of the settings are ever stored.
        if (id == kDuplexMode && m_duplexListener) {
            m_stored.find(id)->value = std::move(value);
            std::string error;
            if (!m_store.save(m_stored.valuesToJson(), error))
                reportProblem("cannot store the duplex mode of \"" + m_description.displayName + "\": " + error);
        }
    }
    announce(kZeltraTopicPreferences, id);
    for (uint32_t status : changedStatus)
        announce(kZeltraTopicStatus, status);
    tellDuplex({id});
    return kZeltraOk;
}

int32_t SimCard::storePreferences(const Attachment &a)
{
    if (m_remote)
        return a.attached ? m_remote->storePreferences(m_index, a.serial) : kZeltraFail;
    std::string error;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!live(a))
            return kZeltraFail;
        if (!storeLocked(error)) {
            reportProblem("cannot store the preferences of \"" + m_description.displayName + "\": " + error);
            return kZeltraFail;
        }
    }
    if (auto partner = m_partner.lock()) {
        std::lock_guard<std::mutex> lock(partner->m_mutex);
        if (partner->m_attachment && !partner->storeLocked(error))
            reportProblem("cannot store the preferences of \"" + partner->m_description.displayName + "\": " + error);
    }
    return kZeltraOk;
}

bool SimCard::storeLocked(std::string &error)
{
    if (!m_store.save(m_live.valuesToJson(), error))
        return false;
    m_stored = m_live;
    m_lastStore = ++m_sequence;
    return true;
}

void SimCard::revertUnstored(const Attachment &a, uint64_t session, uint64_t sequence)
{
    if (m_remote) {
        if (sequence != 0 && a.attached)
            m_remote->releaseSession(m_index, a.serial, session);
        return;
    }
    std::vector<uint32_t> changedConfig, changedStatus;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!live(a) || sequence == 0 || sequence < m_lastStore)
            return;
        revertLocked(changedConfig, changedStatus);
    }
    if (!changedConfig.empty())
        announce(kZeltraTopicPreferences, changedConfig.size() == 1 ? changedConfig.front() : 0);
    for (uint32_t status : changedStatus)
        announce(kZeltraTopicStatus, status);
    tellDuplex(changedConfig);
}

void SimCard::tellDuplex(const std::vector<uint32_t> &changedConfig)
{
    if (!m_duplexListener || std::find(changedConfig.begin(), changedConfig.end(), kDuplexMode) == changedConfig.end())
        return;
    const std::optional<ItemValue> mode = configurationValue(kDuplexMode);
    if (mode && typeOf(*mode) == ItemType::Int)
        m_duplexListener(std::get<int64_t>(*mode));
}

void SimCard::revertLocked(std::vector<uint32_t> &changedConfig, std::vector<uint32_t> &changedStatus)
{
    for (const auto &[id, item] : m_stored.items()) {
        Item *current = m_live.find(id);
        if (current->value != item.value) {
            current->value = item.value;
            changedConfig.push_back(id);
        }
    }
    changedStatus = updateFollowingStatus();
}

std::vector<uint32_t> SimCard::updateFollowingStatus()
{
    std::vector<uint32_t> changed;
    auto update = [&](uint32_t statusId, const ItemValue &value) {
        Item *status = m_status.find(statusId);
        if (status && typeOf(status->value) == typeOf(value) && status->value != value) {
            status->value = value;
            changed.push_back(statusId);
        }
    };

    // An idle output shows the default output mode; while playing, the
    // playing clip decides (set through the control command).
    const Item *busy = m_status.find(kBusy);
    const bool playing = busy && typeOf(busy->value) == ItemType::Int && (std::get<int64_t>(busy->value) & 2);
    const Item *defaultMode = m_live.find(kDefaultOutputMode);
    if (!playing && defaultMode && typeOf(defaultMode->value) == ItemType::Int) {
        update(kCurrentOutputMode, defaultMode->value);
        const uint32_t mode = uint32_t(std::get<int64_t>(defaultMode->value));
        const Item *psf = m_live.find(kOutputPsF);
        bool segmented = false;
        if (psf && typeOf(psf->value) == ItemType::Flag && std::get<bool>(psf->value)) {
            for (const ModeSpec &m : m_description.outputModes) {
                if (m.id == mode && m.height == 1080 && m.timeScale / m.frameDuration <= 30)
                    segmented = true;
            }
        }
        const Item *flags = m_status.find(kCurrentOutputFlags);
        if (flags && typeOf(flags->value) == ItemType::Int) {
            const int64_t old = std::get<int64_t>(flags->value);
            update(kCurrentOutputFlags, int64_t(segmented ? (old | 1) : (old & ~int64_t(1))));
        }
    }
    // The duplex mode in use follows the configured one.
    if (const Item *duplex = m_live.find(kDuplexMode))
        update(kDuplexMode, duplex->value);
    return changed;
}

int32_t SimCard::getStatus(const Attachment &a, uint32_t id, ItemType type, ItemValue &out) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!live(a))
        return kZeltraFail;
    return readItem(m_status, id, type, out);
}

bool SimCard::setStatus(uint32_t id, const ItemValue &value, std::string &error)
{
    std::vector<uint32_t> changed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Item *item = m_status.find(id);
        if (item == nullptr) {
            error = "the card has no status item \"" + codeText(id) + "\"";
            return false;
        }
        if (typeOf(item->value) != typeOf(value)) {
            error = "status item \"" + codeText(id) + "\" holds a " + typeName(typeOf(item->value));
            return false;
        }
        if (item->value == value)
            return true;
        item->value = value;
        changed.push_back(id);
        if (id == kBusy) {
            for (uint32_t other : updateFollowingStatus())
                changed.push_back(other);
        }
    }
    for (uint32_t status : changed)
        announce(kZeltraTopicStatus, status);
    return true;
}

std::optional<ItemValue> SimCard::statusValue(uint32_t id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Item *item = m_status.find(id);
    if (item == nullptr)
        return std::nullopt;
    return item->value;
}

std::optional<ItemValue> SimCard::configurationValue(uint32_t id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Item *item = m_live.find(id);
    if (item == nullptr)
        return std::nullopt;
    return item->value;
}

int32_t SimCard::subscribe(const std::shared_ptr<Attachment> &a, uint64_t owner, uint32_t topic,
                           IZeltraNotificationCallback *callback)
{
    if (callback == nullptr)
        return kZeltraNullPointer;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!a || !live(*a))
        return kZeltraFail;
    for (const Subscription &s : m_subscriptions) {
        if (s.owner == owner && s.topic == topic && s.callback == callback)
            return kZeltraOk;
    }
    callback->AddRef();
    m_subscriptions.push_back({m_nextSubscription++, owner, topic, callback, a});
    return kZeltraOk;
}

int32_t SimCard::unsubscribe(uint64_t owner, uint32_t topic, IZeltraNotificationCallback *callback)
{
    if (callback == nullptr)
        return kZeltraNullPointer;
    std::vector<IZeltraNotificationCallback *> released;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = std::find_if(m_subscriptions.begin(), m_subscriptions.end(), [&](const Subscription &s) {
            return s.owner == owner && s.topic == topic && s.callback == callback;
        });
        if (it == m_subscriptions.end())
            return kZeltraInvalidArgument;
        released.push_back(it->callback);
        m_subscriptions.erase(it);
    }
    releaseCallbacks(std::move(released));
    return kZeltraOk;
}

void SimCard::unsubscribeAll(uint64_t owner)
{
    std::vector<IZeltraNotificationCallback *> released;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_subscriptions.begin(); it != m_subscriptions.end();) {
            if (it->owner == owner) {
                released.push_back(it->callback);
                it = m_subscriptions.erase(it);
            } else {
                ++it;
            }
        }
    }
    releaseCallbacks(std::move(released));
}

void SimCard::releaseCallbacks(std::vector<IZeltraNotificationCallback *> callbacks)
{
    if (callbacks.empty())
        return;
    // Once this returns the host may destroy the callbacks: wait for a
    // notice that is being delivered right now.
    m_loop->waitForDelivery();
    for (IZeltraNotificationCallback *callback : callbacks)
        callback->Release();
}

void SimCard::announce(uint32_t topic, uint64_t param1)
{
    std::weak_ptr<SimCard> weak = weak_from_this();
    m_loop->post([weak, topic, param1] {
        if (auto card = weak.lock())
            card->deliver(topic, param1);
    });
}

void SimCard::values(nlohmann::json &configuration, nlohmann::json &status) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    configuration = link::valuesOf(m_live);
    status = link::valuesOf(m_status);
}

void SimCard::applyValues(const nlohmann::json &configuration, const nlohmann::json &status)
{
    auto apply = [](ItemSet &set, const nlohmann::json &values) {
        if (!values.is_object())
            return;
        for (const auto &[key, json] : values.items()) {
            if (!isCodeText(key))
                continue;
            Item *item = set.find(parseCode(key, ""));
            ItemValue value;
            if (item && link::valueFromJson(typeOf(item->value), json, value))
                item->value = std::move(value);
        }
    };
    std::lock_guard<std::mutex> lock(m_mutex);
    apply(m_live, configuration);
    apply(m_status, status);
}

void SimCard::deliver(uint32_t topic, uint64_t param1)
{
    if (m_observer)
        m_observer(topic, param1);
    struct Target
    {
        uint64_t serial;
        IZeltraNotificationCallback *callback;
    };
    std::vector<Target> targets;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Subscription &s : m_subscriptions) {
            if (s.topic == topic && s.attachment->attached) {
                s.callback->AddRef();
                targets.push_back({s.serial, s.callback});
            }
        }
    }
    for (const Target &t : targets) {
        bool stillSubscribed;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            stillSubscribed = std::any_of(m_subscriptions.begin(), m_subscriptions.end(),
                                          [&](const Subscription &s) { return s.serial == t.serial; });
        }
        if (stillSubscribed)
            t.callback->Notify(topic, param1, 0);
        t.callback->Release();
    }
}

} // namespace cardsim
