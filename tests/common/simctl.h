// The card simulator's control tool, as the tests drive it: commands reach
// the simulator loaded in this process, and what a card holds is read back
// from the simulator itself, not through the page under test.
#pragma once

#include <QCoreApplication>
#include <QDebug>
#include <QProcess>
#include <QStringList>

namespace SimCtl {

// Runs `zeltra-simctl --pid <this process> ARGUMENTS`; true when it ended
// with status 0. Its standard output, trimmed, goes to `output`.
inline bool run(const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.start(QStringLiteral(ONDAVIA_BIN_DIR "/zeltra-simctl"),
                  QStringList{ QStringLiteral("--pid"), QString::number(QCoreApplication::applicationPid()) }
                      + arguments);
    const bool finished = process.waitForFinished(10000);
    const bool success = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!success)
        qWarning() << "zeltra-simctl" << arguments << (finished ? process.readAllStandardError() : "did not finish");
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return success;
}

// One configuration, status or attribute item of a card; empty on failure.
inline QString get(int card, const char* item)
{
    QString value;
    if (!run({ QStringLiteral("get"), QString::number(card), QString::fromLatin1(item) }, &value))
        return QString();
    return value;
}

} // namespace SimCtl
