#include "simulator.h"

#include "controlprotocol.h"
#include "filereader.h"
#include "linkwire.h"
#include "setlink.h"
#include "zeltradevice.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <chrono>
#include <stdexcept>
#include <unistd.h>

namespace cardsim {

namespace {

// Never destroyed: a host may still call in while the library is being
// unloaded, after static objects would have been destroyed. Both live in the
// library's own storage, not on the heap, so an unloaded library leaves
// nothing behind (the simulator itself is gone by then: see unloadSimulator).
std::mutex s_currentMutex; // constant-initialised, nothing to destroy
std::mutex &currentMutex()
{
    return s_currentMutex;
}
std::shared_ptr<Simulator> &currentSimulator()
{
    alignas(std::shared_ptr<Simulator>) static unsigned char storage[sizeof(std::shared_ptr<Simulator>)];
    static auto *simulator = new (storage) std::shared_ptr<Simulator>;
    return *simulator;
}
bool s_unloading = false; // guarded by currentMutex()

constexpr size_t kMaxDescriptionSize = 8 << 20;
constexpr uint32_t kDuplexMode = zeltraCode("dupx");

// The description and its text (which names the card set it is shared as).
SimulatorDescription loadDescription(std::string &text)
{
    const char *path = std::getenv("ZELTRA_SIMULATOR_CARDS");
    try {
        if (path == nullptr || path[0] == '\0') {
            text = kDefaultCardsJson;
            return defaultDescription();
        }
        std::string error;
        switch (readRegularFile(path, kMaxDescriptionSize, text, error)) {
        case ReadResult::Missing: throw DescriptionError(std::string(path) + ": cannot be read: no such file");
        case ReadResult::Failed: throw DescriptionError(error);
        case ReadResult::Ok: break;
        }
        return parseDescription(text, path);
    } catch (const std::exception &e) {
        reportProblem(std::string(e.what()) + "; no cards are offered");
    }
    text.clear();
    SimulatorDescription empty;
    empty.apiVersion = "4.8.2";
    return empty;
}

bool parseInteger(const std::string &text, int64_t &value)
{
    if (text.empty())
        return false;
    errno = 0;
    char *end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0')
        return false;
    value = v;
    return true;
}

// An int written as a number or as a four-character code.
bool parseIntOrCode(const std::string &text, int64_t &value)
{
    if (parseInteger(text, value))
        return true;
    if (isCodeText(text)) {
        value = int64_t(parseCode(text, ""));
        return true;
    }
    return false;
}

bool parseFlag(const std::string &text, bool &value)
{
    static const char *const yes[] = {"1", "true", "on", "yes"};
    static const char *const no[] = {"0", "false", "off", "no"};
    for (const char *y : yes) {
        if (text == y)
            return value = true, true;
    }
    for (const char *n : no) {
        if (text == n)
            return value = false, true;
    }
    return false;
}

bool parseValue(ItemType type, const std::string &text, ItemValue &value)
{
    switch (type) {
    case ItemType::Flag: {
        bool b;
        if (!parseFlag(text, b))
            return false;
        value = b;
        return true;
    }
    case ItemType::Int: {
        int64_t i;
        if (!parseIntOrCode(text, i))
            return false;
        value = i;
        return true;
    }
    case ItemType::Float: {
        char *end = nullptr;
        const double d = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !std::isfinite(d))
            return false;
        value = d;
        return true;
    }
    case ItemType::String:
        value = text;
        return true;
    case ItemType::Bytes: {
        auto bytes = fromHex(text);
        if (!bytes)
            return false;
        value = *bytes;
        return true;
    }
    }
    return false;
}

std::string valueText(const ItemValue &value)
{
    switch (typeOf(value)) {
    case ItemType::Flag: return std::get<bool>(value) ? "true" : "false";
    case ItemType::Int: {
        const int64_t v = std::get<int64_t>(value);
        std::string text = std::to_string(v);
        if (v >= 0x20202020 && v <= 0x7e7e7e7e && isCodeText(codeText(uint32_t(v))))
            text += " '" + codeText(uint32_t(v)) + "'";
        return text;
    }
    case ItemType::Float: {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%g", std::get<double>(value));
        return buffer;
    }
    case ItemType::String: return "\"" + std::get<std::string>(value) + "\"";
    case ItemType::Bytes: return std::to_string(std::get<Bytes>(value).size()) + " bytes";
    }
    return {};
}

const char kUsage[] =
    "commands: list | status CARD | plug CARD | unplug CARD | signal CARD on|off |\n"
    "  format CARD MODE [FLAGS] | reference CARD locked|unlocked [MODE [FLAGS]] |\n"
    "  busy CARD idle|capture|playback|duplex|N | set CARD ITEM VALUE |\n"
    "  config CARD | get CARD ITEM\n"
    "CARD is an index from list, a persistent id (0x...) or, for plug and unplug, all\n";

} // namespace

