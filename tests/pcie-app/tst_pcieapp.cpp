// The front end's version check, update run, dialogs and signal handling,
// against the stand-in command-line updater.
#include "checkupdatedialog.h"
#include "checkversionpcitool.h"
#include "dialoganswerer.h"
#include "fakeupdaterfixture.h"
#include "main.h"
#include "messagedialog.h"
#include "signalnotifier.h"
#include "updatemanager.h"
#include "updateprogressdialog.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "commandline.h"
#include <cerrno>
#include <csignal>

namespace {

QString updaterBinary()
{
    return QStringLiteral(ONDAVIA_BIN_DIR "/MorvaneFirmwareUpdater");
}

QByteArray card(const char* path, const char* extra = "")
{
    return QByteArray("{\"path\": \"") + path +
           "\", \"name\": \"Ondavia Test Card\", \"code\": \"0a\", \"needsUpdate\": true, \"paceMs\": 5" + extra +
           "}";
}

Device deviceAt(const char* path)
{
    Device d;
    d.path = path;
    d.name = "Ondavia Test Card";
    d.needsUpdate = true;
    d.deviceCode = 10;
    return d;
}

} // namespace

class TestPcieApp : public QObject
{
    Q_OBJECT
private slots:
    void statusAnswer_data();
    void statusAnswer();
    void updaterPathFromEnvironment();
    void checkDeviceThroughUpdater_data();
    void checkDeviceThroughUpdater();
    void progressLines_data();
    void progressLines();
    void updateRun_data();
    void updateRun();
    void declining_data();
    void declining();
    void progressDialogRefusesEarlyClose();
    void questionKeys();
    void queueKeepsOneEntryPerDevice();
    void queueRechecksBeforeOffering();
    void signalNotifierRaises();
    void onePassWithoutCardsSaysUpToDate();
    void programExitCodes_data();
    void programExitCodes();
    void standInUpdater_data();
    void standInUpdater();
    void renderDialogs();
    void commandLine_data();
    void commandLine();
};

void TestPcieApp::statusAnswer_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");

    QTest::newRow("needs update") << QByteArray("1:0:/dev/morvane/dv0:0a:Card") << true << true
                                  << "/dev/morvane/dv0" << 10 << "Card";
    QTest::newRow("suppressed") << QByteArray("1:1:/dev/morvane/dv0:0a:Card") << true << false
                                << "/dev/morvane/dv0" << 10 << "Card";
    QTest::newRow("line ending") << QByteArray("0:0:/dev/morvane/dv3:ff:Quad Card\n") << true << false
                                 << "/dev/morvane/dv3" << 255 << "Quad Card";
    QTest::newRow("first character only") << QByteArray("10:01:p:7f3:N") << true << true << "p" << 0x7f << "N";
    QTest::newRow("four fields") << QByteArray("1:0:/dev/morvane/dv0:0a") << false << false << "" << 0 << "";
    QTest::newRow("six fields") << QByteArray("1:0:/dev/morvane/dv0:0a:Card:x") << false << false << "" << 0 << "";
    QTest::newRow("empty") << QByteArray() << false << false << "" << 0 << "";
    QTest::newRow("bad code") << QByteArray("1:0:p:zz:N") << true << true << "p" << 0 << "N";
}

void TestPcieApp::statusAnswer()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, accepted);
    Device device;
    QCOMPARE(CheckVersionPCITool::parseStatus(answer, device), accepted);
    QTEST(device.offered(), "offered");
    QTEST(device.path, "path");
    QTEST(int(device.deviceCode), "code");
    QTEST(device.name, "name");
}

void TestPcieApp::updaterPathFromEnvironment()
{
    const QByteArray saved = qgetenv("MORVANE_FIRMWARE_UPDATER_PATH");
    qputenv("MORVANE_FIRMWARE_UPDATER_PATH", "");
    QCOMPARE(UpdateManager::GetUpdaterPath(), QString("/usr/bin/MorvaneFirmwareUpdater"));
    qunsetenv("MORVANE_FIRMWARE_UPDATER_PATH");
    QCOMPARE(UpdateManager::GetUpdaterPath(), QString("/usr/bin/MorvaneFirmwareUpdater"));
    qputenv("MORVANE_FIRMWARE_UPDATER_PATH", "/opt/x/updater");
    QCOMPARE(UpdateManager::GetUpdaterPath(), QString("/opt/x/updater"));
    qputenv("MORVANE_FIRMWARE_UPDATER_PATH", saved);
}

