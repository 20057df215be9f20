#pragma once

#include <functional>
#include <string>

// A unit of work of the task queue, run on its worker thread.
class Task
{
public:
    enum Result : int {
        NotFinished = 0, // also passed with progress reports
        Succeeded = 1,
        Failed = 2,
    };
    // (result, fraction done); called from the thread that runs the task.
    using StatusCallback = std::function<void(Result, double)>;

    virtual ~Task() = default;
    virtual void setStatusCallback(StatusCallback callback) = 0;
    virtual void run() = 0;
    virtual Result result() const = 0;
    virtual std::string name() const = 0;
    virtual void cancel() = 0;
};
