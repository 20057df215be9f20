// One window per user, tried with real OndaviaSetup processes over the card
// simulator: a second start raises the first window and leaves, --new-window
// opens another, --open reaches the running window, a socket left by a
// killed program is taken over, SIGTERM and SIGINT close the window as its
// close button does, and the runtime folder falls back to a private
// temporary one but never to a folder other users can reach. Then the
// command line, read before a display is needed.

#include <QtTest>

#include "commandline.h"

#include <QLocalSocket>
#include <QTemporaryDir>

#include <csignal>
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
    void signalClosesTheWindow_data();
    void signalClosesTheWindow();
    void commandLine_data();
    void commandLine();

private:
    // Starts OndaviaSetup with the given runtime folder (none when empty).
    QProcess* start(const QString& runtime, const QStringList& arguments = {},
                    QProcess::ProcessChannelMode mode = QProcess::ForwardedErrorChannel);
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

QProcess* TestSingleInstance::start(const QString& runtime, const QStringList& arguments,
                                   QProcess::ProcessChannelMode mode)
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
    process->setProcessChannelMode(mode);
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

    // --open goes to the running window too; an index past the end is
    // refused there and said here.
    QProcess* open = start(runtime, {QStringLiteral("--open"), QStringLiteral("1")});
    QVERIFY(open->waitForFinished(20000));
    QCOMPARE(open->exitCode(), 0);
    QProcess* past = start(runtime, {QStringLiteral("--open=99")}, QProcess::SeparateChannels);
    QVERIFY(past->waitForFinished(20000));
    QCOMPARE(past->exitCode(), 1);
    const QString refusal = QString::fromUtf8(past->readAllStandardError());
    QVERIFY2(QRegularExpression(QStringLiteral("^OndaviaSetup: no device 99; 0\u2013\\d+ are shown\n$"))
                 .match(refusal)
                 .hasMatch(),
             qPrintable(refusal));
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
    const QDir simulator(runtime + QStringLiteral("/zeltra-simulator"));
    QProcess* first = start(runtime);
    QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(simulator.entryList(QDir::System).size(), 1, 20000);
    first->kill();
    QVERIFY(first->waitForFinished(5000));
    QVERIFY(QFileInfo::exists(socket));
    QVERIFY(!answers(socket));

    // The next start does not take the dead socket for a running window.
    QProcess* next = start(runtime);
    QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 20000);
    QCOMPARE(next->state(), QProcess::Running);

    // The killed program's simulator entry is left too; zeltra-simctl
    // answers as if it were not there (no "[pid]" line before the value).
    QTRY_COMPARE_WITH_TIMEOUT(simulator.entryList(QDir::System).size(), 2, 20000);
    QProcess simctl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    simctl.setProcessEnvironment(environment);
    simctl.start(QStringLiteral(ONDAVIA_BIN_DIR "/zeltra-simctl"), {"get", "1", "vicn"});
    QVERIFY(simctl.waitForFinished(20000));
    QCOMPARE(simctl.exitCode(), 0);
    const QByteArray value = simctl.readAllStandardOutput();
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\n$")).match(QString::fromUtf8(value)).hasMatch(),
             value.constData());
    QCOMPARE(simctl.readAllStandardError(), QByteArray());
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

void TestSingleInstance::signalClosesTheWindow_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestSingleInstance::signalClosesTheWindow()
{
    QFETCH(int, signal);
    const QString runtime = runtimeFolder(QStringLiteral("run-signal-%1").arg(signal));
    const QString socket = runtime + QStringLiteral("/ondavia-setup/window.sock");
    const QDir simulator(runtime + QStringLiteral("/zeltra-simulator"));
    QProcess* program = start(runtime);
    QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(simulator.entryList(QDir::System).size(), 1, 20000);
    QDir(m_root.filePath(QStringLiteral("config"))).removeRecursively();

    ::kill(pid_t(program->processId()), signal);
    QVERIFY(program->waitForFinished(20000));
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
    // What the close button leaves: no sockets, and the saved geometry.
    QVERIFY(!QFileInfo::exists(socket));
    QCOMPARE(simulator.entryList(QDir::System), QStringList());
    QDirIterator settings(m_root.filePath(QStringLiteral("config")), {QStringLiteral("*.conf")}, QDir::Files,
                          QDirIterator::Subdirectories);
    QVERIFY(settings.hasNext());
    QFile file(settings.next());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("geometry="));
}

// Every row runs where no display can be opened: the options are read
// before one is needed.
void TestSingleInstance::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output"); // the start of standard output
    QTest::addColumn<QByteArray>("error");  // all of standard error
    QTest::newRow("--help") << QStringList{"-n", "--help"} << 0 << QByteArray("Usage: OndaviaSetup [OPTION]...\n")
                            << QByteArray();
    QTest::newRow("--version") << QStringList{"--version"} << 0 << QByteArray("OndaviaSetup (Ondavia) ")
                               << QByteArray();
    QTest::newRow("unknown option")
        << QStringList{"--open", "1", "--new"} << 2 << QByteArray()
        << QByteArray("OndaviaSetup: unknown option \"--new\" (see OndaviaSetup --help)\n");
    QTest::newRow("extra argument") << QStringList{"1"} << 2 << QByteArray()
                                    << QByteArray("OndaviaSetup: unexpected argument \"1\" (see OndaviaSetup --help)\n");
    QTest::newRow("--open without index")
        << QStringList{"--open"} << 2 << QByteArray()
        << QByteArray("OndaviaSetup: --open needs a device index (see OndaviaSetup --help)\n");
    QTest::newRow("--open not a number")
        << QStringList{"-o", "-1"} << 2 << QByteArray()
        << QByteArray("OndaviaSetup: \"-1\" is not a device index (0 is the first)\n");
    QTest::newRow("no display") << QStringList{"--new-window"} << 1 << QByteArray()
                                << QByteArray("OndaviaSetup: cannot open display :4242\n");
}

void TestSingleInstance::commandLine()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath(QStringLiteral("config")));
    checkCommandLine(QStringLiteral(ONDAVIA_BIN_DIR "/OndaviaSetup"), environment);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
