#include "checkversionpcitool.h"

#include <QByteArrayList>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

CheckVersionPCITool::CheckVersionPCITool(const QString& updaterPath, QObject* parent)
    : QObject(parent), m_updaterPath(updaterPath)
{
    bool ok = false;
    const int shortened = qEnvironmentVariableIntValue("ONDAVIA_PCIE_COMMAND_TIMEOUT_MS", &ok);
    if (ok && shortened > 0)
        m_commandTimeoutMs = shortened;
    qRegisterMetaType<UpdateOutcome>("UpdateOutcome");
}

CheckVersionPCITool::~CheckVersionPCITool()
{
    if (m_process) {
        // The front end never kills a running update; if the tool itself goes
        // away first, leave the updater to finish on its own.
        m_process->disconnect(this);
        m_process->setParent(nullptr);
        QObject::connect(m_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), m_process,
                         &QObject::deleteLater);
    }
}

StatusCheck CheckVersionPCITool::runShortCommand(const QStringList& arguments, QByteArray* output)
{
    StatusCheck result;
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(m_updaterPath, arguments, QIODevice::ReadWrite);
    if (!process.waitForStarted(m_commandTimeoutMs)) {
        result.outcome = StatusCheck::Missing;
        const QFileInfo file(m_updaterPath);
        if (!file.exists())
            result.reason = tr("The updater %1 is not installed.").arg(m_updaterPath);
        else if (!file.isFile() || !file.isExecutable())
            result.reason = tr("The updater %1 is not a program that can be run.").arg(m_updaterPath);
        else
            result.reason = tr("The updater %1 could not be started (%2).").arg(m_updaterPath, process.errorString());
        return result;
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(m_commandTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        result.outcome = StatusCheck::Failed;
        result.reason = tr("The updater %1 gave no answer within %2 seconds.")
                            .arg(m_updaterPath)
                            .arg(m_commandTimeoutMs / 1000.0);
        return result;
    }
    if (process.exitStatus() != QProcess::NormalExit) {
        result.outcome = StatusCheck::Failed;
        result.reason = tr("The updater %1 crashed.").arg(m_updaterPath);
        return result;
    }
    if (process.exitCode() != 0) {
        result.outcome = StatusCheck::Failed;
        result.reason = tr("The updater %1 failed (exit status %2).").arg(m_updaterPath).arg(process.exitCode());
        return result;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return result;
}

bool CheckVersionPCITool::parseStatus(const QByteArray& answer, Device& device)
{
    QByteArray text = answer;
    // A line ending after the name belongs to the output, not to the name.
    if (text.endsWith('\n'))
        text.chop(1);
    if (text.endsWith('\r'))
        text.chop(1);
    const QByteArrayList fields = text.split(':');
    if (fields.size() != 5)
        return false;

    Device parsed;
    parsed.needsUpdate = fields[0].startsWith('1');
    parsed.suppressed = fields[1].startsWith('1');
    parsed.path = QString::fromUtf8(fields[2]);
    unsigned char code = 0;
    const QByteArray digits = fields[3].left(2);
    if (std::sscanf(digits.constData(), "%hhx", &code) == 1)
        parsed.deviceCode = code;
    parsed.name = QString::fromUtf8(fields[4]);
    device = parsed;
    return true;
}

StatusCheck CheckVersionPCITool::checkDevice(const char* path, Device& device)
{
    if (!path)
        return {StatusCheck::Failed, tr("The card gave no device path."), QString()};
    QByteArray output;
    StatusCheck result = runShortCommand({"-gui", "status", QString::fromUtf8(path)}, &output);
    result.node = QString::fromUtf8(path);
    if (result.answered() && !parseStatus(output, device)) {
        result.outcome = StatusCheck::Unreadable;
        result.reason = tr("The updater %1 gave an answer that cannot be read.").arg(m_updaterPath);
    }
    return result;
}

void CheckVersionPCITool::checkDevices(QList<Device>& devices)
{
    devices.clear();
    QByteArray output;
    if (!runShortCommand({"-gui", "status"}, &output).answered())
        return;
    for (const QByteArray& line : output.split('\n')) {
        Device device;
        if (parseStatus(line, device))
            devices.append(device);
    }
}

void CheckVersionPCITool::disableVersionCheck(const Device& device)
{
    runShortCommand({"-gui", "ignore-version", device.path}, nullptr);
}

void CheckVersionPCITool::markUpdateCancelled(const Device& device)
{
    runShortCommand({"-gui", "update-cancelled", device.path}, nullptr);
}

void CheckVersionPCITool::updateFirmware(const Device& device)
{
    if (m_process)
        return; // one update at a time
    m_process = new QProcess(this);
    m_lastOutcome = Outcome::kFail;
    m_progressLines.reset();
    connect(m_process, &QProcess::readyReadStandardOutput, this, &CheckVersionPCITool::updateProcessOutput);
    connect(m_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            &CheckVersionPCITool::updateCompleted);
    connect(m_process, &QProcess::errorOccurred, this, &CheckVersionPCITool::onProcessError);
    m_process->start(m_updaterPath, {"-gui", "update", device.path}, QIODevice::ReadWrite);
}

void CheckVersionPCITool::onProcessError(QProcess::ProcessError error)
{
    // An updater that never started sends no finished(): end the run here,
    // with the outcome still at fail, so the progress dialog closes.
    if (error == QProcess::FailedToStart && m_process)
        QMetaObject::invokeMethod(this, &CheckVersionPCITool::finishUpdate, Qt::QueuedConnection);
}

void CheckVersionPCITool::updateProcessOutput()
{
    if (!m_process)
        return;
    const QVector<ProgressLine> lines = m_progressLines.readAvailable(m_process);
    for (const ProgressLine& line : lines)
        handleLine(line);
}

void CheckVersionPCITool::handleLine(const ProgressLine& line)
{
    if (line.hasPercent)
        emit updateProgress(line.percent);
    if (line.hasOutcome)
        m_lastOutcome = line.outcome;
}

void CheckVersionPCITool::updateCompleted(int, QProcess::ExitStatus)
{
    // Take what is still buffered, and a last line without its newline.
    updateProcessOutput();
    ProgressLine last;
    if (m_progressLines.takeUnterminated(&last))
        handleLine(last);
    finishUpdate();
}

void CheckVersionPCITool::finishUpdate()
{
    if (!m_process)
        return;
    QProcess* process = m_process;
    m_process = nullptr;
    process->disconnect(this);
    // Released once the finished() delivery that brought us here is over.
    process->deleteLater();
    emit updateComplete(m_lastOutcome);
}
