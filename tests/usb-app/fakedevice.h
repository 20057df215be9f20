#pragma once

#include "device.h"
#include "task.h"
#include "taskqueue.h"

#include <chrono>
#include <memory>
#include <thread>
#include <string>
#include <utility>
#include <vector>

// A task that reports a scripted list of progress fractions, then its result.
class FakeTask : public Task
{
public:
    FakeTask(std::vector<double> fractions, Result outcome,
             std::chrono::milliseconds pace = std::chrono::milliseconds(0))
        : m_fractions(std::move(fractions))
        , m_outcome(outcome)
        , m_pace(pace)
    {
    }

    void setStatusCallback(StatusCallback callback) override { m_callback = std::move(callback); }
    void run() override
    {
        for (double f : m_fractions) {
            std::this_thread::sleep_for(m_pace);
            if (m_callback)
                m_callback(NotFinished, f);
        }
        m_result = m_outcome;
        if (m_callback)
            m_callback(m_result, 1.0);
    }
    Result result() const override { return m_result; }
    std::string name() const override { return "fake"; }
    void cancel() override {}

private:
    std::vector<double> m_fractions;
    Result m_outcome;
    std::chrono::milliseconds m_pace; // before each progress report
    StatusCallback m_callback;
    std::atomic<Result> m_result{NotFinished};
};

// A unit without hardware: one part, out of date or not, whose update is
// one FakeTask.
class FakeDevice : public Device
{
public:
    FakeDevice(std::string id, uint16_t productId, bool outdated, Task::Result outcome = Task::Succeeded,
               std::vector<double> fractions = {0.5})
        : Device(nullptr)
        , m_id(std::move(id))
        , m_productId(productId)
        , m_outcome(outcome)
        , m_fractions(std::move(fractions))
    {
        Firmware f;
        f.index = 0;
        f.description = "XMEGA";
        f.deviceVersion = outdated ? 1 : 2;
        f.packageVersion = 2;
        m_firmware.push_back(f);
    }

    uint16_t productID() const override { return m_productId; }
    std::string uniqueID() const override { return m_id; }
    std::string name() const override { return "Test unit " + m_id; }
    XmegaUSBDevice* device() const override { return nullptr; }
    void setDevice(XmegaUSBDevice*) override {}
    bool rebootBlocking(bool) override { return false; }
    bool isRebooting() override { return false; }
    void completeReboot() override {}
    bool queueUpdates(TaskQueue& queue, bool force) override
    {
        bool any = false;
        for (const Firmware& f : m_firmware)
            any = any || force || f.needsUpdate();
        m_firmware.clear();
        if (any && !m_withoutTask)
            queue.add(std::make_shared<FakeTask>(m_fractions, m_outcome, m_pace));
        return true;
    }

    // queueUpdates then makes no task even for an outdated part.
    void setWithoutTask() { m_withoutTask = true; }
    void setPace(std::chrono::milliseconds pace) { m_pace = pace; }

private:
    std::string m_id;
    uint16_t m_productId;
    Task::Result m_outcome;
    std::vector<double> m_fractions;
    bool m_withoutTask = false;
    std::chrono::milliseconds m_pace{0};
};