std::shared_ptr<Simulator> Simulator::current()
{
    std::lock_guard<std::mutex> lock(currentMutex());
    if (s_unloading)
        return nullptr;
    std::shared_ptr<Simulator> &simulator = currentSimulator();
    if (!simulator) {
        simulator.reset(new Simulator);
        simulator->start();
    }
    return simulator;
}

void Simulator::shutdownCurrent(bool unloading)
{
    std::shared_ptr<Simulator> simulator;
    {
        std::lock_guard<std::mutex> lock(currentMutex());
        simulator = std::move(currentSimulator());
        currentSimulator().reset();
        s_unloading = s_unloading || unloading;
    }
    // Outside the lock: the library's thread may be in a host callback that
    // calls a factory, and shutting down waits for that thread.
    if (simulator)
        simulator->shutdown(unloading);
}

std::shared_ptr<Simulator> Simulator::serve(SimulatorDescription description, Service service)
{
    std::shared_ptr<Simulator> simulator(new Simulator);
    {
        std::lock_guard<std::mutex> lock(currentMutex());
        currentSimulator() = simulator;
    }
    simulator->startServing(std::move(description), std::move(service));
    return simulator;
}

Simulator::~Simulator()
{
    shutdown();
}

void Simulator::start()
{
    std::string text;
    SimulatorDescription description = loadDescription(text);
    m_apiVersion = description.apiVersion;
    std::shared_ptr<SetLink> link;
    SetLink::Greeting greeting;
    std::string folder, key;
    // A set without cards has nothing to share.
    if (!description.cards.empty()) {
        std::string error;
        folder = control::runtimeFolder(error);
        key = link::setKey(text, PreferenceStore::configFolder());
        if (!folder.empty())
            link = SetLink::open(folder, key, greeting, error);
        if (link && greeting.cards.size() != description.cards.size()) {
            link->close();
            link.reset();
            error = "it describes another number of cards";
        }
        if (!link)
            reportProblem("cannot reach the card set daemon (" + error + "); this program's cards are its own");
    }
    if (link) {
        m_remote = std::make_shared<RemoteSet>();
        m_remote->replace(link);
        m_folder = folder;
        m_key = key;
    }
    makeSlots(std::move(description), m_remote);
    if (!link) {
        startLocal(nullptr);
        return;
    }
    for (const std::string &problem : greeting.problems)
        reportProblem(problem);
    // zeltra-simctl --pid with our pid reaches the daemon.
    if (greeting.daemonPid > 0) {
        m_entry = control::socketPath(folder, getpid());
        unlink(m_entry.c_str());
        if (symlink(link::entryTarget(key).c_str(), m_entry.c_str()) != 0)
            m_entry.clear();
    }
    std::string error;
    if (!m_loop->start(nullptr, error))
        reportProblem(error + "; cards will not be announced");
    m_running = true;
    try {
        for (const nlohmann::json &message : greeting.cards)
            applyCard(message);
    } catch (const std::exception &e) {
        reportProblem(std::string("the card set daemon sent a malformed card: ") + e.what());
    }
    startLink(link);
}

