#include "updatemanager.h"

#include "checkupdatedialog.h"
#include "messagedialog.h"
#include "updateprogressdialog.h"
#include "zeltradriver.h"

#include <QMutexLocker>

UpdateManager::UpdateManager(QObject* parent) : QObject(parent), m_tool(GetUpdaterPath(), this)
{
    // Arrivals come from the notifier thread; the queue is worked here.
    connect(this, &UpdateManager::runUpdate, this, &UpdateManager::runUpdateSlot, Qt::QueuedConnection);
}

QString UpdateManager::GetUpdaterPath()
{
    const QByteArray path = qgetenv("MORVANE_FIRMWARE_UPDATER_PATH");
    return path.isEmpty() ? QStringLiteral("/usr/bin/MorvaneFirmwareUpdater") : QString::fromLocal8Bit(path);
}

bool UpdateManager::checkForUpdate(ZeltraInstanceRec* instance, Device& device)
{
    char path[kZeltraPathSize] = {};
    if (!GetDevicePath(instance, path))
        return false;
    m_tool.checkDevice(path, device);
    return device.offered();
}

static bool showOutcome(UpdateOutcome outcome)
{
    switch (outcome) {
    case Outcome::kRestart:
        MessageDialog::DisplayRebootRequiredMessage();
        return true;
    case Outcome::kShutdown:
        MessageDialog::DisplayShutdownMessage();
        return true;
    case Outcome::kShutdownAndUnplug:
        MessageDialog::DisplayShutdownAndUnplugMessage();
        return true;
    case Outcome::kUnplugThunderbolt:
        MessageDialog::DisplayUnplugThunderboltMessage();
        return true;
    case Outcome::kUnplugThunderboltAndPower:
        MessageDialog::DisplayUnplugThunderboltAndPowerMessage();
        return true;
    case Outcome::kFail:
        MessageDialog::DisplayUpdateErrorMessage();
        return false;
    default:
        return true; // done, nothing more to do
    }
}

bool UpdateManager::update(const Device& device)
{
    auto* question = new CheckUpdateDialog(device);
    const int answer = question->exec();
    delete question;

    if (answer == CheckUpdateDialog::UpdateNow) {
        m_outcome = Outcome::kFail;
        const auto toManager =
            connect(&m_tool, &CheckVersionPCITool::updateComplete, this, &UpdateManager::updateComplete);
        auto* progress = new UpdateProgressDialog(device);
        const auto toBar =
            connect(&m_tool, &CheckVersionPCITool::updateProgress, progress, &UpdateProgressDialog::updateProgress);
        const auto toDone =
            connect(&m_tool, &CheckVersionPCITool::updateComplete, progress, &UpdateProgressDialog::updateComplete);
        m_tool.updateFirmware(device);
        progress->exec();
        disconnect(toManager);
        disconnect(toBar);
        disconnect(toDone);
        delete progress;
        return showOutcome(m_outcome);
    }
    if (answer == CheckUpdateDialog::DontUpdateAndIgnore)
        m_tool.disableVersionCheck(device);
    m_tool.markUpdateCancelled(device);
    return false;
}

void UpdateManager::updateComplete(UpdateOutcome outcome)
{
    m_outcome = outcome;
}

void UpdateManager::DeviceArrived(ZeltraInstanceRec* instance, void* manager)
{
    if (manager)
        static_cast<UpdateManager*>(manager)->deviceArrived(instance);
    else
        CloseDriverConnectionCore(instance);
}

void UpdateManager::deviceArrived(ZeltraInstanceRec* instance)
{
    Device device;
    char path[kZeltraPathSize] = {};
    if (GetDevicePath(instance, path))
        m_tool.checkDevice(path, device); // blocks this (notifier) thread for up to 30 s
    if (device.offered())
        enqueue(device);
    CloseDriverConnectionCore(instance);
}

bool UpdateManager::enqueue(const Device& device)
{
    QMutexLocker lock(&m_mutex);
    for (const Device& d : qAsConst(m_queue))
        if (d.path == device.path && d.deviceCode == device.deviceCode)
            return false;
    m_queue.append(device);
    emit runUpdate();
    return true;
}

int UpdateManager::queuedCount()
{
    QMutexLocker lock(&m_mutex);
    return m_queue.size();
}

void UpdateManager::runUpdateSlot()
{
    QMutexLocker lock(&m_mutex);
    if (m_busy)
        return; // the run in progress will reach the new entry
    m_busy = true;
    while (!m_queue.isEmpty()) {
        Device device = m_queue.takeFirst();
        lock.unlock();
        const QByteArray path = device.path.toUtf8();
        m_tool.checkDevice(path.constData(), device);
        if (device.offered())
            update(device);
        lock.relock();
    }
    m_busy = false;
}
