#include "usbdevfsdevice.h"

#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace xmegasim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_NO_PACKET_SIZE_LIM
    | USBDEVFS_CAP_BULK_SCATTER_GATHER | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
// Largest URB buffer accepted; the kernel has a similar (configurable) cap.
constexpr int kMaxUrbBuffer = 16 * 1024 * 1024;
// The emulated node is a socket and always polls writable, so libusb keeps
// asking to reap; answering "nothing yet" after a short pause keeps that
// from spinning a core.
constexpr auto kEmptyReapDelay = std::chrono::milliseconds(2);
constexpr uint8_t kControlEndpoint = 0;
constexpr uint32_t kUnknownTimeout = 0;

void complete(UMockdevIoctlClient* client, long result, int error)
{
    umockdev_ioctl_client_complete(client, result, error);
}

} // namespace

// One submitted URB. The umockdev data objects hold local copies of the
// client's URB and buffer; they are written back when the URB is reaped.
struct UsbDevfsDevice::Urb
{
    UMockdevIoctlClient* client = nullptr; // referenced
    UMockdevIoctlData* urbData = nullptr;  // referenced
    UMockdevIoctlData* bufferData = nullptr;
    unsigned long clientAddress = 0;
    uint8_t type = 0;
    uint8_t endpoint = 0;
    int length = 0;
    enum State { Queued, Running, Hanging, Done } state = Queued;
    bool discarded = false;

    usbdevfs_urb* urb() const { return static_cast<usbdevfs_urb*>(static_cast<void*>(urbData->data)); }
    uint8_t* buffer() const { return bufferData ? bufferData->data : nullptr; }

    ~Urb()
    {
        if (bufferData)
            g_object_unref(bufferData);
        if (urbData)
            g_object_unref(urbData);
        if (client)
            g_object_unref(client);
    }
};

struct UsbDevfsDevice::Reaper
{
    UMockdevIoctlClient* client = nullptr;  // referenced
    UMockdevIoctlData* pointer = nullptr;   // the client's URB pointer slot
    Clock::time_point deadline;             // max() for a blocking reap
    ~Reaper()
    {
        if (pointer)
            g_object_unref(pointer);
        if (client)
            g_object_unref(client);
    }
};

struct UsbDevfsDevice::Endpoint
{
    std::deque<std::shared_ptr<Urb>> queue;
    std::condition_variable wake;
    std::thread thread;
};

UsbDevfsDevice::UsbDevfsDevice(UsbUnit& unit, uint8_t busNumber, uint8_t address, unsigned speedMbits)
    : m_unit(unit)
    , m_busNumber(busNumber)
    , m_address(address)
    , m_speedMbits(speedMbits)
    , m_connection(unit.connection())
    , m_handler(umockdev_ioctl_base_new())
{
    g_signal_connect_after(m_handler, "handle-ioctl", G_CALLBACK(&UsbDevfsDevice::onIoctlThunk), this);
    g_signal_connect(m_handler, "client-vanished", G_CALLBACK(&UsbDevfsDevice::onClientVanishedThunk), this);
    m_reaperThread = std::thread([this] { runReapers(); });
}

UsbDevfsDevice::~UsbDevfsDevice()
{
    g_signal_handlers_disconnect_by_data(m_handler, this);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        m_gone = true;
        for (auto& entry : m_endpoints)
            entry.second->wake.notify_all();
        m_wake.notify_all();
    }
    for (auto& entry : m_endpoints) {
        if (entry.second->thread.joinable())
            entry.second->thread.join();
    }
    if (m_reaperThread.joinable())
        m_reaperThread.join();
    // Clients still waiting get an answer rather than hanging for ever.
    for (auto& reaper : m_reapers)
        complete(reaper->client, -1, ENODEV);
    m_reapers.clear();
    m_completed.clear();
    m_inFlight.clear();
    for (auto& claim : m_claims)
        g_object_unref(claim.first);
    m_claims.clear();
    g_object_unref(m_handler);
}

int UsbDevfsDevice::onIoctlThunk(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self)
{
    return static_cast<UsbDevfsDevice*>(self)->onIoctl(client) ? TRUE : FALSE;
}

void UsbDevfsDevice::onClientVanishedThunk(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self)
{
    static_cast<UsbDevfsDevice*>(self)->onClientVanished(client);
}

bool UsbDevfsDevice::gone() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_gone;
}

bool UsbDevfsDevice::stillConnected() const
{
    return m_unit.present() && m_unit.connection() == m_connection;
}

