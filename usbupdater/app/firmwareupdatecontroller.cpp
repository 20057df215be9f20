#include "firmwareupdatecontroller.h"

#include "device.h"
#include "devicesupport.h"
#include "taskqueue.h"
#include "updatemessagetype.h"
#include "updateview.h"
#include "usbfdpoller.h"

#include <exception>

FirmwareUpdateController::FirmwareUpdateController(bool watchBus)
{
    if (watchBus)
        m_poller = std::make_unique<USBFDPoller>();
}

FirmwareUpdateController::~FirmwareUpdateController()
{
    // The hot-plug thread reaches the queue and the view (arrivals offer
    // units): stop it first. Then the worker, which may still report to
    // the view; the view goes last.
    m_poller.reset();
    m_queue.reset();
    m_view.reset();
}

bool FirmwareUpdateController::init(std::unique_ptr<UpdateView> view)
{
    if (m_initialised)
        return false;
    m_view = std::move(view);
    UpdateView* target = m_view.get();
    m_viewCallback = [target](const std::shared_ptr<Device>& device) {
        if (target)
            target->update(device);
    };
    if (m_poller) {
        try {
            m_poller->start();
        } catch (const std::exception&) {
            // No USB device file system to watch: nothing can ever arrive.
            m_poller->stop();
            return false;
        }
        std::list<Notifier*> notifiers;
        DeviceSupport::instance().getNotifiers(notifiers);
        addNotifiers(notifiers);
    }
    addPaths({"%path%/Firmware"});
    for (Notifier* notifier : m_notifiers)
        notifier->listen();
    m_initialised = true;
    return true;
}

void FirmwareUpdateController::addNotifiers(const std::list<Notifier*>& notifiers)
{
    for (Notifier* notifier : notifiers) {
        if (!notifier)
            continue;
        notifier->init(
            [this](const std::shared_ptr<Device>& device, DeviceNotificationType type) {
                deviceArrivalHandler(device, type);
            },
            nullptr);
        notifier->setFirmwareStore(&m_fileStore);
        m_notifiers.push_back(notifier);
    }
}

void FirmwareUpdateController::addPaths(const std::list<std::string>& paths)
{
    for (const std::string& path : paths)
        m_fileStore.addPath(path);
}

void FirmwareUpdateController::setShutdownHandler(ShutdownHandler handler)
{
    m_shutdownHandler = std::move(handler);
}

FirmwareUpdateController::Interrupt FirmwareUpdateController::interrupt()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Busy without a unit in hand: the round ended with the restart
        // message, which has been answered; nothing is left to wait for.
        if (m_busy && m_inHand) {
            // An offered or running update is never cut short: the end
            // waits until the user has read how it went.
            m_endPending = true;
            switch (m_inHand->state()) {
            case Device::StateUpdateAvailable:
                return Interrupt::AfterQuestion;
            case Device::StateUpdating:
                return Interrupt::AfterUpdate;
            default:
                return Interrupt::AfterMessage;
            }
        }
    }
    shutDown();
    return Interrupt::Ended;
}

void FirmwareUpdateController::shutDown()
{
    if (m_poller)
        m_poller->stop();
    if (m_shutdownHandler)
        m_shutdownHandler();
}

void FirmwareUpdateController::idleAgain()
{
    bool end = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        end = m_endPending;
    }
    if (end)
        shutDown();
    else
        runProcessUpdateQueue();
}

void FirmwareUpdateController::processUpdateReboot()
{
    bool end = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        end = m_endPending;
        m_inHand.reset(); // busy stays set: nothing more is offered
    }
    if (end)
        shutDown();
}

void FirmwareUpdateController::deviceArrivalHandler(const std::shared_ptr<Device>& device,
                                                    DeviceNotificationType type)
{
    if (!device)
        return;
    if (type == DeviceRemoved)
        deviceRemoved(device);
    else if (type == DeviceAdded)
        deviceArrived(device);
}

void FirmwareUpdateController::deviceArrived(const std::shared_ptr<Device>& device)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const std::string id = device->uniqueID();
        for (const auto& waiting : m_waiting)
            if (waiting->uniqueID() == id)
                return;
        m_waiting.push_back(device);
    }
    runProcessUpdateQueue();
}

void FirmwareUpdateController::deviceRemoved(const std::shared_ptr<Device>& device)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_waiting.remove(device);
}

bool FirmwareUpdateController::haveMoreUpdatableDevices() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_waiting.empty();
}

