#include "eventloop.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cardsim {

int PollGroup::preparePoll(std::vector<pollfd> &fds)
{
    int timeout = -1;
    m_counts.clear();
    for (PollClient *client : m_clients) {
        const size_t before = fds.size();
        const int wait = client->preparePoll(fds);
        m_counts.push_back(fds.size() - before);
        if (wait >= 0 && (timeout < 0 || wait < timeout))
            timeout = wait;
    }
    return timeout;
}

void PollGroup::handlePoll(const pollfd *fds, size_t count)
{
    size_t offset = 0;
    for (size_t i = 0; i < m_clients.size() && i < m_counts.size(); ++i) {
        const size_t n = std::min(m_counts[i], count - std::min(count, offset));
        m_clients[i]->handlePoll(fds + offset, n);
        offset += m_counts[i];
    }
}

EventLoop::~EventLoop()
{
    stop();
}

bool EventLoop::start(PollClient *client, std::string &error)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("cannot create the wake-up pipe: ") + std::strerror(errno);
        return false;
    }
    m_wakeRead = fds[0];
    m_wakeWrite = fds[1];
    m_client = client;
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error &e) {
        error = std::string("cannot start the library thread: ") + e.what();
        close(m_wakeRead);
        close(m_wakeWrite);
        m_wakeRead = m_wakeWrite = -1;
        return false;
    }
    m_threadId = m_thread.get_id();
    return true;
}

void EventLoop::stop()
{
    m_stopping = true;
    if (m_thread.joinable()) {
        wake();
        if (onLoopThread()) {
            // The loop ends after the task in progress; nobody is left to join it.
            m_thread.detach();
            return;
        }
        m_thread.join();
    }
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        m_queue.clear();
    }
    if (m_wakeRead >= 0)
        close(m_wakeRead);
    if (m_wakeWrite >= 0)
        close(m_wakeWrite);
    m_wakeRead = m_wakeWrite = -1;
}

void EventLoop::post(std::function<void()> task)
{
    if (m_stopping)
        return;
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        m_queue.push_back(std::move(task));
    }
    wake();
}

bool EventLoop::onLoopThread() const
{
    return std::this_thread::get_id() == m_threadId;
}

void EventLoop::waitForDelivery()
{
    if (onLoopThread())
        return;
    std::lock_guard<std::recursive_mutex> lock(m_deliveryMutex);
}

void EventLoop::wake()
{
    if (m_wakeWrite < 0)
        return;
    const char byte = 1;
    // A full pipe already means "wake up"; nothing is lost when this fails.
    [[maybe_unused]] ssize_t n = write(m_wakeWrite, &byte, 1);
}

void EventLoop::runPending()
{
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard<std::mutex> lock(m_queueMutex);
            if (m_queue.empty() || m_stopping)
                return;
            task = std::move(m_queue.front());
            m_queue.pop_front();
        }
        std::lock_guard<std::recursive_mutex> delivery(m_deliveryMutex);
        try {
            task();
        } catch (...) {
            // A failing task must not end the thread (and with it the host).
        }
    }
}

void EventLoop::run()
{
    std::vector<pollfd> fds;
    while (!m_stopping) {
        runPending();
        if (m_stopping)
            break;
        fds.clear();
        fds.push_back({m_wakeRead, POLLIN, 0});
        int timeout = -1;
        if (m_client)
            timeout = m_client->preparePoll(fds);
        if (poll(fds.data(), fds.size(), timeout) < 0) {
            // Keep serving the queue whatever went wrong with the sockets.
            if (errno != EINTR)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (fds[0].revents & POLLIN) {
            char buffer[64];
            while (read(m_wakeRead, buffer, sizeof buffer) > 0) {
            }
        }
        if (m_client && !m_stopping) {
            std::lock_guard<std::recursive_mutex> delivery(m_deliveryMutex);
            m_client->handlePoll(fds.data() + 1, fds.size() - 1);
        }
    }
}

} // namespace cardsim