bool Simulator::startLink(const std::shared_ptr<SetLink> &link)
{
    std::weak_ptr<Simulator> weak = weak_from_this();
    std::string error;
    if (link->start(
            [weak](const nlohmann::json &message) {
                if (auto self = weak.lock())
                    self->linkEvent(message);
            },
            [weak] {
                if (auto self = weak.lock())
                    self->linkLost();
            },
            error))
        return true;
    reportProblem(error + "; changes made by other programs will not be seen");
    return false;
}

void Simulator::startServing(SimulatorDescription description, Service service)
{
    m_apiVersion = description.apiVersion;
    makeSlots(std::move(description), nullptr);
    for (size_t i = 0; i < m_slots.size(); ++i) {
        m_slots[i].card->setObserver([notice = service.notice, i](uint32_t topic, uint64_t param) {
            if (notice)
                notice(int(i), topic, param);
        });
    }
    if (service.bind)
        service.bind(shared_from_this());
    startLocal(&service);
}

void Simulator::makeSlots(SimulatorDescription description, const std::shared_ptr<RemoteSet> &link)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (size_t i = 0; i < description.cards.size(); ++i) {
            Slot slot;
            slot.card = std::make_shared<SimCard>(int(i), std::move(description.cards[i]), m_loop, link);
            m_slots.push_back(std::move(slot));
        }
        for (Slot &slot : m_slots) {
            const Item *paired = slot.card->description().attributes.find(zeltraCode("ppid"));
            if (paired == nullptr || typeOf(paired->value) != ItemType::Int)
                continue;
            for (size_t other = 0; other < m_slots.size(); ++other) {
                if (m_slots[other].card == slot.card
                    || m_slots[other].card->persistentId() != std::get<int64_t>(paired->value))
                    continue;
                slot.card->setPartner(m_slots[other].card);
                // The daemon moves a remote card's partner.
                if (configuresDuplex(*slot.card) && !link)
                    slot.card->setDuplexListener(duplexFollower(other));
            }
        }
    }
}

void Simulator::startLocal(const Service *service)
{
    std::weak_ptr<Simulator> weak = weak_from_this();
    m_control = std::make_unique<ControlServer>([weak](const std::vector<std::string> &arguments) {
        auto self = weak.lock();
        return self ? self->handleCommand(arguments) : std::string("error: shutting down\n");
    });
    std::string error;
    const bool controllable = m_control->listen(error, service ? service->controlPath : std::string());
    if (!controllable)
        reportProblem("no control socket, zeltra-simctl cannot reach this process: " + error);
    PollClient *watched = controllable ? m_control.get() : nullptr;
    if (service && service->gate)
        m_control->setGate(service->gate);
    if (service && service->link) {
        m_pollGroup = std::make_unique<PollGroup>(
            controllable ? std::vector<PollClient *>{m_control.get(), service->link} : std::vector<PollClient *>{service->link});
        watched = m_pollGroup.get();
    }
    // The cards are in before the thread starts: the daemon's first program
    // must find them all (their arrivals wait in the queue for the thread).
    m_running = true;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i].card->description().present && !withdrawnByPartner(i))
            plug(i);
    }
    if (!m_loop->start(watched, error))
        reportProblem(error + "; cards will not be announced");
}

bool Simulator::configuresDuplex(const SimCard &card)
{
    const Item *flag = card.description().attributes.find(kDuplexMode);
    return flag && typeOf(flag->value) == ItemType::Flag && std::get<bool>(flag->value);
}

std::function<void(int64_t)> Simulator::duplexFollower(size_t partner)
{
    // Full duplex gives both connectors to the configuring sub-device: its
    // partner leaves the machine, and half duplex brings it back, each
    // announced like a removal and an arrival.
    std::weak_ptr<Simulator> weak = weak_from_this();
    return [weak, partner](int64_t mode) {
        auto self = weak.lock();
        if (!self)
            return;
        if (mode == int64_t(zeltraCode("fdup")))
            self->unplug(partner);
        else if (mode == int64_t(zeltraCode("hdup")))
            self->plug(partner);
    };
}