void TestPcieApp::checkDeviceThroughUpdater_data()
{
    QTest::addColumn<QString>("updater");
    QTest::addColumn<QByteArray>("misbehave");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("reason");
    QTest::newRow("answers") << updaterBinary() << QByteArray() << true << int(StatusCheck::Answered) << QString();
    QTest::newRow("exits non-zero") << updaterBinary() << QByteArray("exit-nonzero") << false
                                    << int(StatusCheck::Failed) << "failed (exit status 4)";
    QTest::newRow("garbage") << updaterBinary() << QByteArray("garbage") << false << int(StatusCheck::Unreadable)
                             << "gave an answer that cannot be read";
    QTest::newRow("missing updater") << QString("/nonexistent/MorvaneFirmwareUpdater") << QByteArray() << false
                                     << int(StatusCheck::Missing)
                                     << "The updater /nonexistent/MorvaneFirmwareUpdater is not installed.";
    QTest::newRow("not a program") << QString("/dev/null") << QByteArray() << false << int(StatusCheck::Missing)
                                   << "is not a program that can be run";
    QTest::newRow("hangs") << updaterBinary() << QByteArray("hang") << false << int(StatusCheck::Failed)
                           << "gave no answer within 0.4 seconds";
}

void TestPcieApp::checkDeviceThroughUpdater()
{
    QFETCH(QString, updater);
    QFETCH(QByteArray, misbehave);
    QFETCH(bool, accepted);
    FakeUpdaterFixture fixture("[" + card("/dev/morvane/dv0", (", \"statusMisbehave\": \"" + misbehave + "\"").constData()) + "]");
    // A hung command is killed at the limit (shortened here from 30 s).
    qputenv("ONDAVIA_PCIE_COMMAND_TIMEOUT_MS", "400");
    CheckVersionPCITool tool(updater);
    qunsetenv("ONDAVIA_PCIE_COMMAND_TIMEOUT_MS");
    Device device;
    device.name = "unchanged";
    QElapsedTimer clock;
    clock.start();
    const StatusCheck check = tool.checkDevice("/dev/morvane/dv0", device);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QTEST(int(check.outcome), "outcome");
    QFETCH(QString, reason);
    QVERIFY2(check.reason.contains(reason) && check.reason.isEmpty() == reason.isEmpty(), qPrintable(check.reason));
    QCOMPARE(device.name == "Ondavia Test Card", accepted);
    if (misbehave == "hang") {
        QVERIFY(clock.elapsed() >= 400);
        QFile pidFile(fixture.dir() + "/commands.log.hung");
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const pid_t pid = pid_t(pidFile.readAll().trimmed().toInt());
        QVERIFY(pid > 0);
        QVERIFY2(::kill(pid, 0) != 0 && errno == ESRCH, "the hung updater is still running");
    }
    QCOMPARE(device.offered(), accepted);
    if (!accepted)
        QCOMPARE(device.name, QString("unchanged"));
}

void TestPcieApp::progressLines_data()
{
    QTest::addColumn<QString>("updater");
    QTest::addColumn<QByteArray>("extra");
    QTest::addColumn<QList<double>>("progress");
    QTest::addColumn<int>("outcome");

    QTest::newRow("restart") << updaterBinary() << QByteArray(", \"progress\": [12.5, 50, 100], \"outcome\": \"boot\"")
                             << QList<double>{12.5, 50, 100} << int(Outcome::kRestart);
    QTest::newRow("line split across reads")
        << updaterBinary() << QByteArray(", \"progress\": [0, 100], \"outcome\": \"shut\", \"updateMisbehave\": \"split-line\"")
        << QList<double>{37.5, 100} << int(Outcome::kShutdown);
    QTest::newRow("line longer than the buffer")
        << updaterBinary() << QByteArray(", \"progress\": [50, 100], \"outcome\": \"unTB\", \"updateMisbehave\": \"long-line\"")
        << QList<double>{50, 100} << int(Outcome::kUnplugThunderbolt);
    QTest::newRow("percentages no bar can show")
        << updaterBinary() << QByteArray(", \"progress\": [50], \"outcome\": \"boot\", \"updateMisbehave\": \"odd-values\"")
        << QList<double>{100, 0, 100, 50} << int(Outcome::kRestart);
    QTest::newRow("no output") << updaterBinary() << QByteArray(", \"updateMisbehave\": \"silent\"") << QList<double>{}
                               << int(Outcome::kFail);
    QTest::newRow("progress without outcome")
        << updaterBinary() << QByteArray(", \"progress\": [10, 20], \"updateMisbehave\": \"no-outcome\"")
        << QList<double>{10, 20} << int(Outcome::kFail);
    QTest::newRow("exits non-zero") << updaterBinary() << QByteArray(", \"updateMisbehave\": \"exit-nonzero\"")
                                    << QList<double>{} << int(Outcome::kFail);
    QTest::newRow("garbage") << updaterBinary() << QByteArray(", \"updateMisbehave\": \"garbage\"") << QList<double>{}
                             << int(Outcome::kFail);
    QTest::newRow("updater cannot start") << QString("/nonexistent/MorvaneFirmwareUpdater") << QByteArray()
                                          << QList<double>{} << int(Outcome::kFail);
}

