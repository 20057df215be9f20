#include "taskqueue.h"

#include <system_error>

TaskQueue::TaskQueue(std::shared_ptr<Device> device, StatusCallback callback)
    : m_device(std::move(device))
    , m_callback(std::move(callback))
{
}

TaskQueue::~TaskQueue()
{
    wait();
}

void TaskQueue::add(std::shared_ptr<Task> task)
{
    if (!task)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    task->setStatusCallback([this](Task::Result result, double fraction) { onTaskStatus(result, fraction); });
    m_tasks.push_back(std::move(task));
    ++m_added;
}

size_t TaskQueue::size() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_tasks.size();
}

std::shared_ptr<Task> TaskQueue::task(size_t index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_tasks.size() ? m_tasks[index] : nullptr;
}

void TaskQueue::run()
{
    wait();
    try {
        m_worker = std::thread([this] { work(); });
    } catch (const std::system_error&) {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                                "thread constructor failed");
    }
}

void TaskQueue::wait()
{
    if (m_worker.joinable())
        m_worker.join();
}

void TaskQueue::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (size_t i = 0; i < m_tasks.size(); ++i) {
        std::shared_ptr<Task> task = m_tasks[i];
        if (task->result() == Task::NotFinished) {
            lock.unlock();
            task->run();
            lock.lock();
        }
        ++m_finished;
        if (task->result() == Task::Failed) {
            m_result = Task::Failed;
            return;
        }
    }
    m_result = Task::Succeeded;
}

void TaskQueue::onTaskStatus(Task::Result result, double fraction)
{
    if (!m_callback)
        return;
    const size_t count = m_added.load();
    const double overall = count ? (double(m_finished.load()) + fraction) / double(count) : fraction;
    m_callback(m_device, result, overall);
}