std::shared_ptr<Device> FirmwareUpdateController::nextDeviceLocked()
{
    while (!m_waiting.empty()) {
        std::shared_ptr<Device> device = m_waiting.front();
        m_waiting.pop_front();
        if (device->needsUpdate()) {
            m_busy = true;
            m_inHand = device;
            return device;
        }
    }
    m_restart = false;
    return nullptr;
}

std::shared_ptr<Device> FirmwareUpdateController::getNextDevice()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return nextDeviceLocked();
}

void FirmwareUpdateController::runProcessUpdateQueue()
{
    std::shared_ptr<Device> next;
    {
        // The busy test and the choice form one step: two threads can't
        // offer two units at once.
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_busy || m_endPending)
            return;
        next = nextDeviceLocked();
    }
    if (!next)
        return;
    next->setState(Device::StateUpdateAvailable);
    showDevice(next);
}

void FirmwareUpdateController::showDevice(const std::shared_ptr<Device>& device)
{
    if (m_viewCallback)
        m_viewCallback(device);
}

void FirmwareUpdateController::updateDevice(const std::shared_ptr<Device>& device)
{
    m_queue.reset(); // joins the finished worker of the previous unit
    m_queue = std::make_unique<TaskQueue>(
        device, [this](const std::shared_ptr<Device>& d, Task::Result result, double fraction) {
            deviceStatusHandler(d, result, fraction);
        });
    const bool queued = device->queueUpdates(*m_queue, false);
    device->setProgress(0.0);
    device->setState(Device::StateUpdating);
    showDevice(device);
    // A queue without tasks would never report: count it as a failure
    // rather than leave the program busy for ever.
    if (!queued || m_queue->size() == 0) {
        deviceStatusHandler(device, Task::Failed, 1.0);
        return;
    }
    try {
        m_queue->run();
    } catch (const std::exception&) {
        deviceStatusHandler(device, Task::Failed, 1.0);
    }
}

void FirmwareUpdateController::deviceStatusHandler(const std::shared_ptr<Device>& device, Task::Result result,
                                                   double fraction)
{
    switch (result) {
    case Task::NotFinished:
        device->setState(Device::StateUpdating);
        device->setProgress(fraction);
        showDevice(device);
        break;
    case Task::Succeeded: {
        const bool reboot = DeviceSupport::instance().rebootRequired(*device);
        device->setState(reboot && haveMoreUpdatableDevices() ? Device::StateFinishedRestartLater
                                                              : Device::StateFinished);
        showDevice(device);
        break;
    }
    case Task::Failed:
        device->setState(Device::StateFailed);
        showDevice(device);
        runProcessUpdateQueue(); // nothing while busy
        break;
    }
}

void FirmwareUpdateController::cancelUpdate()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_busy = false;
        m_inHand.reset();
    }
    idleAgain();
}

void FirmwareUpdateController::processUpdateAvilable(const std::shared_ptr<Device>& device, bool accepted)
{
    if (!device)
        return;
    if (accepted) {
        updateDevice(device);
        return;
    }
    // The declined unit has left the waiting list: it is offered again only
    // when it is plugged in anew.
    cancelUpdate();
}

void FirmwareUpdateController::processUpdateComplete(const std::shared_ptr<Device>& device, bool /*accepted*/)
{
    if (!device)
        return;
    const bool reboot = DeviceSupport::instance().rebootRequired(*device);
    bool finalRestart = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!reboot && m_waiting.empty() && m_restart) {
            finalRestart = true;
            // The last unit of a round in which an earlier one needs a
            // restart: say so once, and offer nothing more.
            device->setState(Device::StateRestartRequired);
        } else {
            if (reboot && device->state() != Device::StateFailed)
                m_restart = true;
            m_busy = false;
            m_inHand.reset();
        }
    }
    if (finalRestart)
        showDevice(device);
    else
        idleAgain();
}

int FirmwareUpdateController::getCompletionMessage(const Device& device) const
{
    switch (DeviceSupport::instance().deviceConnectionType(device)) {
    case 0:
        return Ui::RestartRequired;
    case 1:
        return Ui::PowerCycleShutDown;
    case 2:
        return Ui::PowerCycleCables;
    case 3:
        return Ui::PowerCyclePowerAndCables;
    case 4:
        return Ui::PowerCycle;
    default:
        return Ui::UpgradeFailed;
    }
}

bool FirmwareUpdateController::isBusy() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_busy;
}

bool FirmwareUpdateController::restartPending() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_restart;
}

size_t FirmwareUpdateController::waitingCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_waiting.size();
}
