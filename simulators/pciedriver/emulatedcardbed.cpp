#include "emulatedcardbed.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <umockdev.h>
#include <unistd.h>

namespace {

constexpr unsigned long kMessageRequest = 0x90001;
constexpr uint64_t kMaxBlockSize = 1u << 20;
constexpr size_t kMessageSize = 40;
constexpr unsigned kSharedDataPage = 2;

// The emulated driver speaks the same request table as the driver layer.
struct RequestRow {
    const char* name;
    const char* form;
    int selector;
    long request;   // 0 untranslated, kMessageRequest for a message
    uint32_t code;
};
#define ZELTRA_MESSAGE 0x90001
#define ZELTRA_UNTRANSLATED 0
#define ZELTRA_REQUEST(name, form, selector, request, code) {#name, #form, selector, request, code},
const RequestRow kRows[] = {
#include "zeltrarequests.def"
};
#undef ZELTRA_REQUEST
#undef ZELTRA_UNTRANSLATED
#undef ZELTRA_MESSAGE

const RequestRow* rowForSelector(int selector)
{
    for (const RequestRow& row : kRows) {
        if (row.selector == selector)
            return &row;
    }
    return nullptr;
}

const RequestRow* rowForMessage(uint32_t code)
{
    for (const RequestRow& row : kRows) {
        if (row.request == long(kMessageRequest) && row.code == code)
            return &row;
    }
    return nullptr;
}

const RequestRow* rowForDirectRequest(unsigned long request)
{
    for (const RequestRow& row : kRows) {
        if (row.request != 0 && row.request != long(kMessageRequest) && (unsigned long)row.request == request)
            return &row;
    }
    return nullptr;
}

// Get and Set of one setting share what the card stores.
std::string storageKey(const char* name)
{
    static const char* const prefixes[] = {"Get", "Set", "Read", "Write"};
    for (const char* prefix : prefixes) {
        const size_t length = std::strlen(prefix);
        if (std::strncmp(name, prefix, length) == 0)
            return name + length;
    }
    return name;
}

uint32_t word(const uint8_t* at)
{
    uint32_t value;
    std::memcpy(&value, at, 4);
    return value;
}

void putWord(uint8_t* at, uint32_t value) { std::memcpy(at, &value, 4); }

// Number of scalar inputs a message of this form carries.
unsigned messageInputs(const RequestRow& row)
{
    const std::string form = row.form;
    if (row.selector == 2463)
        return 2;
    if (form == "SET" || form == "QUERY")
        return 1;
    if (form == "SET2")
        return 2;
    return 0;
}

struct Answer {
    long result = 0;
    int error = 0;
    std::vector<uint64_t> scalars;
    std::vector<uint8_t> bytes;
};

} // namespace

struct EmulatedCardBed::Node {
    EmulatedCard card;
    bool morvaneIO = false;
    std::map<std::string, std::vector<uint64_t>> scalars;
    std::map<std::string, std::vector<uint8_t>> structs;

    Answer answer(const RequestRow* row, int selector, const std::vector<uint64_t>& in,
                  const std::vector<uint8_t>& structIn);
};