void TestPcieApp::progressLines()
{
    QFETCH(QString, updater);
    QFETCH(QByteArray, extra);
    QFETCH(QList<double>, progress);
    QFETCH(int, outcome);
    FakeUpdaterFixture fixture("[" + card("/dev/morvane/dv0", extra.constData()) + "]");
    CheckVersionPCITool tool(updater);
    QSignalSpy progressSpy(&tool, &CheckVersionPCITool::updateProgress);
    QSignalSpy completeSpy(&tool, &CheckVersionPCITool::updateComplete);
    tool.updateFirmware(deviceAt("/dev/morvane/dv0"));
    QVERIFY(completeSpy.wait(10000));
    QCOMPARE(completeSpy.count(), 1);
    QCOMPARE(completeSpy.at(0).at(0).value<UpdateOutcome>(), outcome);
    QList<double> seen;
    for (const QList<QVariant>& args : qAsConst(progressSpy))
        seen << args.at(0).toDouble();
    QCOMPARE(seen, progress);
    // The process object is released after its signal; a new run may start.
    QTRY_VERIFY(tool.findChildren<QProcess*>().isEmpty());
}

void TestPcieApp::updateRun_data()
{
    QTest::addColumn<QByteArray>("outcome");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("result");
    QTest::newRow("boot") << QByteArray("\"boot\"") << "Restart is Required!" << true;
    QTest::newRow("shut") << QByteArray("\"shut\"") << "Shut Down is Required!" << true;
    QTest::newRow("shuP") << QByteArray("\"shuP\"") << "unplug power cables from your device" << true;
    QTest::newRow("unTB") << QByteArray("\"unTB\"") << "Please unplug Thunderbolt cables" << true;
    QTest::newRow("unTP") << QByteArray("\"unTP\"") << "unplug both power and Thunderbolt" << true;
    QTest::newRow("fail") << QByteArray("\"fail\"") << "could not be upgraded" << false;
    QTest::newRow("nothing to do") << QByteArray("0") << "" << true;
}

void TestPcieApp::updateRun()
{
    QFETCH(QByteArray, outcome);
    QFETCH(QString, message);
    QFETCH(bool, result);
    FakeUpdaterFixture fixture(
        "[" + card("/dev/morvane/dv0", (", \"progress\": [40, 100], \"paceMs\": 150, \"outcome\": " + outcome).constData()) + "]");
    UpdateManager manager;
    QString shownMessage;
    int barAtMessage = -1;
    DialogAnswerer answerer([&](QDialog* dialog) {
        if (auto* question = qobject_cast<CheckUpdateDialog*>(dialog)) {
            question->updateButton()->click();
            return true;
        }
        if (auto* box = qobject_cast<MessageDialog*>(dialog)) {
            shownMessage = box->text();
            box->okButton()->click();
            return true;
        }
        if (auto* progress = qobject_cast<UpdateProgressDialog*>(dialog))
            barAtMessage = progress->progressValue();
        return false; // the progress dialog closes itself
    });
    QCOMPARE(manager.update(deviceAt("/dev/morvane/dv0")), result);
    QCOMPARE(answerer.seen.first(), QString("CheckUpdateDialog"));
    QVERIFY(answerer.seen.contains("UpdateProgressDialog"));
    if (message.isEmpty()) {
        QVERIFY(!answerer.seen.contains("MessageDialog"));
    } else {
        QVERIFY2(shownMessage.contains(message), qPrintable(shownMessage));
        QVERIFY2(shownMessage.contains("your Ondavia Test Card"), qPrintable(shownMessage));
    }
    QVERIFY(barAtMessage >= 0);
    QCOMPARE(fixture.commands(), QStringList{"-gui update /dev/morvane/dv0"});
}