bool Simulator::withdrawnByPartner(size_t index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Slot &slot : m_slots) {
        if (slot.card == m_slots[index].card || !configuresDuplex(*slot.card))
            continue;
        const Item *paired = slot.card->description().attributes.find(zeltraCode("ppid"));
        if (paired == nullptr || typeOf(paired->value) != ItemType::Int
            || m_slots[index].card->persistentId() != std::get<int64_t>(paired->value))
            continue;
        const std::optional<ItemValue> mode = slot.card->configurationValue(kDuplexMode);
        if (mode && typeOf(*mode) == ItemType::Int && std::get<int64_t>(*mode) == int64_t(zeltraCode("fdup")))
            return true;
    }
    return false;
}

void Simulator::shutdown(bool unloading)
{
    {
        std::lock_guard<std::mutex> lock(m_reconnectMutex);
        m_stopping = true;
    }
    m_reconnectWake.notify_all();
    m_loop->stop();
    // Goodbye to the daemon: it drops what this process did not store.
    if (m_remote) {
        if (auto link = m_remote->link())
            link->close(!unloading);
        std::vector<std::shared_ptr<SetLink>> retired;
        {
            std::lock_guard<std::mutex> lock(m_reconnectMutex);
            retired.swap(m_retired);
        }
        for (const auto &link : retired)
            link->close();
    }
    if (!m_entry.empty()) {
        unlink(m_entry.c_str());
        m_entry.clear();
    }
    if (m_control)
        m_control->close();
    std::vector<Slot> slots;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = false;
        slots = m_slots;
        for (Slot &slot : m_slots)
            slot.device = nullptr;
        // The hosts' callbacks are not released: at unload their code may
        // already be gone.
        m_clients.clear();
    }
    for (Slot &slot : slots) {
        slot.card->unplug();
        if (slot.device)
            slot.device->Release();
    }
}

std::vector<IZeltra *> Simulator::presentDevices()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<const Slot *> present;
    for (const Slot &slot : m_slots) {
        if (slot.device)
            present.push_back(&slot);
    }
    std::sort(present.begin(), present.end(), [](const Slot *a, const Slot *b) { return a->pluggedAt < b->pluggedAt; });
    std::vector<IZeltra *> devices;
    for (const Slot *slot : present) {
        slot->device->AddRef();
        devices.push_back(slot->device);
    }
    return devices;
}

uint64_t Simulator::addClient(IZeltraDeviceNotificationCallback *callback)
{
    uint64_t id;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_running)
            return 0;
        id = m_nextClient++;
        callback->AddRef();
        m_clients.push_back({id, callback, {}});
    }
    std::weak_ptr<Simulator> weak = weak_from_this();
    m_loop->post([weak, id] {
        auto self = weak.lock();
        if (!self)
            return;
        std::vector<std::pair<ZeltraDevice *, uint64_t>> present;
        {
            std::lock_guard<std::mutex> lock(self->m_mutex);
            std::vector<const Slot *> slots;
            for (const Slot &slot : self->m_slots) {
                if (slot.device)
                    slots.push_back(&slot);
            }
            std::sort(slots.begin(), slots.end(), [](const Slot *a, const Slot *b) { return a->pluggedAt < b->pluggedAt; });
            for (const Slot *slot : slots) {
                slot->device->AddRef();
                present.emplace_back(slot->device, slot->serial);
            }
        }
        for (auto &[device, serial] : present) {
            self->announceArrival(id, device, serial);
            device->Release();
        }
    });
    return id;
}

void Simulator::removeClient(uint64_t id)
{
    IZeltraDeviceNotificationCallback *callback = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = std::find_if(m_clients.begin(), m_clients.end(), [id](const Client &c) { return c.id == id; });
        if (it == m_clients.end())
            return;
        callback = it->callback;
        m_clients.erase(it);
    }
    m_loop->waitForDelivery();
    callback->Release();
}

bool Simulator::stillPresent(uint64_t serial) const
{
    return std::any_of(m_slots.begin(), m_slots.end(),
                       [serial](const Slot &s) { return s.device && s.serial == serial; });
}