Answer EmulatedCardBed::Node::answer(const RequestRow* row, int selector, const std::vector<uint64_t>& in,
                                     const std::vector<uint8_t>& structIn)
{
    Answer a;
    const auto input = [&in](size_t i) { return i < in.size() ? in[i] : 0; };
    switch (selector) {
    case 0x10000:
        a.scalars = {card.version};
        return a;
    case 2458:
        a.scalars = {card.subIndex, card.subCount, card.group};
        return a;
    case 2448: {
        const std::string& text = card.description;
        a.bytes.assign(text.begin(), text.end());
        a.bytes.resize(120, 0);
        return a;
    }
    case 2368:
        a.scalars = {card.info, card.model};
        return a;
    case 2454:
        a.scalars = {card.firmwareVersion, card.firmwareBuild};
        return a;
    case 2463:
        // The in-out word comes back as the firmware version on the card.
        a.scalars = {card.needsUpdate ? 1u : 0u, card.firmwareVersion};
        (void)input;
        return a;
    case 2471:
        a.scalars = {card.ignoreFirmware};
        return a;
    case 2461:
        a.scalars = {card.busy};
        return a;
    case 2450:
        a.scalars = {card.persistentId};
        return a;
    case 2462:
        a.scalars = {card.topologicalId};
        return a;
    case 2452:
        a.scalars = {card.usable};
        return a;
    case 2576:
        a.scalars = {card.configured};
        return a;
    case 2472:
        a.scalars = {card.revision};
        return a;
    default:
        break;
    }
    if (!row) {
        a.result = -1;
        a.error = ENOTTY;
        return a;
    }
    const std::string form = row->form;
    const std::string key = storageKey(row->name);
    if (form == "SET" || form == "SET2") {
        scalars[key] = in;
    } else if (form == "WSTRUCT" || form == "WSSTRUCT") {
        structs[key] = structIn;
    } else if (form == "GET" || form == "GET2" || form == "GET64" || form == "QUERY") {
        const auto it = scalars.find(key);
        a.scalars = it == scalars.end() ? std::vector<uint64_t>() : it->second;
        a.scalars.resize(form == "GET2" ? 2 : 1, 0);
    } else if (form == "RSTRUCT" || form == "QSTRUCT") {
        const auto it = structs.find(key);
        if (it != structs.end())
            a.bytes = it->second;
    }
    return a;
}

EmulatedCardBed::EmulatedCardBed()
{
    m_testbed = umockdev_testbed_new();
    m_handler = umockdev_ioctl_base_new();
    g_signal_connect(m_handler, "handle-ioctl", G_CALLBACK(&EmulatedCardBed::onIoctl), this);
}

EmulatedCardBed::~EmulatedCardBed()
{
    if (m_testbed) {
        std::vector<std::string> paths;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            for (const auto& entry : m_nodes)
                paths.push_back(entry.first);
        }
        for (const std::string& path : paths)
            umockdev_testbed_detach_ioctl(m_testbed, path.c_str(), nullptr);
    }
    if (m_handler)
        g_object_unref(m_handler);
    if (m_testbed)
        g_object_unref(m_testbed);
}

std::string EmulatedCardBed::preloadEnvironment()
{
    std::string value = "libumockdev-preload.so.0";
    const char* existing = std::getenv("LD_PRELOAD");
    if (existing && *existing && std::strstr(existing, "libumockdev-preload") == nullptr)
        value = std::string(existing) + ":" + value;
    else if (existing && std::strstr(existing, "libumockdev-preload"))
        value = existing;
    return value;
}

std::string EmulatedCardBed::rootDirectory() const
{
    gchar* root = umockdev_testbed_get_root_dir(m_testbed);
    std::string result = root ? root : "";
    g_free(root);
    return result;
}

bool EmulatedCardBed::writeSharedData(const EmulatedCard& card)
{
    // The node file backs the driver's shared-data area: a mapping of the
    // node at page 2 reads the structure version as its first word.
    const long pageSize = sysconf(_SC_PAGESIZE);
    std::vector<char> contents(size_t(pageSize) * (kSharedDataPage + 1), 0);
    std::memcpy(&contents[size_t(pageSize) * kSharedDataPage], &card.version, 4);
    const std::string file = rootDirectory() + "/dev/morvane/" + card.node;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), std::streamsize(contents.size()));
    return bool(out);
}