void UsbDevfsDevice::markGone()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_gone)
        return;
    m_gone = true;
    for (auto& entry : m_endpoints) {
        for (auto& urb : entry.second->queue)
            finishLocked(urb, -ENODEV);
        entry.second->queue.clear();
    }
    for (const auto& urb : std::vector<std::shared_ptr<Urb>>(m_inFlight)) {
        if (urb->state == Urb::Hanging)
            finishLocked(urb, -ENODEV);
    }
    m_wake.notify_all();
}

bool UsbDevfsDevice::uintArgument(UMockdevIoctlData* arg, unsigned* value)
{
    UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned), nullptr);
    if (!data)
        return false;
    std::memcpy(value, data->data, sizeof(unsigned));
    g_object_unref(data);
    return true;
}

bool UsbDevfsDevice::onIoctl(UMockdevIoctlClient* client)
{
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);

    if (request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY) {
        reap(client, arg, request == USBDEVFS_REAPURB);
        return true;
    }
    if (gone() || !stillConnected()) {
        complete(client, -1, ENODEV);
        return true;
    }

    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr);
        if (!data) {
            complete(client, -1, EFAULT);
            break;
        }
        const uint32_t caps = kCapabilities;
        std::memcpy(data->data, &caps, sizeof(caps));
        g_object_unref(data);
        complete(client, 0, 0);
        break;
    }
    case USBDEVFS_SUBMITURB:
        submit(client, arg);
        break;
    case USBDEVFS_DISCARDURB:
        discard(client, arg);
        break;
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
        unsigned number = 0;
        if (!uintArgument(arg, &number) || number > 255) {
            complete(client, -1, EINVAL);
            break;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (request == USBDEVFS_CLAIMINTERFACE) {
            for (const auto& claim : m_claims) {
                if (claim.first != client && claim.second.count(number)) {
                    complete(client, -1, EBUSY);
                    return true;
                }
            }
            if (!m_claims.count(client))
                g_object_ref(client);
            m_claims[client].insert(number);
            complete(client, 0, 0);
        } else {
            const auto entry = m_claims.find(client);
            if (entry == m_claims.end() || !entry->second.erase(number)) {
                complete(client, -1, EINVAL);
                break;
            }
            complete(client, 0, 0);
        }
        break;
    }
    case USBDEVFS_SETCONFIGURATION: {
        unsigned value = 0;
        if (!uintArgument(arg, &value)) {
            complete(client, -1, EFAULT);
            break;
        }
        m_unit.control(0x00, 9, static_cast<uint16_t>(value), 0, nullptr, 0, 1000);
        complete(client, 0, 0);
        break;
    }
    case USBDEVFS_SETINTERFACE: {
        UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_setinterface), nullptr);
        if (!data) {
            complete(client, -1, EFAULT);
            break;
        }
        usbdevfs_setinterface setting{};
        std::memcpy(&setting, data->data, sizeof(setting));
        g_object_unref(data);
        const TransferResult result = m_unit.control(0x01, 11, static_cast<uint16_t>(setting.altsetting),
                                                     static_cast<uint16_t>(setting.interface), nullptr, 0, 1000);
        complete(client, result.status == TransferStatus::Ok ? 0 : -1,
                 result.status == TransferStatus::Ok ? 0 : EINVAL);
        break;
    }
    case USBDEVFS_CLEAR_HALT: {
        unsigned endpoint = 0;
        if (!uintArgument(arg, &endpoint)) {
            complete(client, -1, EFAULT);
            break;
        }
        // CLEAR_FEATURE(ENDPOINT_HALT) as the kernel would send it.
        const TransferResult result = m_unit.control(0x02, 1, 0, static_cast<uint16_t>(endpoint & 0xFF), nullptr, 0, 1000);
        if (result.status == TransferStatus::NoDevice)
            complete(client, -1, ENODEV);
        else if (result.status == TransferStatus::Timeout)
            complete(client, -1, ETIMEDOUT);
        else
            complete(client, 0, 0);
        break;
    }
    case USBDEVFS_RESETEP:
    case USBDEVFS_RESET:
    case USBDEVFS_DROP_PRIVILEGES:
        complete(client, 0, 0);
        break;
    case USBDEVFS_CONNECTINFO: {
        UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_connectinfo), nullptr);
        if (!data) {
            complete(client, -1, EFAULT);
            break;
        }
        usbdevfs_connectinfo info{};
        info.devnum = m_address;
        info.slow = m_speedMbits < 12 ? 1 : 0;
        std::memcpy(data->data, &info, sizeof(info));
        g_object_unref(data);
        complete(client, 0, 0);
        break;
    }
    case USBDEVFS_GET_SPEED: {
        // USB_SPEED_LOW 1, FULL 2, HIGH 3, SUPER 5
        const long speed = m_speedMbits < 12 ? 1 : m_speedMbits < 480 ? 2 : m_speedMbits < 5000 ? 3 : 5;
        complete(client, speed, 0);
        break;
    }
    case USBDEVFS_GETDRIVER:
    case USBDEVFS_IOCTL:
        // No kernel driver is bound to the emulated unit.
        complete(client, -1, ENODATA);
        break;
    default:
        complete(client, -1, ENOTTY);
        break;
    }
    return true;
}

