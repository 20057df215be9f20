#include "usbfdpoller.h"

#include "mvnusbnotification.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

constexpr const char* kAddTag = "void USBFDPoller::Poller::addFD(int, short)";
constexpr const char* kRemoveTag = "void USBFDPoller::Poller::removeFD(int, short)";
constexpr const char* kStopTag = "void USBFDPoller::Poller::stop()";
constexpr const char* kPollTag = "void USBFDPoller::Poller::doPoll()";
constexpr const char* kConstructorTag = "USBFDPoller::Poller::Poller()";

} // namespace

void RegisterUSBDeviceNotifierPollFdCallback(void (*callback)(bool added, int fd, short events, void* context),
                                             void* context)
{
    MVN::USB::MVNUsb_RegisterPollFdCallback(callback, context);
}

bool HandleUSBDeviceNotifierFdRead(int fd)
{
    return MVN::USB::MVNUsb_HandleFdRead(fd);
}

USBFDPoller::Poller::Poller(std::function<bool(int)> handler)
    : m_handler(handler ? std::move(handler) : std::function<bool(int)>(&MVN::USB::MVNUsb_HandleFdRead))
{
    // Close-on-exec: a program started from ours must not hold the poll
    // thread's wake-up pipe.
    if (pipe2(m_pipe, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "%s: Failed to create pipe!\n", kConstructorTag);
        m_pipe[0] = m_pipe[1] = -1;
        return;
    }
    const int flags = fcntl(m_pipe[0], F_GETFL);
    if (flags < 0) {
        std::fprintf(stderr, "%s: Failed to get flags!\n", kConstructorTag);
    } else if (fcntl(m_pipe[0], F_SETFL, flags | O_NONBLOCK) < 0) {
        std::fprintf(stderr, "%s: Failed to set flags!\n", kConstructorTag);
    }
    m_fds.push_back(pollfd{m_pipe[0], POLLIN, 0});
}

USBFDPoller::Poller::~Poller()
{
    for (int fd : m_pipe) {
        if (fd >= 0)
            close(fd);
    }
}

void USBFDPoller::Poller::post(const Message& message, const char* tag)
{
    ssize_t written = -1;
    if (m_pipe[1] >= 0) {
        do {
            written = write(m_pipe[1], &message, sizeof(message));
        } while (written < 0 && errno == EINTR);
    }
    if (written != static_cast<ssize_t>(sizeof(message)))
        std::fprintf(stderr, "%s: Failed to write to pipe!\n", tag);
}

void USBFDPoller::Poller::addFD(int fd, short events)
{
    post(Message{kAddFD, fd, events, 0}, kAddTag);
}

void USBFDPoller::Poller::removeFD(int fd, short events)
{
    post(Message{kRemoveFD, fd, events, 0}, kRemoveTag);
}

void USBFDPoller::Poller::stop()
{
    post(Message{kStop, 0, 0, 0}, kStopTag);
}

void USBFDPoller::Poller::doPoll()
{
    if (m_pipe[0] < 0) {
        std::fprintf(stderr, "%s: poll failed!\n", kPollTag);
        return;
    }
    for (;;) {
        const int ready = poll(m_fds.data(), m_fds.size(), -1);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            std::fprintf(stderr, "%s: poll failed!\n", kPollTag);
            return;
        }
        if (ready == 0) {
            std::fprintf(stderr, "%s: poll timed out.\n", kPollTag);
            continue;
        }
        // Handlers only post messages, so the array cannot change under us;
        // a copy keeps the loop safe regardless. Any event counts, not only
        // POLLIN: usbfs signals finished transfers with POLLOUT and a
        // vanished device with POLLERR, and leaving those unhandled would
        // make poll return at once for ever.
        const std::vector<pollfd> snapshot(m_fds.begin() + 1, m_fds.end());
        for (const pollfd& entry : snapshot) {
            if (entry.revents != 0)
                m_handler(entry.fd);
        }
        if (!(m_fds[0].revents & POLLIN))
            continue;
        Message message{};
        while (read(m_pipe[0], &message, sizeof(message)) == static_cast<ssize_t>(sizeof(message))) {
            switch (message.type) {
            case kAddFD:
                m_fds.push_back(pollfd{message.fd, message.events, 0});
                break;
            case kRemoveFD:
                for (auto it = m_fds.begin() + 1; it != m_fds.end(); ++it) {
                    if (it->fd == message.fd) {
                        m_fds.erase(it);
                        break;
                    }
                }
                break;
            case kStop:
                return;
            default:
                std::fprintf(stderr, "%s: Unknown message type %i, this should never happen!\n", kPollTag,
                             message.type);
                break;
            }
        }
    }
}

USBFDPoller::~USBFDPoller()
{
    stop();
    m_poller.reset();
}

void USBFDPoller::start()
{
    if (m_started)
        return;
    m_poller = std::make_unique<Poller>();
    Poller* poller = m_poller.get();
    m_thread = std::thread([poller] { poller->doPoll(); });
    m_started = true;
    MVN::USB::MVNUsb_RegisterPollFdCallback(&USBFDPoller::usbPollFDCallbackThunk, this);
}

void USBFDPoller::stop()
{
    if (!m_started)
        return;
    MVN::USB::MVNUsb_RegisterPollFdCallback(nullptr, nullptr);
    m_poller->stop();
    if (m_thread.joinable())
        m_thread.join();
    m_started = false;
}

void USBFDPoller::usbPollFDCallbackThunk(bool added, int fd, short events, void* context)
{
    static_cast<USBFDPoller*>(context)->usbPollFDCallback(added, fd, events);
}

void USBFDPoller::usbPollFDCallback(bool added, int fd, short events)
{
    if (added)
        m_poller->addFD(fd, events);
    else
        m_poller->removeFD(fd, events);
}
