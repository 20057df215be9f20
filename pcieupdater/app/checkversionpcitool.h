#pragma once

#include "device.h"
#include "progresslinereader.h"
#include "updateoutcome.h"

#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>

// How a status question ended: answered, or why no answer could be taken.
struct StatusCheck
{
    enum Outcome { Answered, Missing, Failed, Unreadable };
    Outcome outcome = Answered;
    QString reason; // a sentence for people, empty when answered
    QString node;   // the device path asked about

    bool answered() const { return outcome == Answered; }
};

// Runs the external command-line updater: status questions, the update
// itself (followed through its progress lines) and the two notices of a
// declined update.
class CheckVersionPCITool : public QObject
{
    Q_OBJECT
public:
    // Short commands are killed after this long. Tests shorten it through
    // ONDAVIA_PCIE_COMMAND_TIMEOUT_MS (read when the tool is built).
    static constexpr int kCommandTimeoutMs = 30000;
    static constexpr int kLineBufferSize = ProgressLineReader::kLineBufferSize;

    explicit CheckVersionPCITool(const QString& updaterPath, QObject* parent = nullptr);
    ~CheckVersionPCITool() override;

    // Fills device from the status answer for path; leaves it unchanged when
    // the answer is not accepted, and says why. Blocks for up to
    // commandTimeoutMs(); safe on any thread (the process lives on the
    // calling thread).
    StatusCheck checkDevice(const char* path, Device& device);
    // Replaces devices with one entry per accepted line of "status".
    void checkDevices(QList<Device>& devices);
    // Starts an update and returns at once; progress and the outcome follow
    // as signals on this object's thread.
    void updateFirmware(const Device& device);
    void disableVersionCheck(const Device& device);
    void markUpdateCancelled(const Device& device);

    QString updaterPath() const { return m_updaterPath; }
    int commandTimeoutMs() const { return m_commandTimeoutMs; }

    // Parses one status answer (five fields split at ':'). Exposed for tests.
    static bool parseStatus(const QByteArray& answer, Device& device);

signals:
    void updateProgress(double percent);
    void updateComplete(UpdateOutcome outcome);

public slots:
    void updateProcessOutput();
    void updateCompleted(int exitCode, QProcess::ExitStatus status);

private:
    void onProcessError(QProcess::ProcessError error);
    void handleLine(const ProgressLine& line);
    void finishUpdate();
    // Runs a short command; the output is taken only from a run that ended
    // with status 0. Otherwise the result says what went wrong.
    StatusCheck runShortCommand(const QStringList& arguments, QByteArray* output);

    QString m_updaterPath;
    int m_commandTimeoutMs = kCommandTimeoutMs;
    QProcess* m_process = nullptr;
    ProgressLineReader m_progressLines; // the line buffer and the partial line held in it
    UpdateOutcome m_lastOutcome = Outcome::kFail;
};