void UsbDevfsDevice::submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    UMockdevIoctlData* urbData = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
    if (!urbData) {
        complete(client, -1, EFAULT);
        return;
    }
    auto urb = std::make_shared<Urb>();
    urb->urbData = urbData;
    urb->client = static_cast<UMockdevIoctlClient*>(g_object_ref(client));
    urb->clientAddress = urbData->client_addr;
    const usbdevfs_urb* header = urb->urb();
    urb->type = header->type;
    urb->endpoint = header->endpoint;
    urb->length = header->buffer_length;

    const bool known = urb->type == USBDEVFS_URB_TYPE_CONTROL || urb->type == USBDEVFS_URB_TYPE_BULK
        || urb->type == USBDEVFS_URB_TYPE_INTERRUPT;
    if (!known || urb->length < 0 || urb->length > kMaxUrbBuffer
        || (urb->type == USBDEVFS_URB_TYPE_CONTROL && urb->length < 8)) {
        complete(client, -1, EINVAL);
        return;
    }
    if (urb->length > 0) {
        urb->bufferData = umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer),
                                                      static_cast<gsize>(urb->length), nullptr);
        if (!urb->bufferData) {
            complete(client, -1, EFAULT);
            return;
        }
    }
    if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
        const uint8_t* setup = urb->buffer();
        const unsigned wLength = setup[6] | (setup[7] << 8);
        if (wLength > static_cast<unsigned>(urb->length - 8)) {
            complete(client, -1, EINVAL);
            return;
        }
    }

    std::lock_guard<std::mutex> lock(m_mutex);
    const uint8_t key = urb->type == USBDEVFS_URB_TYPE_CONTROL ? kControlEndpoint : urb->endpoint;
    auto& endpoint = m_endpoints[key];
    if (!endpoint) {
        endpoint = std::make_unique<Endpoint>();
        Endpoint* raw = endpoint.get();
        endpoint->thread = std::thread([this, raw] { runEndpoint(raw); });
    }
    m_inFlight.push_back(urb);
    endpoint->queue.push_back(urb);
    endpoint->wake.notify_one();
    complete(client, 0, 0);
}

void UsbDevfsDevice::runEndpoint(Endpoint* endpoint)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        endpoint->wake.wait(lock, [&] { return m_stop || !endpoint->queue.empty(); });
        if (m_stop)
            return;
        std::shared_ptr<Urb> urb = endpoint->queue.front();
        endpoint->queue.pop_front();
        urb->state = Urb::Running;
        lock.unlock();
        execute(*urb);
        lock.lock();
    }
}

// Runs one URB against the unit; called without the lock.
void UsbDevfsDevice::execute(Urb& urb)
{
    TransferResult result;
    uint8_t* buffer = urb.buffer();
    if (urb.type == USBDEVFS_URB_TYPE_CONTROL) {
        const uint8_t* setup = buffer;
        const uint16_t value = static_cast<uint16_t>(setup[2] | (setup[3] << 8));
        const uint16_t index = static_cast<uint16_t>(setup[4] | (setup[5] << 8));
        const uint16_t length = static_cast<uint16_t>(setup[6] | (setup[7] << 8));
        result = m_unit.control(setup[0], setup[1], value, index, buffer + 8, length, kUnknownTimeout);
        result.length = std::min<uint32_t>(result.length, length);
    } else {
        result = m_unit.bulk(urb.endpoint, buffer, static_cast<uint32_t>(urb.length), kUnknownTimeout);
        result.length = std::min<uint32_t>(result.length, static_cast<uint32_t>(urb.length));
    }

    std::lock_guard<std::mutex> lock(m_mutex);
    // Find our shared owner; a vanished client's URB is no longer listed.
    const auto it = std::find_if(m_inFlight.begin(), m_inFlight.end(),
                                 [&](const std::shared_ptr<Urb>& entry) { return entry.get() == &urb; });
    if (it == m_inFlight.end())
        return;
    const std::shared_ptr<Urb> owner = *it;
    owner->urb()->actual_length = static_cast<int>(result.length);
    if (urb.discarded) {
        finishLocked(owner, -ENOENT);
        return;
    }
    if (m_gone || !stillConnected()) {
        finishLocked(owner, -ENODEV);
        return;
    }
    switch (result.status) {
    case TransferStatus::Ok:
        finishLocked(owner, 0);
        break;
    case TransferStatus::Stall:
        owner->urb()->actual_length = 0;
        finishLocked(owner, -EPIPE);
        break;
    case TransferStatus::NoDevice:
        owner->urb()->actual_length = 0;
        finishLocked(owner, -ENODEV);
        break;
    case TransferStatus::Timeout:
        // A real bus gives no answer at all; the host's own time-out
        // discards the URB.
        owner->urb()->actual_length = 0;
        owner->state = Urb::Hanging;
        break;
    }
}

