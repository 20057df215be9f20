#include "systeminfo.h"

#include <QProcess>

#include <sys/sysinfo.h>

namespace {
constexpr int kDefaultTimeoutMs = 30000;
}

int SystemInfo::commandTimeoutMs()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("ONDAVIA_SYSINFO_TIMEOUT_MS", &ok);
    return ok && ms > 0 ? ms : kDefaultTimeoutMs;
}

bool SystemInfo::runCommand(const QString& program, const QStringList& arguments, QString& out)
{
    out.clear();
    const int limit = commandTimeoutMs();
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(limit))
        return false;
    if (!process.waitForFinished(limit)) {
        // Abandon it: a hung command must not keep the report waiting.
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return false;
    out = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return true;
}

bool SystemInfo::GetHostName(QString& out)
{
    return runCommand(QStringLiteral("hostname"), {}, out);
}

bool SystemInfo::GetSystemVersionString(QString& out)
{
    QString description;
    out.clear();
    if (!runCommand(QStringLiteral("lsb_release"), {QStringLiteral("-sd")}, description) || description.isEmpty())
        return false;
    QString kernel;
    // Without the kernel release the distribution alone, not "name ()".
    if (runCommand(QStringLiteral("uname"), {QStringLiteral("-r")}, kernel) && !kernel.isEmpty())
        out = QStringLiteral("%1 (%2)").arg(description, kernel);
    else
        out = description;
    return true;
}

quint64 SystemInfo::GetPhysicalMemory()
{
    struct sysinfo info {};
    if (sysinfo(&info) != 0)
        return 0;
    return quint64(info.totalram) * quint64(info.mem_unit ? info.mem_unit : 1);
}

int SystemInfo::GetProcessorCount()
{
    QString text;
    if (!runCommand(QStringLiteral("nproc"), {}, text))
        return 1;
    bool ok = false;
    const int count = text.toInt(&ok, 10);
    return ok && count > 0 ? count : 1;
}

bool SystemInfo::GetHardwareModelString(QString& out)
{
    out.clear();
    return false;
}

void SystemInfo::GetSystemVersion(int& major, int& minor, int& patch)
{
    major = minor = patch = 0;
}