void TestPcieApp::declining_data()
{
    QTest::addColumn<bool>("control");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("plain") << false << QStringList{"-gui update-cancelled /dev/morvane/dv0"};
    QTest::newRow("with Control") << true
                                  << QStringList{"-gui ignore-version /dev/morvane/dv0",
                                                 "-gui update-cancelled /dev/morvane/dv0"};
}

void TestPcieApp::declining()
{
    QFETCH(bool, control);
    FakeUpdaterFixture fixture("[" + card("/dev/morvane/dv0") + "]");
    UpdateManager manager;
    DialogAnswerer answerer([&](QDialog* dialog) {
        if (auto* question = qobject_cast<CheckUpdateDialog*>(dialog)) {
            QTest::mouseClick(question->dontUpdateButton(), Qt::LeftButton,
                              control ? Qt::ControlModifier : Qt::NoModifier);
            return true;
        }
        if (auto* box = qobject_cast<MessageDialog*>(dialog))
            box->okButton()->click();
        return true;
    });
    QVERIFY(!manager.update(deviceAt("/dev/morvane/dv0")));
    QCOMPARE(answerer.seen, QStringList{"CheckUpdateDialog"});
    QTEST(fixture.commands(), "commands");
    if (control) {
        // The updater now reports the version check as switched off.
        Device device;
        manager.tool()->checkDevice("/dev/morvane/dv0", device);
        QVERIFY(device.needsUpdate && device.suppressed && !device.offered());
    }
}

// Return is Update Now, the default; Escape is Don't Update.
void TestPcieApp::questionKeys()
{
    for (const auto& [key, result] : { std::pair{ Qt::Key_Return, 1 }, std::pair{ Qt::Key_Escape, 0 } }) {
        CheckUpdateDialog question(deviceAt("/dev/morvane/dv0"));
        DialogAnswerer press([key = key](QDialog* d) {
            QTest::keyClick(d, key);
            return true;
        });
        QCOMPARE(question.exec(), result);
    }
}