bool EmulatedCardBed::addCard(const EmulatedCard& given, std::string* error)
{
    const std::string path = "/dev/morvane/" + given.node;
    EmulatedCard card = given;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_nodes.count(path)) {
            *error = "node " + card.node + " is already in the test bed";
            return false;
        }
        if (!card.groupGiven)
            card.group = 0x100 + unsigned(m_nodes.size());
        card.minor = m_nextMinor++;
    }
    const std::string root = rootDirectory();
    g_mkdir_with_parents((root + "/dev/morvane").c_str(), 0755);
    if (card.type == EmulatedCard::NodeType::CharacterDevice) {
        const std::string numbers = std::to_string(card.major) + ":" + std::to_string(card.minor);
        gchar* sysPath = umockdev_testbed_add_device(m_testbed, "morvane", ("morvane-" + card.node).c_str(), nullptr,
                                                     "dev", numbers.c_str(), nullptr, "DEVNAME", path.c_str(),
                                                     nullptr);
        if (!sysPath) {
            *error = "cannot add device " + card.node;
            return false;
        }
        g_free(sysPath);
    }
    if (!writeSharedData(card)) {
        *error = "cannot write node file for " + card.node;
        return false;
    }
    auto node = std::make_unique<Node>();
    node->card = card;
    node->morvaneIO = card.node.compare(0, 2, "io") == 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nodes[path] = std::move(node);
    }
    GError* gerror = nullptr;
    if (!umockdev_testbed_attach_ioctl(m_testbed, path.c_str(), m_handler, &gerror)) {
        *error = std::string("cannot attach the emulated driver to ") + path + ": "
                 + (gerror ? gerror->message : "unknown error");
        if (gerror)
            g_error_free(gerror);
        return false;
    }
    return true;
}

bool EmulatedCardBed::addCards(const std::vector<EmulatedCard>& cards, std::string* error)
{
    for (const EmulatedCard& card : cards) {
        if (!addCard(card, error))
            return false;
    }
    return true;
}

bool EmulatedCardBed::updateCard(const EmulatedCard& card)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_nodes.find("/dev/morvane/" + card.node);
    if (it == m_nodes.end())
        return false;
    EmulatedCard updated = card;
    updated.minor = it->second->card.minor;
    if (!updated.groupGiven)
        updated.group = it->second->card.group;
    it->second->card = updated;
    return writeSharedData(updated);
}

std::vector<EmulatedCardBed::Request> EmulatedCardBed::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

unsigned EmulatedCardBed::requestCount(const std::string& node) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    unsigned count = 0;
    for (const Request& request : m_requests) {
        if (request.node == node)
            ++count;
    }
    return count;
}

void EmulatedCardBed::clearRequests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

int EmulatedCardBed::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self)
{
    return static_cast<EmulatedCardBed*>(self)->handle(client) ? TRUE : FALSE;
}