void Simulator::announceArrival(uint64_t clientId, ZeltraDevice *device, uint64_t serial)
{
    IZeltraDeviceNotificationCallback *callback = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = std::find_if(m_clients.begin(), m_clients.end(), [clientId](const Client &c) { return c.id == clientId; });
        // A card unplugged before its arrival was told is not told at all.
        if (it == m_clients.end() || !stillPresent(serial) || !it->announced.insert(serial).second)
            return;
        callback = it->callback;
        callback->AddRef();
    }
    callback->ZeltraDeviceArrived(device);
    callback->Release();
}

void Simulator::announceRemoval(ZeltraDevice *device, uint64_t serial)
{
    std::vector<IZeltraDeviceNotificationCallback *> callbacks;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (Client &client : m_clients) {
            if (client.announced.erase(serial)) {
                client.callback->AddRef();
                callbacks.push_back(client.callback);
            }
        }
    }
    for (IZeltraDeviceNotificationCallback *callback : callbacks) {
        callback->ZeltraDeviceRemoved(device);
        callback->Release();
    }
}

void Simulator::plug(size_t index, uint64_t serial)
{
    ZeltraDevice *device = nullptr;
    std::vector<uint64_t> clients;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_running || index >= m_slots.size() || m_slots[index].device)
            return;
        Slot &slot = m_slots[index];
        if (serial == 0)
            serial = m_nextSerial++;
        device = new ZeltraDevice({slot.card, slot.card->plug(serial)});
        slot.device = device;
        slot.serial = serial;
        slot.pluggedAt = serial;
        for (const Client &c : m_clients)
            clients.push_back(c.id);
        device->AddRef(); // for the tasks below
    }
    std::weak_ptr<Simulator> weak = weak_from_this();
    auto release = std::shared_ptr<ZeltraDevice>(device, [](ZeltraDevice *d) { d->Release(); });
    for (uint64_t client : clients) {
        m_loop->post([weak, client, release, serial] {
            if (auto self = weak.lock())
                self->announceArrival(client, release.get(), serial);
        });
    }
}

void Simulator::unplug(size_t index)
{
    ZeltraDevice *device = nullptr;
    uint64_t serial = 0;
    std::shared_ptr<SimCard> card;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (index >= m_slots.size() || !m_slots[index].device)
            return;
        Slot &slot = m_slots[index];
        device = slot.device;
        serial = slot.serial;
        card = slot.card;
        slot.device = nullptr;
    }
    card->unplug();
    std::weak_ptr<Simulator> weak = weak_from_this();
    auto release = std::shared_ptr<ZeltraDevice>(device, [](ZeltraDevice *d) { d->Release(); });
    m_loop->post([weak, release, serial] {
        if (auto self = weak.lock())
            self->announceRemoval(release.get(), serial);
    });
}

std::shared_ptr<SimCard> Simulator::card(size_t index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_slots.size() ? m_slots[index].card : nullptr;
}

uint64_t Simulator::plugSerial(size_t index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_slots.size() && m_slots[index].device ? m_slots[index].serial : 0;
}

void Simulator::deliverPending()
{
    m_loop->runPending();
}

void Simulator::closeControl()
{
    if (m_control)
        m_control->close();
}

void Simulator::applyCard(const nlohmann::json &message)
{
    const int64_t index = link::intField(message, "card");
    if (index < 0 || size_t(index) >= m_slots.size())
        throw std::runtime_error("no card " + std::to_string(index));
    const uint64_t serial = link::serialField(message, "plug");
    const std::shared_ptr<SimCard> &card = m_slots[size_t(index)].card;
    const nlohmann::json none = nlohmann::json::object();
    if (serial == 0) {
        unplug(size_t(index));
        card->applyValues(message.value("config", none), message.value("status", none));
        return;
    }
    // Another plug-in than the one we know: the card left and came back.
    if (plugSerial(size_t(index)) != serial)
        unplug(size_t(index));
    card->applyValues(message.value("config", none), message.value("status", none));
    plug(size_t(index), serial);
}