void TestPcieApp::progressDialogRefusesEarlyClose()
{
    UpdateProgressDialog dialog(deviceAt("/dev/morvane/dv0"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.close());
    QVERIFY(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    dialog.updateProgress(99.9);
    QCOMPARE(dialog.progressValue(), 99);
    dialog.updateProgress(25.7);
    QCOMPARE(dialog.progressValue(), 25);
    // Values the updater should never print leave the bar within its range.
    dialog.updateProgress(qQNaN());
    QCOMPARE(dialog.progressValue(), 25);
    dialog.updateProgress(-qInf());
    QCOMPARE(dialog.progressValue(), 25);
    dialog.updateProgress(1e300);
    QCOMPARE(dialog.progressValue(), 100);
    dialog.updateProgress(-3);
    QCOMPARE(dialog.progressValue(), 0);
    dialog.updateComplete();
    QCOMPARE(dialog.result(), 1);
    QVERIFY(!dialog.isVisible());
    QVERIFY(dialog.close());
}

void TestPcieApp::queueKeepsOneEntryPerDevice()
{
    FakeUpdaterFixture fixture("[]");
    UpdateManager manager;
    QSignalSpy runs(&manager, &UpdateManager::runUpdate);
    Device a = deviceAt("/dev/morvane/dv0");
    QVERIFY(manager.enqueue(a));
    QVERIFY(!manager.enqueue(a));
    Device otherCode = a;
    otherCode.deviceCode = 11;
    QVERIFY(manager.enqueue(otherCode));
    QVERIFY(manager.enqueue(deviceAt("/dev/morvane/dv1")));
    QCOMPARE(manager.queuedCount(), 3);
    QCOMPARE(runs.count(), 3);
}

void TestPcieApp::queueRechecksBeforeOffering()
{
    // dv1 was asked about on its arrival and is offered at once; dv0 waited
    // behind dv1's question and no longer needs an update by its turn: it
    // is asked again and not offered.
    FakeUpdaterFixture fixture("[{\"path\": \"/dev/morvane/dv0\", \"name\": \"A\", \"needsUpdate\": false}, " +
                               card("/dev/morvane/dv1") + "]");
    UpdateManager manager;
    DialogAnswerer answerer([&](QDialog* dialog) {
        if (auto* question = qobject_cast<CheckUpdateDialog*>(dialog))
            question->dontUpdateButton()->click();
        return true;
    });
    manager.enqueue(deviceAt("/dev/morvane/dv1"));
    manager.enqueue(deviceAt("/dev/morvane/dv0"));
    QTRY_COMPARE(manager.queuedCount(), 0);
    QTRY_COMPARE(fixture.commands().size(), 2);
    QTest::qWait(50);
    QCOMPARE(fixture.commands(),
             (QStringList{"-gui update-cancelled /dev/morvane/dv1", "-gui status /dev/morvane/dv0"}));
    QCOMPARE(answerer.seen, QStringList{"CheckUpdateDialog"});
}

void TestPcieApp::signalNotifierRaises()
{
    QObject owner;
    SignalNotifier hup(SIGHUP, &owner);
    SignalNotifier usr(SIGUSR1, &owner);
    QSignalSpy hupSpy(&hup, &SignalNotifier::raised);
    QSignalSpy usrSpy(&usr, &SignalNotifier::raised);
    ::raise(SIGHUP);
    QVERIFY(hupSpy.wait(2000));
    QCOMPARE(usrSpy.count(), 0);
    {
        SignalNotifier gone(SIGUSR2, &owner);
    }
    ::raise(SIGUSR2); // a destroyed notifier's signal reaches nobody
    ::raise(SIGUSR1);
    QVERIFY(usrSpy.wait(2000));
    QCOMPARE(hupSpy.count(), 1);
}

void TestPcieApp::onePassWithoutCardsSaysUpToDate()
{
    // No card, so nothing to ask the (missing) updater about.
    FakeUpdaterFixture fixture("[]");
    qputenv("MORVANE_FIRMWARE_UPDATER_PATH", "/nonexistent/MorvaneFirmwareUpdater");
    QString shown;
    DialogAnswerer answerer([&](QDialog* dialog) {
        if (auto* box = qobject_cast<MessageDialog*>(dialog)) {
            shown = box->text();
            box->okButton()->click();
        }
        return true;
    });
    Main program(qApp);
    program.parseArguments();
    QCOMPARE(program.run(), 0);
    QVERIFY(shown.startsWith("<b>All firmware is up to date!</b>"));
    QCOMPARE(fixture.commands(), QStringList{});
}

void TestPcieApp::programExitCodes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("signal");
    QTest::newRow("quiet pass") << QStringList{"-q"} << 0;
    QTest::newRow("long quiet pass") << QStringList{"--quiet"} << 0;
    QTest::newRow("daemon SIGTERM") << QStringList{"-d"} << int(SIGTERM);
    QTest::newRow("daemon SIGINT") << QStringList{"--daemon"} << int(SIGINT);
    QTest::newRow("daemon SIGHUP") << QStringList{"-d"} << int(SIGHUP);
}

void TestPcieApp::programExitCodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, signal);
    FakeUpdaterFixture fixture("[]");
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(ONDAVIA_BIN_DIR "/MorvaneFirmwareUpdaterGui", arguments);
    QVERIFY(program.waitForStarted());
    if (signal) {
        QVERIFY(!program.waitForFinished(1500)); // a daemon keeps running
        ::kill(program.processId(), signal);
    }
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void TestPcieApp::standInUpdater_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output");
    QTest::newRow("status") << QStringList{"-gui", "status", "/dev/morvane/dv0"} << 0
                            << QByteArray("1:0:/dev/morvane/dv0:0a:Ondavia Test Card");
    QTest::newRow("all") << QStringList{"-gui", "status"} << 0
                         << QByteArray("1:0:/dev/morvane/dv0:0a:Ondavia Test Card\n");
    QTest::newRow("unknown path") << QStringList{"-gui", "status", "/dev/morvane/dv9"} << 1 << QByteArray();
    QTest::newRow("no -gui") << QStringList{"status"} << 2 << QByteArray();
    QTest::newRow("update without path") << QStringList{"-gui", "update"} << 2 << QByteArray();
    QTest::newRow("unknown command") << QStringList{"-gui", "erase", "/dev/morvane/dv0"} << 2 << QByteArray();
}

