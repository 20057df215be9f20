#pragma once

#include <poll.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// The hot-plug thread: waits on the USB device file system's inotify
// descriptor and libusb's descriptors and handles whatever becomes readable.
// All hot-plug callbacks and libusb event handling run on this thread.
// start/stop come from one controlling thread.
class USBFDPoller
{
public:
    USBFDPoller() = default;
    ~USBFDPoller();
    USBFDPoller(const USBFDPoller&) = delete;
    USBFDPoller& operator=(const USBFDPoller&) = delete;

    // Starts the thread and registers for descriptor changes; no-op when started.
    void start();
    // Unregisters, tells the thread to stop and joins it; harmless when not running.
    void stop();

    // Owns the wake-up pipe and the poll array; entry 0 is the pipe's read end.
    class Poller
    {
    public:
        // handler gets each descriptor that polled ready; by default the USB
        // layer's MVNUsb_HandleFdRead.
        explicit Poller(std::function<bool(int fd)> handler = {});
        ~Poller();
        Poller(const Poller&) = delete;
        Poller& operator=(const Poller&) = delete;

        // Queue a change of the poll array for the poll thread (any thread).
        void addFD(int fd, short events);
        void removeFD(int fd, short events);
        // Queue the stop message.
        void stop();
        // The poll loop; returns when stopped or when poll fails.
        void doPoll();

        // 12 bytes on the pipe: type, descriptor, events, padding.
        struct Message
        {
            int32_t type;
            int32_t fd;
            int16_t events;
            int16_t padding;
        };
        enum : int32_t { kAddFD = 0, kRemoveFD = 1, kStop = 2 };

        // Writes one whole message; tag names the caller in the diagnostic.
        void post(const Message& message, const char* tag);

    private:
        std::function<bool(int)> m_handler;
        int m_pipe[2] = {-1, -1};
        std::vector<pollfd> m_fds;
    };

private:
    static void usbPollFDCallbackThunk(bool added, int fd, short events, void* context);
    void usbPollFDCallback(bool added, int fd, short events);

    std::unique_ptr<Poller> m_poller;
    std::thread m_thread;
    bool m_started = false;
};

static_assert(sizeof(USBFDPoller::Poller::Message) == 12, "poller messages are 12 bytes");

// Thin wrappers the application uses to reach the USB layer's registration.
void RegisterUSBDeviceNotifierPollFdCallback(void (*callback)(bool added, int fd, short events, void* context),
                                             void* context);
bool HandleUSBDeviceNotifierFdRead(int fd);