void Simulator::linkEvent(const nlohmann::json &message)
{
    const std::string op = message["op"];
    if (op == "card" || op == "plug") {
        applyCard(message);
    } else if (op == "unplug") {
        const int64_t index = link::intField(message, "card");
        if (index >= 0 && size_t(index) < m_slots.size() && plugSerial(size_t(index)) == link::serialField(message, "plug"))
            unplug(size_t(index));
    } else if (op == "change") {
        const int64_t index = link::intField(message, "card");
        if (index < 0 || size_t(index) >= m_slots.size())
            throw std::runtime_error("no card " + std::to_string(index));
        const nlohmann::json none = nlohmann::json::object();
        const std::shared_ptr<SimCard> &card = m_slots[size_t(index)].card;
        card->applyValues(message.value("config", none), message.value("status", none));
        card->remoteNotice(uint32_t(link::serialField(message, "topic")), link::serialField(message, "param"));
    } else if (op == "sync") {
        // Answered once the notices queued before it were delivered.
        const uint64_t id = link::serialField(message, "id");
        std::weak_ptr<SetLink> weakLink = m_remote->link();
        m_loop->post([weakLink, id] {
            if (auto link = weakLink.lock())
                link->acknowledge(id);
        });
    } else if (op == "problem") {
        reportProblem(link::textField(message, "text"));
    }
}

void Simulator::linkLost()
{
    reportProblem("the card set daemon went away; its cards are unplugged until it is back");
    unplugAll();
    // A daemon that was killed is started again (by us or by another
    // program of the set), and the cards come back as new arrivals.
    auto delay = std::chrono::milliseconds(100);
    for (int attempt = 0; attempt < 12; ++attempt, delay = std::min(delay * 2, std::chrono::milliseconds(2000))) {
        {
            std::unique_lock<std::mutex> lock(m_reconnectMutex);
            if (m_reconnectWake.wait_for(lock, delay, [this] { return m_stopping; }))
                return;
        }
        SetLink::Greeting greeting;
        std::string error;
        std::shared_ptr<SetLink> fresh = SetLink::open(m_folder, m_key, greeting, error);
        if (!fresh)
            continue;
        if (greeting.cards.size() != m_slots.size()) {
            fresh->close();
            break;
        }
        {
            std::lock_guard<std::mutex> lock(m_reconnectMutex);
            if (m_stopping) {
                fresh->close();
                return;
            }
            m_retired.push_back(m_remote->replace(fresh));
        }
        for (const std::string &problem : greeting.problems)
            reportProblem(problem);
        try {
            for (const nlohmann::json &message : greeting.cards)
                applyCard(message);
        } catch (const std::exception &e) {
            reportProblem(std::string("the card set daemon sent a malformed card: ") + e.what());
        }
        startLink(fresh);
        return;
    }
    reportProblem("the card set daemon does not come back; the cards stay unplugged");
}

void Simulator::unplugAll()
{
    for (size_t i = 0; i < m_slots.size(); ++i)
        unplug(i);
}

std::vector<size_t> Simulator::selectCards(const std::string &which, std::string &error) const
{
    std::vector<size_t> selected;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (which == "all") {
        for (size_t i = 0; i < m_slots.size(); ++i)
            selected.push_back(i);
        return selected;
    }
    int64_t value = 0;
    if (!parseInteger(which, value)) {
        error = "\"" + which + "\" is not a card index or persistent id";
        return selected;
    }
    const bool persistent = which.size() > 2 && which[0] == '0' && (which[1] == 'x' || which[1] == 'X');
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (persistent ? m_slots[i].card->persistentId() == value : int64_t(i) == value)
            selected.push_back(i);
    }
    if (selected.empty())
        error = "no card " + which + " (see list)";
    return selected;
}

std::string Simulator::commandList() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string out = "ok\n";
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const SimCard &card = *m_slots[i].card;
        const Item *model = card.description().attributes.find(zeltraCode("rvid"));
        const std::string modelText =
            model && typeOf(model->value) == ItemType::Int ? std::to_string(std::get<int64_t>(model->value)) : "-";
        char peid[32] = "-";
        if (auto id = card.persistentId())
            std::snprintf(peid, sizeof peid, "0x%llx", static_cast<unsigned long long>(*id));
        char line[512];
        std::snprintf(line, sizeof line, "%2zu  %-9s  model %-3s  peid %-18s  %s\n", i,
                      m_slots[i].device ? "plugged" : "unplugged", modelText.c_str(), peid,
                      card.description().displayName.c_str());
        out += line;
    }
    return out;
}

