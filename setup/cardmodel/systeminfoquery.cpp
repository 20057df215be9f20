#include "systeminfoquery.h"

#include "systeminfo.h"

#include <QProcess>
#include <QTimer>

SystemInfoQuery::SystemInfoQuery(QObject* parent) : QObject(parent), m_commands(CommandCount)
{
}

SystemInfoQuery::~SystemInfoQuery()
{
    // A report that is no longer wanted must not wait for a hung command.
    for (Command& command : m_commands) {
        if (command.process && command.process->state() != QProcess::NotRunning) {
            command.process->disconnect(this);
            command.process->kill();
            // Killed, it ends at once; reaped here rather than left behind.
            command.process->waitForFinished(1000);
        }
    }
}

void SystemInfoQuery::start()
{
    if (m_running > 0)
        return;
    m_details = SystemDetails();
    m_running = CommandCount;
    startCommand(HostName, QStringLiteral("hostname"), {});
    startCommand(Description, QStringLiteral("lsb_release"), {QStringLiteral("-sd")});
    startCommand(Kernel, QStringLiteral("uname"), {QStringLiteral("-r")});
    startCommand(Processors, QStringLiteral("nproc"), {});
}

void SystemInfoQuery::startCommand(int index, const QString& program, const QStringList& arguments)
{
    Command& command = m_commands[index];
    delete command.process;
    delete command.limit;
    command = Command();
    command.process = new QProcess(this);
    command.limit = new QTimer(this);
    command.limit->setSingleShot(true);
    QProcess* process = command.process;
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->setStandardInputFile(QProcess::nullDevice());

    // The same limit once to start and once more to finish.
    connect(process, &QProcess::started, command.limit, [this, index] {
        if (!m_commands[index].done)
            m_commands[index].limit->start(SystemInfo::commandTimeoutMs());
    });
    connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this, index](int exitCode, QProcess::ExitStatus status) {
                onFinished(index, status == QProcess::NormalExit && exitCode == 0);
            });
    connect(process, &QProcess::errorOccurred, this, [this, index](QProcess::ProcessError error) {
        // A crash or a failed read ends in finished() as well.
        if (error == QProcess::FailedToStart)
            onFinished(index, false);
    });
    connect(command.limit, &QTimer::timeout, this, [this, index] {
        // Given up: the process is killed and left to be reaped.
        m_commands[index].process->disconnect(this);
        m_commands[index].process->kill();
        onFinished(index, false);
    });
    command.limit->start(SystemInfo::commandTimeoutMs());
    // Queued, so that finished() never comes out of start() itself, even
    // when a command is missing and fails at once.
    QTimer::singleShot(0, process, [process, program, arguments] {
        process->start(program, arguments, QIODevice::ReadOnly);
    });
}

void SystemInfoQuery::onFinished(int index, bool ok)
{
    Command& command = m_commands[index];
    if (command.done)
        return;
    command.done = true;
    command.limit->stop();
    if (ok)
        command.output = QString::fromLocal8Bit(command.process->readAllStandardOutput()).trimmed();
    if (--m_running > 0)
        return;

    m_details.hostName = m_commands[HostName].output;
    m_details.systemVersion =
        SystemInfo::systemVersionText(m_commands[Description].output, m_commands[Kernel].output);
    m_details.processorCount = SystemInfo::processorCountFromText(m_commands[Processors].output);
    m_details.physicalMemory = SystemInfo::GetPhysicalMemory();
    SystemInfo::GetHardwareModelString(m_details.hardwareModel);
    emit finished();
}
