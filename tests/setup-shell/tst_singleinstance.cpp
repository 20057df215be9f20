// One window per user, tried with real OndaviaSetup processes over the card
// simulator: a second start raises the first window and leaves, --new-window
// opens another, a socket left by a killed program is taken over, and the
// runtime folder falls back to a private temporary one but never to a folder
// other users can reach.

#include <QtTest>

#include <QLocalSocket>
#include <QTemporaryDir>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void secondStartRaisesTheFirst();
    void staleSocketIsTakenOver();
    void runtimeFolderFallsBackToPrivateTemporaryFolder();

private:
    // Starts OndaviaSetup with the given runtime folder (none when empty).
    QProcess* start(const QString& runtime, const QStringList& arguments = {});
    static bool answers(const QString& socket);
    // A runtime folder as the session makes it, for this user only.
    QString runtimeFolder(const QString& name);

    QTemporaryDir m_root;
    QList<QProcess*> m_processes;
};

void TestSingleInstance::initTestCase()
{
    QVERIFY(m_root.isValid());
    QVERIFY(QFileInfo::exists(QStringLiteral(ONDAVIA_BIN_DIR "/OndaviaSetup")));
}

void TestSingleInstance::cleanup()
{
    for (QProcess* process : qAsConst(m_processes)) {
        process->kill();
        process->waitForFinished(5000);
        delete process;
    }
    m_processes.clear();
}

QProcess* TestSingleInstance::start(const QString& runtime, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("TMPDIR"), m_root.filePath(QStringLiteral("tmp")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("ZELTRA_SIMULATOR_CARDS"));
    if (runtime.isEmpty())
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    else
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    auto* process = new QProcess;
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QStringLiteral(ONDAVIA_BIN_DIR "/OndaviaSetup"), arguments);
    m_processes.append(process);
    return process;
}

QString TestSingleInstance::runtimeFolder(const QString& name)
{
    const QString folder = m_root.filePath(name);
    if (!QDir().mkpath(folder) || !QFile::setPermissions(folder, QFile::Permissions(0x7700)))
        qWarning() << "cannot make" << folder;
    return folder;
}

bool TestSingleInstance::answers(const QString& socket)
{
    QLocalSocket probe;
    probe.connectToServer(socket);
    return probe.waitForConnected(200);
}

void TestSingleInstance::secondStartRaisesTheFirst()
{
    const QString runtime = runtimeFolder(QStringLiteral("run1"));
    const QString socket = runtime + QStringLiteral("/ondavia-setup/window.sock");
    QProcess* first = start(runtime);
    QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 20000);

    // The second one hands over and leaves at once, successfully.
    QProcess* second = start(runtime);
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);

    // Asked for, another window stays.
    QProcess* another = start(runtime, { QStringLiteral("--new-window") });
    QVERIFY(another->waitForStarted(5000));
    QVERIFY(!another->waitForFinished(3000));
    QCOMPARE(first->state(), QProcess::Running);
}

void TestSingleInstance::staleSocketIsTakenOver()
{
    const QString runtime = runtimeFolder(QStringLiteral("run2"));
    const QString socket = runtime + QStringLiteral("/ondavia-setup/window.sock");
    QProcess* first = start(runtime);
    QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 20000);
    first->kill();
    QVERIFY(first->waitForFinished(5000));
    QVERIFY(QFileInfo::exists(socket));
    QVERIFY(!answers(socket));

    // The next start does not take the dead socket for a running window.
    QProcess* next = start(runtime);
    QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 20000);
    QCOMPARE(next->state(), QProcess::Running);
}

void TestSingleInstance::runtimeFolderFallsBackToPrivateTemporaryFolder()
{
    const QString temporary = m_root.filePath(QStringLiteral("tmp"));
    const QString folder = temporary + QStringLiteral("/ondavia-setup-%1").arg(getuid());
    QVERIFY(QDir().mkpath(temporary));

    // Without XDG_RUNTIME_DIR, the socket lives in a folder only this user enters.
    start(QString());
    QTRY_VERIFY_WITH_TIMEOUT(answers(folder + QStringLiteral("/window.sock")), 20000);
    struct stat info;
    QCOMPARE(lstat(QFile::encodeName(folder).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0700u);
    cleanup();

    // A folder that others may enter is never used: the program runs alone.
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7777)));
    QProcess* alone = start(QString());
    QVERIFY(alone->waitForStarted(5000));
    QVERIFY(!alone->waitForFinished(3000));
    QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/window.sock")));
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