bool EmulatedCardBed::handle(UMockdevIoctlClient* client)
{
    const std::string devnode = umockdev_ioctl_client_get_devnode(client);
    const unsigned long request = umockdev_ioctl_client_get_request(client) & 0xFFFFFFFFul;
    const auto fail = [client](int error) {
        umockdev_ioctl_client_complete(client, -1, error);
        return true;
    };

    // The argument is a pointer to a block whose size its own header gives:
    // read the header first, then the whole block.
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    if (!arg || arg->data_len < int(sizeof(gulong)))
        return fail(EFAULT);
    gulong clientAddress = 0;
    std::memcpy(&clientAddress, arg->data, sizeof(clientAddress));
    if (clientAddress == 0)
        return fail(EFAULT);
    UMockdevIoctlData* head = umockdev_ioctl_data_resolve(arg, 0, 16, nullptr);
    if (!head)
        return fail(EFAULT);
    const uint32_t inCount = word(head->data + 0);
    const uint32_t inSize = word(head->data + 4);
    const uint32_t outCapacity = word(head->data + 8);
    const uint32_t outSize = word(head->data + 12);
    g_object_unref(head);
    uint64_t size = 16 + 8 * (uint64_t(inCount) + outCapacity) + inSize + outSize;
    size = (size + 15) & ~uint64_t(15);
    if (size > kMaxBlockSize)
        return fail(EINVAL);
    std::memcpy(arg->data, &clientAddress, sizeof(clientAddress));
    umockdev_ioctl_data_reload(arg, nullptr);
    UMockdevIoctlData* blockData = umockdev_ioctl_data_resolve(arg, 0, size_t(size), nullptr);
    if (!blockData)
        return fail(EFAULT);
    uint8_t* block = blockData->data;

    const size_t scalarInAt = 16;
    const size_t structInAt = scalarInAt + 8 * size_t(inCount);
    const size_t scalarOutAt = structInAt + inSize;
    const size_t structOutAt = scalarOutAt + 8 * size_t(outCapacity);
    std::vector<uint64_t> in(inCount);
    if (inCount)
        std::memcpy(in.data(), block + scalarInAt, 8 * size_t(inCount));
    std::vector<uint8_t> structIn(block + structInAt, block + structInAt + inSize);

    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_nodes.find(devnode);
    if (found == m_nodes.end()) {
        g_object_unref(blockData);
        return fail(ENODEV);
    }
    Node& node = *found->second;

    // Translate the request back to a selector as the real drivers would.
    const RequestRow* row = nullptr;
    int selector = -1;
    bool message = false;
    uint64_t messageWords[5] = {};
    if (!node.morvaneIO) {
        selector = int(request);
        row = rowForSelector(selector);
    } else if (request == kMessageRequest) {
        if (inSize < kMessageSize || outSize < kMessageSize) {
            g_object_unref(blockData);
            return fail(EINVAL);
        }
        message = true;
        std::memcpy(messageWords, block + structInAt, kMessageSize);
        row = rowForMessage(uint32_t(messageWords[0]));
        selector = row ? row->selector : -1;
        in.clear();
        if (row) {
            for (unsigned i = 0; i < messageInputs(*row); ++i)
                in.push_back(messageWords[1 + i]);
        }
    } else {
        row = rowForDirectRequest(request);
        selector = row ? row->selector : -1;
    }
    m_requests.push_back({devnode.substr(devnode.rfind('/') + 1), request, selector, inCount});

    if (selector < 0) {
        g_object_unref(blockData);
        return fail(ENOTTY);
    }
    const auto interruption = node.card.interruptions.find(selector);
    if (interruption != node.card.interruptions.end() && interruption->second > 0) {
        --interruption->second;
        g_object_unref(blockData);
        umockdev_ioctl_client_complete(client, -1, EINTR);
        return true;
    }
    const auto failure = node.card.failures.find(selector);
    if (failure != node.card.failures.end()) {
        g_object_unref(blockData);
        umockdev_ioctl_client_complete(client, failure->second, EIO);
        return true;
    }
    Answer answer = node.answer(row, selector, in, structIn);
    if (answer.result != 0) {
        g_object_unref(blockData);
        umockdev_ioctl_client_complete(client, answer.result, answer.error);
        return true;
    }

    if (message) {
        for (size_t i = 0; i < 4; ++i)
            messageWords[1 + i] = i < answer.scalars.size() ? answer.scalars[i] : 0;
        std::memcpy(block + structOutAt, messageWords, kMessageSize);
        putWord(block + 8, 0);
        uint32_t replied = node.card.shortReply ? node.card.shortReply : uint32_t(kMessageSize);
        if (node.card.overreport)
            replied = 0xFFFFFFFFu;
        putWord(block + 12, replied);
    } else {
        const uint32_t scalars = uint32_t(std::min<size_t>(answer.scalars.size(), outCapacity));
        const uint32_t bytes = uint32_t(std::min<size_t>(answer.bytes.size(), outSize));
        if (scalars)
            std::memcpy(block + scalarOutAt, answer.scalars.data(), 8 * size_t(scalars));
        if (bytes)
            std::memcpy(block + structOutAt, answer.bytes.data(), bytes);
        // A misbehaving card claims far more than there was room for.
        putWord(block + 8, node.card.overreport ? 0xFFFFFFFFu : scalars);
        putWord(block + 12, node.card.overreport ? 0xFFFFFFFFu : bytes);
    }
    g_object_unref(blockData);
    umockdev_ioctl_client_complete(client, 0, 0);
    return true;
}
