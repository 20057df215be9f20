#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <poll.h>
#include <string>
#include <thread>
#include <vector>

namespace cardsim {

// Something the loop thread watches besides its task queue (the control socket).
class PollClient
{
public:
    virtual ~PollClient() = default;
    // Appends the descriptors to watch; returns the longest wait in ms (-1: none).
    virtual int preparePoll(std::vector<pollfd> &fds) = 0;
    // Called with the descriptors appended by preparePoll, after poll returned.
    virtual void handlePoll(const pollfd *fds, size_t count) = 0;
};

// Several poll clients on one loop, each seeing only its own descriptors.
class PollGroup final : public PollClient
{
public:
    explicit PollGroup(std::vector<PollClient *> clients) : m_clients(std::move(clients)) {}
    int preparePoll(std::vector<pollfd> &fds) override;
    void handlePoll(const pollfd *fds, size_t count) override;

private:
    std::vector<PollClient *> m_clients;
    std::vector<size_t> m_counts; // descriptors each client added
};

// The library's own thread. It runs posted tasks in order, one at a time,
// and every call into the host (arrivals, removals, notices) is made from
// such a task. Tasks run with the delivery lock held, so that a host thread
// can wait until no call into it is in progress (waitForDelivery).
class EventLoop
{
public:
    EventLoop() = default;
    ~EventLoop();
    EventLoop(const EventLoop &) = delete;
    EventLoop &operator=(const EventLoop &) = delete;

    bool start(PollClient *client, std::string &error);
    // Stops and joins the thread; tasks not yet run are dropped. Safe to call
    // more than once. Called on the loop thread itself it only asks the loop
    // to end and detaches it.
    void stop();

    // Queues a task; ignored once the loop is stopping.
    void post(std::function<void()> task);
    bool onLoopThread() const;
    // Returns once no task is running. On the loop thread it returns at once:
    // the caller is itself inside the task in progress.
    void waitForDelivery();
    // Runs the queued tasks now; only on the loop thread.
    void runPending();

private:
    void run();
    void wake();

    mutable std::mutex m_queueMutex;
    std::deque<std::function<void()>> m_queue;
    std::recursive_mutex m_deliveryMutex;
    std::thread m_thread;
    std::thread::id m_threadId;
    std::atomic<bool> m_stopping{false};
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    PollClient *m_client = nullptr;
};

} // namespace cardsim