std::string Simulator::commandStatus(size_t index) const
{
    std::shared_ptr<SimCard> card;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        card = m_slots.at(index).card;
    }
    std::string out = "ok\n";
    for (const auto &entry : card->description().status.items()) {
        const uint32_t id = entry.first;
        if (auto value = card->statusValue(id))
            out += codeText(id) + " (" + typeName(typeOf(*value)) + ") = " + valueText(*value) + "\n";
    }
    return out;
}

std::string Simulator::commandConfiguration(size_t index) const
{
    std::shared_ptr<SimCard> card;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        card = m_slots.at(index).card;
    }
    std::string out = "ok\n";
    for (const auto &entry : card->description().configuration.items()) {
        const uint32_t id = entry.first;
        if (auto value = card->configurationValue(id))
            out += codeText(id) + " (" + typeName(typeOf(*value)) + ") = " + valueText(*value) + "\n";
    }
    return out;
}

// One item by code: the live configuration first (what writers changed),
// then the status, then the fixed attributes. Ints are printed in decimal
// alone, so that a script can compare the answer directly.
std::string Simulator::commandGet(size_t index, const std::string &itemText) const
{
    if (!isCodeText(itemText))
        return "error: \"" + itemText + "\" is not a four-character code\n";
    std::shared_ptr<SimCard> card;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        card = m_slots.at(index).card;
    }
    const uint32_t id = parseCode(itemText, "");
    std::optional<ItemValue> value = card->configurationValue(id);
    if (!value)
        value = card->statusValue(id);
    if (!value) {
        if (const Item *attribute = card->description().attributes.find(id))
            value = attribute->value;
    }
    if (!value)
        return "error: the card has no item \"" + itemText + "\"\n";
    switch (typeOf(*value)) {
    case ItemType::Flag: return std::string("ok\n") + (std::get<bool>(*value) ? "true" : "false") + "\n";
    case ItemType::Int: return "ok\n" + std::to_string(std::get<int64_t>(*value)) + "\n";
    case ItemType::String: return "ok\n" + std::get<std::string>(*value) + "\n";
    case ItemType::Bytes: {
        std::string hex;
        char pair[4];
        for (uint8_t byte : std::get<Bytes>(*value)) {
            std::snprintf(pair, sizeof pair, "%02x", unsigned(byte));
            hex += pair;
        }
        return "ok\n" + hex + "\n";
    }
    case ItemType::Float: break;
    }
    return "ok\n" + valueText(*value) + "\n";
}

