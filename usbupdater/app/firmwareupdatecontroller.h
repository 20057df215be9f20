#pragma once

#include "filestore.h"
#include "notifier.h"
#include "task.h"

#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>

class Device;
class TaskQueue;
class UpdateView;
class USBFDPoller;

// Sequences the units: keeps the waiting list in arrival order, offers one
// unit at a time to the view, runs an accepted update on a task queue and
// hands its progress and outcome back to the view.
//
// Threads: arrivals and removals come from the hot-plug thread, the user's
// answers from the GUI thread, status reports from the queue's worker. The
// mutex guards the waiting list and the busy and restart flags; it is never
// held while calling out (view, device, queue).
class FirmwareUpdateController
{
public:
    using ViewCallback = std::function<void(const std::shared_ptr<Device>&)>;
    using ShutdownHandler = std::function<void()>;

    // watchBus false: no hot-plug thread and no notifiers (tests that feed
    // arrivals themselves).
    explicit FirmwareUpdateController(bool watchBus = true);
    // Stops the hot-plug thread, joins the current worker, then drops the view.
    ~FirmwareUpdateController();
    FirmwareUpdateController(const FirmwareUpdateController&) = delete;
    FirmwareUpdateController& operator=(const FirmwareUpdateController&) = delete;

    // Takes the view over, starts the hot-plug thread, sets up the model
    // family's notifiers with the package folder beside the program and
    // lets them report the units already present. False when initialised
    // already or when the USB device file system can't be watched.
    bool init(std::unique_ptr<UpdateView> view);
    void addNotifiers(const std::list<Notifier*>& notifiers);
    void addPaths(const std::list<std::string>& paths);
    void setShutdownHandler(ShutdownHandler handler);
    // What an interrupt did.
    enum class Interrupt {
        Ended,         // the shutdown handler was called
        AfterQuestion, // the program ends once the open question is answered
                       // (and, when the update is accepted, once it is over)
        AfterUpdate,   // ... once the running update is over and its outcome read
        AfterMessage   // ... once the outcome message on screen is answered
    };
    // Ends the program at once when idle; while a unit is being offered or
    // updated, the end waits until the user has answered the last message
    // of it, and no further unit is offered meanwhile.
    Interrupt interrupt();

    void deviceArrivalHandler(const std::shared_ptr<Device>& device, DeviceNotificationType type);
    void deviceArrived(const std::shared_ptr<Device>& device);
    void deviceRemoved(const std::shared_ptr<Device>& device);
    void deviceStatusHandler(const std::shared_ptr<Device>& device, Task::Result result, double fraction);
    bool haveMoreUpdatableDevices() const;
    void runProcessUpdateQueue();
    std::shared_ptr<Device> getNextDevice();
    void updateDevice(const std::shared_ptr<Device>& device);
    void cancelUpdate();

    // The user's answers (GUI thread).
    void processUpdateAvilable(const std::shared_ptr<Device>& device, bool accepted);
    void processUpdateComplete(const std::shared_ptr<Device>& device, bool accepted);
    // After the final restart message: ends the program when an interrupt
    // came meanwhile (otherwise nothing is offered any more).
    void processUpdateReboot();
    // The message type (Ui::UpdateMessageType) for a finished update.
    int getCompletionMessage(const Device& device) const;

    FileStore& fileStore() { return m_fileStore; }
    bool isInitialised() const { return m_initialised; }
    bool isBusy() const;
    bool restartPending() const;
    size_t waitingCount() const;

private:
    std::shared_ptr<Device> nextDeviceLocked();
    // Stops the hot-plug thread and calls the shutdown handler.
    void shutDown();
    // The unit in hand is done with: offers the next, or ends the program
    // when an interrupt waits.
    void idleAgain();
    void showDevice(const std::shared_ptr<Device>& device);

    std::unique_ptr<USBFDPoller> m_poller;
    bool m_initialised = false;
    std::list<Notifier*> m_notifiers; // borrowed
    std::list<std::shared_ptr<Device>> m_waiting;
    ViewCallback m_viewCallback;
    mutable std::mutex m_mutex;
    std::unique_ptr<TaskQueue> m_queue;
    std::unique_ptr<UpdateView> m_view;
    FileStore m_fileStore;
    ShutdownHandler m_shutdownHandler;
    bool m_restart = false;
    bool m_busy = false;
    bool m_endPending = false;         // an interrupt waits for the unit in hand
    std::shared_ptr<Device> m_inHand; // the unit offered or updated while busy
};