void UsbDevfsDevice::finishLocked(const std::shared_ptr<Urb>& urb, int status)
{
    urb->urb()->status = status;
    if (status == -ENODEV)
        urb->urb()->actual_length = 0;
    urb->state = Urb::Done;
    m_inFlight.erase(std::remove(m_inFlight.begin(), m_inFlight.end(), urb), m_inFlight.end());
    m_completed.push_back(urb);
    m_wake.notify_all();
}

void UsbDevfsDevice::discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    unsigned long address = 0;
    std::memcpy(&address, arg->data, std::min<size_t>(sizeof(address), sizeof(void*)));
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& urb : m_inFlight) {
        if (urb->client != client || urb->clientAddress != address)
            continue;
        if (urb->state == Urb::Running) {
            urb->discarded = true;
        } else {
            if (urb->state == Urb::Queued) {
                for (auto& entry : m_endpoints) {
                    auto& queue = entry.second->queue;
                    queue.erase(std::remove(queue.begin(), queue.end(), urb), queue.end());
                }
            }
            const std::shared_ptr<Urb> keep = urb;
            keep->urb()->actual_length = 0;
            finishLocked(keep, -ENOENT);
        }
        complete(client, 0, 0);
        return;
    }
    complete(client, -1, EINVAL);
}

void UsbDevfsDevice::reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg, bool wait)
{
    UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
    if (!pointer) {
        complete(client, -1, EFAULT);
        return;
    }
    auto reaper = std::make_unique<Reaper>();
    reaper->client = static_cast<UMockdevIoctlClient*>(g_object_ref(client));
    reaper->pointer = pointer;
    reaper->deadline = wait ? Clock::time_point::max() : Clock::now() + kEmptyReapDelay;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (serveLocked(*reaper))
        return;
    m_reapers.push_back(std::move(reaper));
    m_wake.notify_all();
}

bool UsbDevfsDevice::serveLocked(Reaper& reaper)
{
    const auto it = std::find_if(m_completed.begin(), m_completed.end(),
                                 [&](const std::shared_ptr<Urb>& urb) { return urb->client == reaper.client; });
    if (it != m_completed.end()) {
        const std::shared_ptr<Urb> urb = *it;
        m_completed.erase(it);
        umockdev_ioctl_data_set_ptr(reaper.pointer, 0, urb->urbData);
        complete(reaper.client, 0, 0);
        return true;
    }
    if (m_gone) {
        complete(reaper.client, -1, ENODEV);
        return true;
    }
    return false;
}

void UsbDevfsDevice::runReapers()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        Clock::time_point next = Clock::time_point::max();
        for (auto it = m_reapers.begin(); it != m_reapers.end();) {
            Reaper& reaper = **it;
            if (serveLocked(reaper)) {
                it = m_reapers.erase(it);
            } else if (Clock::now() >= reaper.deadline) {
                complete(reaper.client, -1, EAGAIN);
                it = m_reapers.erase(it);
            } else {
                next = std::min(next, reaper.deadline);
                ++it;
            }
        }
        if (next == Clock::time_point::max())
            m_wake.wait(lock);
        else
            m_wake.wait_until(lock, next);
    }
}

void UsbDevfsDevice::onClientVanished(UMockdevIoctlClient* client)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& entry : m_endpoints) {
        auto& queue = entry.second->queue;
        queue.erase(std::remove_if(queue.begin(), queue.end(),
                                   [&](const std::shared_ptr<Urb>& urb) { return urb->client == client; }),
                    queue.end());
    }
    auto ofClient = [&](const std::shared_ptr<Urb>& urb) { return urb->client == client; };
    m_inFlight.erase(std::remove_if(m_inFlight.begin(), m_inFlight.end(), ofClient), m_inFlight.end());
    m_completed.erase(std::remove_if(m_completed.begin(), m_completed.end(), ofClient), m_completed.end());
    m_reapers.erase(std::remove_if(m_reapers.begin(), m_reapers.end(),
                                   [&](const std::unique_ptr<Reaper>& reaper) { return reaper->client == client; }),
                    m_reapers.end());
    const auto claim = m_claims.find(client);
    if (claim != m_claims.end()) {
        m_claims.erase(claim);
        g_object_unref(client);
    }
}

} // namespace xmegasim