std::string Simulator::handleCommand(const std::vector<std::string> &arguments)
{
    if (arguments.empty() || arguments[0] == "help")
        return std::string("ok\n") + kUsage;
    const std::string &command = arguments[0];
    if (command == "list")
        return commandList();

    if (arguments.size() < 2)
        return std::string("error: ") + command + " needs a card\n" + kUsage;
    std::string error;
    const std::vector<size_t> cards = selectCards(arguments[1], error);
    if (cards.empty())
        return "error: " + error + "\n";
    const bool many = cards.size() > 1;
    if (many && command != "plug" && command != "unplug")
        return "error: " + command + " takes one card\n";

    std::shared_ptr<SimCard> card;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        card = m_slots[cards.front()].card;
    }
    auto setStatus = [&](uint32_t id, ItemValue value, bool optional) {
        if (optional && !card->statusValue(id))
            return true;
        return card->setStatus(id, value, error);
    };
    auto finish = [&](bool ok) {
        // Deliver the notices now, so that the reply comes after them.
        m_loop->runPending();
        return ok ? std::string("ok\n") : "error: " + error + "\n";
    };
    auto modeOf = [&](const std::vector<ModeSpec> &modes, const std::string &text, int64_t &mode) {
        if (!parseIntOrCode(text, mode)) {
            error = "\"" + text + "\" is not a mode code";
            return false;
        }
        if (uint32_t(mode) == zeltraCode("iunk"))
            return true;
        for (const ModeSpec &m : modes) {
            if (m.id == uint32_t(mode))
                return true;
        }
        error = "the card has no mode \"" + text + "\"";
        return false;
    };

    if (command == "status")
        return commandStatus(cards.front());
    if (command == "config")
        return commandConfiguration(cards.front());
    if (command == "get" && arguments.size() == 3)
        return commandGet(cards.front(), arguments[2]);
    if (command == "plug" || command == "unplug") {
        for (size_t index : cards) {
            if (command == "plug")
                plug(index);
            else
                unplug(index);
        }
        return finish(true);
    }
    if (command == "signal" && arguments.size() == 3) {
        bool present;
        if (!parseFlag(arguments[2], present))
            return "error: signal takes on or off\n";
        bool ok = setStatus(zeltraCode("visl"), present, false);
        // Without a signal nothing is detected; with one, detection finds
        // the format the source last sent.
        if (ok) {
            auto current = card->statusValue(zeltraCode("cvim"));
            ok = setStatus(zeltraCode("dvim"), present && current ? *current : ItemValue(int64_t(zeltraCode("iunk"))), true);
        }
        return finish(ok);
    }
    if (command == "format" && (arguments.size() == 3 || arguments.size() == 4)) {
        int64_t mode = 0, flags = 0;
        if (!modeOf(card->description().inputModes, arguments[2], mode))
            return "error: " + error + "\n";
        if (arguments.size() == 4 && !parseInteger(arguments[3], flags))
            return "error: flags must be a number\n";
        const bool ok = setStatus(zeltraCode("cvim"), mode, true) && setStatus(zeltraCode("cvif"), flags, true)
            && setStatus(zeltraCode("dvim"), mode, true) && setStatus(zeltraCode("dvif"), flags, true) && setStatus(zeltraCode("visl"), true, true);
        return finish(ok);
    }
    if (command == "reference" && arguments.size() >= 3 && arguments.size() <= 5) {
        const bool locked = arguments[2] == "locked";
        if (!locked && arguments[2] != "unlocked")
            return "error: reference takes locked or unlocked\n";
        bool ok = setStatus(zeltraCode("refl"), locked, false);
        if (ok && arguments.size() >= 4) {
            int64_t mode = 0, flags = 0;
            if (!modeOf(card->description().outputModes, arguments[3], mode))
                return finish(false);
            if (arguments.size() == 5 && !parseInteger(arguments[4], flags))
                return "error: flags must be a number\n";
            ok = setStatus(zeltraCode("refm"), mode, false) && setStatus(zeltraCode("reff"), flags, true);
        }
        return finish(ok);
    }
    if (command == "busy" && arguments.size() == 3) {
        static const std::pair<const char *, int64_t> names[] = {
            {"idle", 0}, {"capture", 1}, {"playback", 2}, {"duplex", 3}};
        int64_t value = -1;
        for (const auto &[name, v] : names) {
            if (arguments[2] == name)
                value = v;
        }
        if (value < 0 && !parseInteger(arguments[2], value))
            return "error: busy takes idle, capture, playback, duplex or a number\n";
        return finish(setStatus(zeltraCode("busy"), value, false));
    }
    if (command == "set" && arguments.size() == 4) {
        if (!isCodeText(arguments[2]))
            return "error: \"" + arguments[2] + "\" is not a four-character code\n";
        const uint32_t id = parseCode(arguments[2], "");
        const auto current = card->statusValue(id);
        if (!current)
            return "error: the card has no status item \"" + arguments[2] + "\"\n";
        ItemValue value;
        if (!parseValue(typeOf(*current), arguments[3], value))
            return "error: \"" + arguments[3] + "\" is not a " + typeName(typeOf(*current)) + " value\n";
        return finish(card->setStatus(id, value, error));
    }
    return "error: cannot understand \"" + command + "\" with these arguments\n" + kUsage;
}

} // namespace cardsim
