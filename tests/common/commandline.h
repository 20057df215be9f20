// The command-line table of a program: run with the row's "arguments" where
// no display can be opened, its exit code, the start of its standard output
// and the whole of its standard error are checked against the row's
// "exitCode", "output" and "error".
#pragma once

#include <QProcess>
#include <QtTest>

inline void checkCommandLine(const QString& program, QProcessEnvironment environment = QProcessEnvironment::systemEnvironment())
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, error);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":4242"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    QVERIFY(process.readAllStandardOutput().startsWith(output));
    QCOMPARE(process.readAllStandardError(), error);
}
