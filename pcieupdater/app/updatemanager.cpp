#include "updatemanager.h"

#include "checkupdatedialog.h"
#include "messagedialog.h"
#include "updateprogressdialog.h"
#include "zeltradriver.h"

#include <QApplication>
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

bool UpdateManager::checkForUpdate(ZeltraInstanceRec* instance, Device& device, StatusCheck* check)
{
    char path[kZeltraPathSize] = {};
    if (!GetDevicePath(instance, path)) {
        if (check)
            *check = {StatusCheck::Failed, tr("The card's device node gives no path."), QString()};
        return false;
    }
    const StatusCheck result = m_tool.checkDevice(path, device);
    if (check)
        *check = result;
    if (result.answered())
        noteSeen(device);
    return device.offered();
}

void UpdateManager::noteSeen(const Device& device)
{
    QMutexLocker lock(&m_mutex);
    for (Device& seen : m_seen) {
        if (seen.path == device.path) {
            seen = device;
            return;
        }
    }
    m_seen.append(device);
}

QString UpdateManager::placeOf(const Device& device)
{
    QMutexLocker lock(&m_mutex);
    for (const Device& seen : qAsConst(m_seen)) {
        // The updater's path ends in the driver's node name, which tells
        // the cards apart: "Ondavia Quartet 12G (dv1)".
        if (seen.name == device.name && seen.path != device.path)
            return device.path.section('/', -1);
    }
    return QString();
}

static bool showOutcome(UpdateOutcome outcome, const QString& name)
{
    switch (outcome) {
    case Outcome::kRestart:
        MessageDialog::DisplayRebootRequiredMessage(name);
        return true;
    case Outcome::kShutdown:
        MessageDialog::DisplayShutdownMessage(name);
        return true;
    case Outcome::kShutdownAndUnplug:
        MessageDialog::DisplayShutdownAndUnplugMessage(name);
        return true;
    case Outcome::kUnplugThunderbolt:
        MessageDialog::DisplayUnplugThunderboltMessage(name);
        return true;
    case Outcome::kUnplugThunderboltAndPower:
        MessageDialog::DisplayUnplugThunderboltAndPowerMessage(name);
        return true;
    case Outcome::kFail:
        MessageDialog::DisplayUpdateErrorMessage(name);
        return false;
    default:
        return true; // done, nothing more to do
    }
}

// How an update ended, for the log of a run that was asked to quit.
static const char* outcomeSummary(UpdateOutcome outcome)
{
    switch (outcome) {
    case Outcome::kRestart:
        return "restart required";
    case Outcome::kShutdown:
        return "shut down required";
    case Outcome::kShutdownAndUnplug:
        return "shut down and unplug power required";
    case Outcome::kUnplugThunderbolt:
        return "unplug Thunderbolt cables required";
    case Outcome::kUnplugThunderboltAndPower:
        return "unplug power and Thunderbolt cables required";
    case Outcome::kFail:
        return "failed";
    default:
        return "done";
    }
}

bool UpdateManager::update(const Device& card)
{
    if (stopping())
        return false;
    Device device = card;
    device.place = placeOf(card);
    auto* question = new CheckUpdateDialog(device);
    const int answer = question->exec();
    delete question;
    // Closed by a quit request: the user made no choice to pass on.
    if (stopping())
        return false;

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
        m_updateRunning = true;
        progress->exec(); // only the update's end closes it, a quit request included
        m_updateRunning = false;
        disconnect(toManager);
        disconnect(toBar);
        disconnect(toDone);
        delete progress;
        if (stopping()) {
            // Nobody is left to click a message away: say it in the log.
            qInfo("MorvaneFirmwareUpdaterGui: update of %s at %s ended: %s", qPrintable(device.name),
                  qPrintable(device.path), outcomeSummary(m_outcome));
            return m_outcome != Outcome::kFail;
        }
        return showOutcome(m_outcome, device.displayName());
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

void UpdateManager::NotifierStopped(const char* reason, void* manager)
{
    if (manager)
        emit static_cast<UpdateManager*>(manager)->notifierStopped(QString::fromUtf8(reason));
}

void UpdateManager::deviceArrived(ZeltraInstanceRec* instance)
{
    Device device;
    StatusCheck check;
    // Blocks this (notifier) thread for up to the command limit.
    if (checkForUpdate(instance, device, &check))
        enqueue(device);
    else if (!check.answered())
        qWarning("MorvaneFirmwareUpdaterGui: the firmware of %s could not be checked. %s",
                 qPrintable(check.node.isEmpty() ? tr("an arriving card") : check.node), qPrintable(check.reason));
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

bool UpdateManager::stopping()
{
    QMutexLocker lock(&m_mutex);
    return m_stopping;
}

bool UpdateManager::requestStop()
{
    QMutexLocker lock(&m_mutex);
    m_stopping = true;
    const bool idle = !m_busy;
    lock.unlock();
    if (!m_updateRunning) {
        // A question or a message may be up; the update run's own dialog
        // is never closed from here.
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            const bool ours = qobject_cast<CheckUpdateDialog*>(widget) || qobject_cast<MessageDialog*>(widget);
            if (dialog && ours && dialog->isVisible())
                dialog->done(QDialog::Rejected);
        }
    }
    return idle;
}

void UpdateManager::runUpdateSlot()
{
    QMutexLocker lock(&m_mutex);
    if (m_busy || m_stopping)
        return; // the run in progress will reach the new entry
    m_busy = true;
    // The first card of a run was asked about just now, on its arrival; a
    // card that waited behind a question or an update is asked again, as
    // the user may have dealt with it meanwhile.
    bool waited = false;
    while (!m_queue.isEmpty() && !m_stopping) {
        Device device = m_queue.takeFirst();
        lock.unlock();
        if (waited) {
            const QByteArray path = device.path.toUtf8();
            if (m_tool.checkDevice(path.constData(), device).answered())
                noteSeen(device);
        }
        if (device.offered())
            update(device);
        waited = true;
        lock.relock();
    }
    m_busy = false;
    const bool ended = m_stopping;
    lock.unlock();
    if (ended)
        emit stopped();
}
