#pragma once

#include <QString>
#include <QStringList>

// Details of the computer for the status report, taken from standard
// commands. A command that cannot be started, fails or does not finish in
// time leaves its value empty. Each command gets up to 30 s to start and
// 30 s to finish. These calls wait for their command; the report itself
// gathers the same details without blocking (SystemInfoQuery).
class SystemInfo
{
public:
    static bool GetHostName(QString& out);
    static bool GetSystemVersionString(QString& out);
    static quint64 GetPhysicalMemory(); // bytes, 0 when unknown
    static int GetProcessorCount();     // 1 when unknown
    static bool GetHardwareModelString(QString& out);
    static void GetSystemVersion(int& major, int& minor, int& patch);

    // Runs program with arguments; its trimmed standard output on success.
    static bool runCommand(const QString& program, const QStringList& arguments, QString& out);
    static int commandTimeoutMs();

    // The operating system as the report shows it: the distribution's
    // description ("lsb_release -sd", else PRETTY_NAME of os-release) with
    // the kernel release in brackets when known. Empty when neither names
    // the distribution.
    static QString systemVersionText(const QString& description, const QString& kernel);
    // PRETTY_NAME of the first os-release file there is; empty when none.
    static QString osReleaseName();
    // PRETTY_NAME of os-release text, unquoted; empty when it has none.
    static QString prettyNameFromOsRelease(const QByteArray& text);
    // "nproc" output as a count, 1 when it is not a positive number.
    static int processorCountFromText(const QString& text);

    // For tests only: the command limit in milliseconds instead of 30000,
    // and the os-release files to read instead of the system's; 0 and an
    // empty list restore them.
    static void overrideForTesting(int commandTimeoutMs, const QStringList& osReleasePaths);
};
