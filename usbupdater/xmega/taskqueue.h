#pragma once

#include "task.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class Device;

// Runs the update tasks of one device, in order, on a worker thread of its
// own, and folds their progress into one fraction for the whole queue.
class TaskQueue
{
public:
    // (device, result, overall fraction); called on the worker thread.
    using StatusCallback = std::function<void(const std::shared_ptr<Device>&, Task::Result, double)>;

    TaskQueue(std::shared_ptr<Device> device, StatusCallback callback);
    // Joins the worker thread.
    ~TaskQueue();
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;

    void add(std::shared_ptr<Task> task);
    // Starts the worker; throws std::system_error when no thread can be had.
    void run();
    // Waits for the worker (for callers that need the outcome in-line).
    void wait();
    Task::Result result() const { return Task::Result(m_result.load()); }
    size_t size() const;
    // The task at a position, or null.
    std::shared_ptr<Task> task(size_t index) const;

private:
    void work();
    void onTaskStatus(Task::Result result, double fraction);

    std::shared_ptr<Device> m_device;
    std::vector<std::shared_ptr<Task>> m_tasks;
    std::thread m_worker;
    mutable std::mutex m_mutex;
    std::atomic<size_t> m_added{0};
    std::atomic<int> m_result{Task::NotFinished};
    std::atomic<size_t> m_finished{0};
    StatusCallback m_callback;
};
