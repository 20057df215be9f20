#pragma once

#include <QString>
#include <QStringList>

// Details of the computer for the status report, taken from standard
// commands. A command that cannot be started, fails or does not finish in
// time leaves its value empty.
//
// Each command gets up to 30 s to start and 30 s to finish. For tests the
// limit can be shortened with ONDAVIA_SYSINFO_TIMEOUT_MS (milliseconds).
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
};
