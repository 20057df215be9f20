#include "systeminfo.h"

#include <QFile>
#include <QProcess>

#include <sys/sysinfo.h>

namespace {

constexpr int kDefaultTimeoutMs = 30000;
// os-release is a few hundred bytes; more than this is not one.
constexpr qint64 kMaximumOsReleaseSize = 64 * 1024;

int s_testTimeoutMs = 0;
QStringList s_testOsReleasePaths;

} // namespace

void SystemInfo::overrideForTesting(int commandTimeoutMs, const QStringList& osReleasePaths)
{
    s_testTimeoutMs = commandTimeoutMs;
    s_testOsReleasePaths = osReleasePaths;
}

int SystemInfo::commandTimeoutMs()
{
    return s_testTimeoutMs > 0 ? s_testTimeoutMs : kDefaultTimeoutMs;
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
    QString kernel;
    runCommand(QStringLiteral("lsb_release"), {QStringLiteral("-sd")}, description);
    runCommand(QStringLiteral("uname"), {QStringLiteral("-r")}, kernel);
    out = systemVersionText(description, kernel);
    return !out.isEmpty();
}

QString SystemInfo::systemVersionText(const QString& description, const QString& kernel)
{
    // Many systems lack lsb_release; os-release names them all the same.
    const QString name = description.isEmpty() ? osReleaseName() : description;
    if (name.isEmpty())
        return QString();
    // Without the kernel release the distribution alone, not "name ()".
    return kernel.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, kernel);
}

QString SystemInfo::osReleaseName()
{
    const QStringList paths = !s_testOsReleasePaths.isEmpty()
                                  ? s_testOsReleasePaths
                                  : QStringList{QStringLiteral("/etc/os-release"), QStringLiteral("/usr/lib/os-release")};
    for (const QString& path : paths) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            return prettyNameFromOsRelease(file.read(kMaximumOsReleaseSize));
    }
    return QString();
}

QString SystemInfo::prettyNameFromOsRelease(const QByteArray& text)
{
    // Shell-style assignments: the value may be quoted, and inside double
    // quotes a backslash keeps the next character.
    for (const QByteArray& rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (!line.startsWith("PRETTY_NAME="))
            continue;
        const QByteArray value = line.mid(12);
        QByteArray name;
        if (value.startsWith('"') || value.startsWith('\'')) {
            const char quote = value.at(0);
            for (int i = 1; i < value.size() && value.at(i) != quote; ++i) {
                if (quote == '"' && value.at(i) == '\\' && i + 1 < value.size())
                    ++i;
                name.append(value.at(i));
            }
        } else {
            name = value;
        }
        return QString::fromUtf8(name).trimmed();
    }
    return QString();
}

quint64 SystemInfo::GetPhysicalMemory()
{
    struct sysinfo info {};
    if (sysinfo(&info) != 0)
        return 0;
    return quint64(info.totalram) * quint64(info.mem_unit ? info.mem_unit : 1);
}

int SystemInfo::processorCountFromText(const QString& text)
{
    bool ok = false;
    const int count = text.toInt(&ok, 10);
    return ok && count > 0 ? count : 1;
}

int SystemInfo::GetProcessorCount()
{
    QString text;
    if (!runCommand(QStringLiteral("nproc"), {}, text))
        return 1;
    return processorCountFromText(text);
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
