#include "systeminfo.h"
#include "systeminfoquery.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Each case puts stand-ins for the commands in a folder and PATH at it alone.
class TestAboutSystemInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void commands_data();
    void commands();

private:
    void writeCommand(const QString& name, const QByteArray& body);
    QTemporaryDir m_dir;
    QByteArray m_path;
};

void TestAboutSystemInfo::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_path = qgetenv("PATH");
    // A user's environment does not shorten the limit; only the test seam does.
    qputenv("ONDAVIA_SYSINFO_TIMEOUT_MS", "1");
    QCOMPARE(SystemInfo::commandTimeoutMs(), 30000);
    SystemInfo::overrideForTesting(1000, {m_dir.filePath(QStringLiteral("os-release"))});
}

void TestAboutSystemInfo::cleanup()
{
    qputenv("PATH", m_path);
    for (const char* name : {"hostname", "lsb_release", "uname", "nproc", "os-release"})
        QFile::remove(m_dir.filePath(name));
}

void TestAboutSystemInfo::writeCommand(const QString& name, const QByteArray& body)
{
    QFile f(m_dir.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n" + body + "\n");
    f.close();
    QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestAboutSystemInfo::commands_data()
{
    QTest::addColumn<QByteArray>("body");   // the same script for every command
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("system");
    QTest::addColumn<int>("processors");
    QTest::addColumn<QByteArray>("osRelease"); // no file when empty

    QTest::newRow("answering") << QByteArray("case \"$0\" in *hostname) echo ' studio-7 ';; "
                                             "*lsb_release) echo 'Fictional OS 3';; *uname) echo 9.1.0;; "
                                             "*nproc) echo 12;; esac")
                               << "studio-7" << "Fictional OS 3 (9.1.0)" << 12
                               << QByteArray("PRETTY_NAME=\"Not read\"");
    QTest::newRow("failing") << QByteArray("echo partial; exit 1") << "" << "" << 1 << QByteArray();
    QTest::newRow("garbage count") << QByteArray("echo 'x2'") << "x2" << "x2 (x2)" << 1 << QByteArray();
    QTest::newRow("never exits") << QByteArray("exec /bin/sleep 30") << "" << "" << 1 << QByteArray();
    QTest::newRow("missing") << QByteArray() << "" << "" << 1 << QByteArray();
    // Without lsb_release the distribution comes from os-release.
    QTest::newRow("no lsb_release") << QByteArray("case \"$0\" in *uname) echo 9.1.0;; *lsb_release) exit 127;; esac")
                                    << "" << "Fictional OS 3 \"Quartz\" (9.1.0)" << 1
                                    << QByteArray("NAME=Fictional\n  PRETTY_NAME=\"Fictional OS 3 \\\"Quartz\\\"\"\nID=fict\n");
    QTest::newRow("os-release alone") << QByteArray() << "" << "Fictional OS 3" << 1
                                      << QByteArray("PRETTY_NAME='Fictional OS 3'");
    QTest::newRow("os-release without a name") << QByteArray() << "" << "" << 1 << QByteArray("NAME=Fictional\n");
}

void TestAboutSystemInfo::commands()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, host);
    QFETCH(QString, system);
    QFETCH(int, processors);

    QFETCH(QByteArray, osRelease);
    if (!body.isEmpty()) {
        for (const char* name : {"hostname", "lsb_release", "uname", "nproc"})
            writeCommand(name, body);
    }
    if (!osRelease.isEmpty())
        writeCommand(QStringLiteral("os-release"), osRelease);
    // PATH holds nothing but the stand-ins (they call /bin by absolute path),
    // so "missing" finds no command at all.
    qputenv("PATH", QFile::encodeName(m_dir.path()));

    QElapsedTimer timer;
    timer.start();
    QString value = QStringLiteral("stale");
    SystemInfo::GetHostName(value);
    QCOMPARE(value, host);
    value = QStringLiteral("stale");
    SystemInfo::GetSystemVersionString(value);
    QCOMPARE(value, system);
    QCOMPARE(SystemInfo::GetProcessorCount(), processors);
    // Four commands at most, each abandoned after the shortened limit.
    QVERIFY2(timer.elapsed() < 4 * 2000, qPrintable(QString::number(timer.elapsed())));

    QString model = QStringLiteral("stale");
    QVERIFY(!SystemInfo::GetHardwareModelString(model));
    QVERIFY(model.isEmpty());
    QVERIFY(SystemInfo::GetPhysicalMemory() > 0);

    // The same details gathered in the background, with the commands side
    // by side: a hung one costs one limit, not four.
    SystemInfoQuery query;
    QSignalSpy finished(&query, &SystemInfoQuery::finished);
    timer.restart();
    query.start();
    QVERIFY(finished.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    QVERIFY2(timer.elapsed() < 2000 + 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(query.details().hostName, host);
    QCOMPARE(query.details().systemVersion, system);
    QCOMPARE(query.details().processorCount, processors);
    QVERIFY(query.details().physicalMemory > 0);
}

QTEST_GUILESS_MAIN(TestAboutSystemInfo)
#include "tst_aboutsysteminfo.moc"