void TestPcieApp::standInUpdater()
{
    // The stand-in is what every other test here relies on: check its answers.
    QFETCH(QStringList, arguments);
    FakeUpdaterFixture fixture("[" + card("/dev/morvane/dv0") + "]");
    QProcess updater;
    updater.start(updaterBinary(), arguments);
    QVERIFY(updater.waitForFinished(5000));
    QTEST(updater.exitCode(), "exitCode");
    QTEST(updater.readAllStandardOutput(), "output");
    QCOMPARE(fixture.commands(), QStringList{arguments.join(' ')});
}

void TestPcieApp::renderDialogs()
{
    // Pictures of the dialogs for people to look at; nothing is compared.
    const QString dir = QStringLiteral(ONDAVIA_TEST_OUTPUT_DIR);
    QDir().mkpath(dir);
    CheckUpdateDialog question(deviceAt("/dev/morvane/dv0"));
    question.show();
    QVERIFY(QTest::qWaitForWindowExposed(&question));
    QVERIFY(question.grab().save(dir + "/pcie-check-update.png"));
    UpdateProgressDialog progress(deviceAt("/dev/morvane/dv0"));
    progress.show();
    progress.updateProgress(42.5);
    QVERIFY(QTest::qWaitForWindowExposed(&progress));
    QVERIFY(progress.grab().save(dir + "/pcie-progress.png"));
    MessageDialog message("<b>Restart is Required!</b><br/><br/>The software on your device was updated successfully. "
                          "Please restart your computer to complete the software update.");
    message.show();
    QVERIFY(QTest::qWaitForWindowExposed(&message));
    QVERIFY(message.grab().save(dir + "/pcie-message.png"));
    MessageDialog upToDate("<b>All firmware is up to date!</b><br/><br/>The software on your devices is up to date.",
                           nullptr, ":/chip80-ok.png");
    upToDate.show();
    QVERIFY(QTest::qWaitForWindowExposed(&upToDate));
    QVERIFY(upToDate.grab().save(dir + "/pcie-up-to-date.png"));
    MessageDialog unchecked("<b>The firmware could not be checked.</b><br/><br/>The updater "
                            "/usr/bin/MorvaneFirmwareUpdater is not installed. Not checked: /dev/morvane/dv0, "
                            "/dev/morvane/dv1.");
    unchecked.show();
    QVERIFY(QTest::qWaitForWindowExposed(&unchecked));
    QVERIFY(unchecked.grab().save(dir + "/pcie-unchecked.png"));
    progress.updateComplete();
}

// Options are read before a display is needed: every row runs where no
// display can be opened.
void TestPcieApp::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output"); // the start of standard output
    QTest::addColumn<QByteArray>("error");  // all of standard error
    QTest::newRow("--help") << QStringList{"-q", "--help"} << 0
                            << QByteArray("Usage: MorvaneFirmwareUpdaterGui [OPTION]...\n") << QByteArray();
    QTest::newRow("--version") << QStringList{"--version"} << 0
                               << QByteArray("MorvaneFirmwareUpdaterGui (Ondavia) ") << QByteArray();
    QTest::newRow("unknown option") << QStringList{"-q", "--quite"} << 2 << QByteArray()
                                    << QByteArray("MorvaneFirmwareUpdaterGui: unknown option \"--quite\" (see "
                                                  "MorvaneFirmwareUpdaterGui --help)\n");
    QTest::newRow("extra argument") << QStringList{"daemon"} << 2 << QByteArray()
                                    << QByteArray("MorvaneFirmwareUpdaterGui: unexpected argument \"daemon\" (see "
                                                  "MorvaneFirmwareUpdaterGui --help)\n");
    QTest::newRow("no display") << QStringList{"-q"} << 1 << QByteArray()
                                << QByteArray("MorvaneFirmwareUpdaterGui: cannot open display :4242\n");
}

void TestPcieApp::commandLine()
{
    checkCommandLine(QStringLiteral(ONDAVIA_BIN_DIR "/MorvaneFirmwareUpdaterGui"));
}

QTEST_MAIN(TestPcieApp)
#include "tst_pcieapp.moc"
