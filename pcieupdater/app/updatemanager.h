#pragma once

#include "checkversionpcitool.h"
#include "device.h"
#include "updateoutcome.h"

#include <QList>
#include <QMutex>
#include <QObject>

struct ZeltraInstanceRec;

// Decides which cards to offer an update, asks the user, runs the update and
// shows its outcome. In daemon mode it queues the cards that the arrival
// notifier reports and works the queue on the GUI thread, one at a time.
class UpdateManager : public QObject
{
    Q_OBJECT
public:
    explicit UpdateManager(QObject* parent = nullptr);

    // Asks the updater about the instance's node; true when the card is
    // offered an update. check, when given, tells whether an answer was
    // taken and why not. The caller closes the instance.
    bool checkForUpdate(ZeltraInstanceRec* instance, Device& device, StatusCheck* check = nullptr);
    // Question, progress and outcome message; true unless declined or failed.
    bool update(const Device& device);
    // The outcome of the last update run (fail before any).
    UpdateOutcome lastOutcome() const { return m_outcome; }

    // The arrival notifier's callback; manager is the UpdateManager.
    static void DeviceArrived(ZeltraInstanceRec* instance, void* manager);
    // The notifier's end-of-thread callback: emits notifierStopped.
    static void NotifierStopped(const char* reason, void* manager);
    // Notifier thread: checks the card and queues it when it needs an update.
    // Closes the instance.
    void deviceArrived(ZeltraInstanceRec* instance);

    // "MORVANE_FIRMWARE_UPDATER_PATH", or the installed updater when unset or empty.
    static QString GetUpdaterPath();

    // Queues a card reported by the notifier unless the same path and code
    // wait already; safe on any thread. Returns whether it was queued.
    bool enqueue(const Device& device);

    CheckVersionPCITool* tool() { return &m_tool; }
    int queuedCount();

    // A quit request (GUI thread). An open question or message is closed
    // without telling the updater anything and no further card is taken
    // from the queue; a running update is left to end, and its outcome is
    // logged rather than shown. Returns true when nothing is left running;
    // otherwise stopped() follows once the current run has ended.
    bool requestStop();
    bool stopping();

signals:
    void runUpdate();
    void stopped();
    // From the notifier thread: no further arrival will be reported.
    void notifierStopped(const QString& reason);

public slots:
    void runUpdateSlot();
    void updateComplete(UpdateOutcome outcome);

private:
    // Remembers a card the updater answered for (any thread).
    void noteSeen(const Device& device);
    // The card's place when another card of its model has been seen.
    QString placeOf(const Device& device);

    CheckVersionPCITool m_tool;
    QMutex m_mutex;          // guards the queue and the busy flag
    QList<Device> m_queue;
    QList<Device> m_seen;    // under the mutex: every card answered for, by path
    bool m_busy = false;
    bool m_stopping = false;     // under the mutex
    bool m_updateRunning = false; // GUI thread: a progress dialog is up
    UpdateOutcome m_outcome = Outcome::kFail;
};
