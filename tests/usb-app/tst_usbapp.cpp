// The controller's sequencing, the task queue, the dialogs and the view,
// over made-up devices (no USB).
#include "dialoganswerer.h"
#include "fakedevice.h"
#include "firmwareupdatecontroller.h"
#include "firmwareupdatedialog.h"
#include "firmwareupdateprogressdialog.h"
#include "guiviewcontroller.h"
#include "signalrelay.h"
#include "updatemessagetype.h"
#include "updateview.h"

#include <QtTest>

#include "commandline.h"

#include <csignal>
#include <signal.h>
#include <mutex>
#include <thread>

namespace {

constexpr uint16_t kModel = 0x7EAA;        // finishes without a restart
constexpr uint16_t kOtherProduct = 0x1234; // needs a restart

// Records every view call with the state the device had at that moment.
class RecordingView : public UpdateView
{
public:
    void update(std::shared_ptr<Device> device) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.emplace_back(device, device->state());
        m_progress.push_back(device->progress());
    }
    std::vector<std::pair<std::shared_ptr<Device>, uint32_t>> calls()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }
    std::vector<double> progress()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_progress;
    }
    bool saw(const std::shared_ptr<Device>& device, uint32_t state)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& c : m_calls)
            if (c.first == device && c.second == state)
                return true;
        return false;
    }
    std::vector<uint32_t> states(const std::shared_ptr<Device>& device)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<uint32_t> out;
        for (const auto& c : m_calls)
            if (c.first == device)
                out.push_back(c.second);
        return out;
    }

private:
    std::mutex m_mutex;
    std::vector<std::pair<std::shared_ptr<Device>, uint32_t>> m_calls;
    std::vector<double> m_progress;
};

struct Rig
{
    FirmwareUpdateController controller{false};
    RecordingView* view = nullptr;
    int shutdowns = 0;

    Rig()
    {
        auto v = std::make_unique<RecordingView>();
        view = v.get();
        controller.init(std::move(v));
        controller.setShutdownHandler([this] { ++shutdowns; });
    }
};

std::shared_ptr<Device> unit(const char* id, bool outdated = true, uint16_t product = kModel,
                             Task::Result outcome = Task::Succeeded)
{
    return std::make_shared<FakeDevice>(id, product, outdated, outcome);
}

} // namespace

class TestUsbApp : public QObject
{
    Q_OBJECT

private slots:
    void taskQueueFraction_data();
    void taskQueueFraction();
    void taskQueueStopsAtFailure();

    void offersOneUnitAtATime();
    void sameUnitNotListedTwice();
    void upToDateUnitDropped();
    void removedUnitNotOffered();
    void acceptedUpdateReportsProgressAndOutcome();
    void failedUpdateGoesOnWithNextUnit();
    void queueWithoutTaskFails();
    void restartRound();
    void interruptOnlyWhenIdle();
    void interruptWaitsForTheUnitInHand_data();
    void interruptWaitsForTheUnitInHand();
    void completionMessages();

    void dialogMessages_data();
    void dialogMessages();
    void dialogCancelButton();
    void dialogKeys_data();
    void dialogKeys();
    void progressWindow();
    void iconFollowsPixelRatio();
    void pictures();
    void viewRunsTheRoundWithSignals();

    void programEndsOnSignalWhenIdle_data();
    void programEndsOnSignalWhenIdle();
    void programWithoutBus();
    void commandLine_data();
    void commandLine();
};

// ---- task queue ------------------------------------------------------------

void TestUsbApp::taskQueueFraction_data()
{
    QTest::addColumn<int>("tasks");
    QTest::addColumn<QList<double>>("fractions");
    QTest::addColumn<QList<double>>("expected");
    QTest::newRow("one task: f as f") << 1 << QList<double>{0.0, 0.257, 0.75} << QList<double>{0.0, 0.257, 0.75, 1.0};
    QTest::newRow("two tasks: halves") << 2 << QList<double>{0.5}
                                       << QList<double>{0.25, 0.5, 0.75, 1.0};
}

void TestUsbApp::taskQueueFraction()
{
    QFETCH(int, tasks);
    QFETCH(QList<double>, fractions);
    QFETCH(QList<double>, expected);
    std::mutex mutex;
    QList<double> seen;
    auto device = unit("q");
    {
        TaskQueue queue(device, [&](const std::shared_ptr<Device>& d, Task::Result, double f) {
            QCOMPARE(d, device);
            std::lock_guard<std::mutex> lock(mutex);
            seen << f;
        });
        for (int i = 0; i < tasks; ++i)
            queue.add(std::make_shared<FakeTask>(std::vector<double>(fractions.begin(), fractions.end()), Task::Succeeded));
        QCOMPARE(queue.size(), size_t(tasks));
        queue.run();
        queue.wait();
        QCOMPARE(queue.result(), Task::Succeeded);
    }
    QCOMPARE(seen.size(), expected.size());
    for (int i = 0; i < seen.size(); ++i)
        QVERIFY2(qAbs(seen[i] - expected[i]) < 1e-12, qPrintable(QString("report %1: %2").arg(i).arg(seen[i])));
}

void TestUsbApp::taskQueueStopsAtFailure()
{
    auto second = std::make_shared<FakeTask>(std::vector<double>{}, Task::Succeeded);
    TaskQueue queue(unit("q"), {});
    queue.add(std::make_shared<FakeTask>(std::vector<double>{}, Task::Failed));
    queue.add(second);
    queue.run();
    queue.wait();
    QCOMPARE(queue.result(), Task::Failed);
    QCOMPARE(second->result(), Task::NotFinished); // never run
}

// ---- sequencing --------------------------------------------------------------

void TestUsbApp::offersOneUnitAtATime()
{
    Rig rig;
    auto a = unit("a");
    auto b = unit("b");
    rig.controller.deviceArrivalHandler(a, DeviceAdded);
    rig.controller.deviceArrivalHandler(b, DeviceAdded);
    QCOMPARE(rig.view->calls().size(), size_t(1));
    QVERIFY(rig.view->saw(a, Device::StateUpdateAvailable));
    QVERIFY(rig.controller.isBusy());
    QCOMPARE(rig.controller.waitingCount(), size_t(1));

    // Declining ends the matter for a; b is offered next, then nothing.
    rig.controller.processUpdateAvilable(a, false);
    QVERIFY(rig.view->saw(b, Device::StateUpdateAvailable));
    rig.controller.processUpdateAvilable(b, false);
    QCOMPARE(rig.view->calls().size(), size_t(2));
    QVERIFY(!rig.controller.isBusy());
    QCOMPARE(rig.controller.waitingCount(), size_t(0));
    // The declined unit only comes back as a new arrival.
    rig.controller.runProcessUpdateQueue();
    QCOMPARE(rig.view->calls().size(), size_t(2));
}

void TestUsbApp::sameUnitNotListedTwice()
{
    Rig rig;
    rig.controller.deviceArrived(unit("a"));
    rig.controller.deviceArrived(unit("b"));
    rig.controller.deviceArrived(unit("b")); // a new Device object, same unique id
    QCOMPARE(rig.controller.waitingCount(), size_t(1));
}

void TestUsbApp::upToDateUnitDropped()
{
    Rig rig;
    auto current = unit("current", false);
    auto old = unit("old");
    rig.controller.deviceArrived(current);
    QVERIFY(rig.view->calls().empty());
    QVERIFY(!rig.controller.isBusy());
    QCOMPARE(rig.controller.waitingCount(), size_t(0));
    rig.controller.deviceArrived(old);
    QCOMPARE(rig.view->calls().size(), size_t(1));
    QVERIFY(rig.view->saw(old, Device::StateUpdateAvailable));
}

void TestUsbApp::removedUnitNotOffered()
{
    Rig rig;
    auto a = unit("a");
    auto b = unit("b");
    rig.controller.deviceArrived(a);
    rig.controller.deviceArrived(b);
    rig.controller.deviceArrivalHandler(b, DeviceRemoved);
    QCOMPARE(rig.controller.waitingCount(), size_t(0));
    rig.controller.processUpdateAvilable(a, false);
    QVERIFY(!rig.view->saw(b, Device::StateUpdateAvailable));
    QVERIFY(!rig.controller.isBusy());
}

void TestUsbApp::acceptedUpdateReportsProgressAndOutcome()
{
    Rig rig;
    auto a = std::make_shared<FakeDevice>("a", kModel, true, Task::Succeeded, std::vector<double>{0.25, 0.257});
    rig.controller.deviceArrived(a);
    rig.controller.processUpdateAvilable(a, true);
    QTRY_VERIFY(rig.view->saw(a, Device::StateFinished));
    const std::vector<uint32_t> states = rig.view->states(a);
    QCOMPARE(states.front(), uint32_t(Device::StateUpdateAvailable));
    QCOMPARE(states.back(), uint32_t(Device::StateFinished));
    const std::vector<double> progress = rig.view->progress();
    QVERIFY(std::find(progress.begin(), progress.end(), 0.257) != progress.end());
    QVERIFY(rig.controller.isBusy()); // until the outcome is confirmed
    rig.controller.processUpdateComplete(a, true);
    QVERIFY(!rig.controller.isBusy());
    QVERIFY(!rig.controller.restartPending());
}

void TestUsbApp::failedUpdateGoesOnWithNextUnit()
{
    Rig rig;
    auto a = unit("a", true, kOtherProduct, Task::Failed);
    auto b = unit("b");
    rig.controller.deviceArrived(a);
    rig.controller.deviceArrived(b);
    rig.controller.processUpdateAvilable(a, true);
    QTRY_VERIFY(rig.view->saw(a, Device::StateFailed));
    QVERIFY(!rig.view->saw(b, Device::StateUpdateAvailable)); // not before the failure is confirmed
    rig.controller.processUpdateComplete(a, true);
    QVERIFY(rig.view->saw(b, Device::StateUpdateAvailable));
    // A failed unit does not ask for a restart, even when its model would.
    QVERIFY(!rig.controller.restartPending());
}

void TestUsbApp::queueWithoutTaskFails()
{
    Rig rig;
    auto a = std::make_shared<FakeDevice>("a", kModel, true);
    a->setWithoutTask();
    rig.controller.deviceArrived(a);
    rig.controller.processUpdateAvilable(a, true);
    QVERIFY(rig.view->saw(a, Device::StateFailed));
    rig.controller.processUpdateComplete(a, true);
    QVERIFY(!rig.controller.isBusy());
}

void TestUsbApp::restartRound()
{
    Rig rig;
    auto a = unit("a", true, kOtherProduct);
    auto b = unit("b");
    rig.controller.deviceArrived(a);
    rig.controller.deviceArrived(b);
    rig.controller.processUpdateAvilable(a, true);
    // b still waits: the restart is announced for later.
    QTRY_VERIFY(rig.view->saw(a, Device::StateFinishedRestartLater));
    rig.controller.processUpdateComplete(a, true);
    QVERIFY(rig.controller.restartPending());
    QVERIFY(rig.view->saw(b, Device::StateUpdateAvailable));
    rig.controller.processUpdateAvilable(b, true);
    QTRY_VERIFY(rig.view->saw(b, Device::StateFinished));
    rig.controller.processUpdateComplete(b, true);
    // The round ends with the restart message, and nothing more is offered.
    QVERIFY(rig.view->saw(b, Device::StateRestartRequired));
    QVERIFY(rig.controller.isBusy());
    auto c = unit("c");
    rig.controller.deviceArrived(c);
    QVERIFY(!rig.view->saw(c, Device::StateUpdateAvailable));
    rig.controller.interrupt();
    QCOMPARE(rig.shutdowns, 0);

    // Alone, a unit that needs a restart says so itself (type 3) and leaves
    // no restart pending behind it.
    Rig alone;
    auto d = unit("d", true, kOtherProduct);
    alone.controller.deviceArrived(d);
    alone.controller.processUpdateAvilable(d, true);
    QTRY_VERIFY(alone.view->saw(d, Device::StateFinished));
    alone.controller.processUpdateComplete(d, true);
    QVERIFY(!alone.controller.restartPending());
    QVERIFY(!alone.controller.isBusy());
}

void TestUsbApp::interruptOnlyWhenIdle()
{
    Rig rig;
    rig.controller.interrupt(); // idle
    QCOMPARE(rig.shutdowns, 1);
    rig.controller.deviceArrived(unit("a"));
    rig.controller.interrupt(); // offered
    QCOMPARE(rig.shutdowns, 1);
}

// A signal while a unit is offered or updated ends the program once the user
// has answered the last message about that unit; no other unit is offered.
void TestUsbApp::interruptWaitsForTheUnitInHand_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("duringUpdate");
    QTest::newRow("question declined") << false << false;
    QTest::newRow("question accepted") << true << false;
    QTest::newRow("update running") << true << true;
}

void TestUsbApp::interruptWaitsForTheUnitInHand()
{
    QFETCH(bool, accept);
    QFETCH(bool, duringUpdate);
    Rig rig;
    auto a = std::make_shared<FakeDevice>("a", kModel, true, Task::Succeeded, std::vector<double>{0.5});
    a->setPace(std::chrono::milliseconds(100));
    auto b = unit("b");
    rig.controller.deviceArrived(a);
    rig.controller.deviceArrived(b);
    using I = FirmwareUpdateController::Interrupt;
    if (duringUpdate) {
        rig.controller.processUpdateAvilable(a, true);
        QCOMPARE(rig.controller.interrupt(), I::AfterUpdate);
    } else {
        QCOMPARE(rig.controller.interrupt(), I::AfterQuestion);
        rig.controller.processUpdateAvilable(a, accept);
    }
    if (accept) {
        QCOMPARE(rig.shutdowns, 0);
        QTRY_VERIFY(rig.view->saw(a, Device::StateFinished));
        QCOMPARE(rig.controller.interrupt(), I::AfterMessage);
        QCOMPARE(rig.shutdowns, 0);
        rig.controller.processUpdateComplete(a, true);
    }
    QCOMPARE(rig.shutdowns, 1);
    QVERIFY(!rig.view->saw(b, Device::StateUpdateAvailable));
}

void TestUsbApp::completionMessages()
{
    FirmwareUpdateController controller(false);
    QCOMPARE(controller.getCompletionMessage(*unit("a", true, kModel)), int(Ui::PowerCycle));
    QCOMPARE(controller.getCompletionMessage(*unit("b", true, kOtherProduct)), int(Ui::RestartRequired));
}

// ---- dialogs -----------------------------------------------------------------

void TestUsbApp::dialogMessages_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("cancel"); // 1 shown, 0 hidden, -1 as before
    const QString done = "The software on your device was updated successfully.";
    const QString unitDone = "The software on your Unit X was updated successfully.";
    QTest::newRow("0") << 0 << "Software Update Required!"
                       << "Your Unit X needs a software update. This update takes only a few minutes, and makes sure "
                          "you have the latest features and compatibility. Would you like to update now?"
                       << 1;
    QTest::newRow("1") << 1 << "The device's software could not be upgraded."
                       << "An error has occurred that has prevented the software on your Unit X from being upgraded. "
                          "Try upgrading the software again."
                       << 0;
    QTest::newRow("2 keeps its placeholders")
        << 2 << "Firmware Update Required!"
        << "Your %1 needs a firmware update. Please run the %2 Utility to update firmware" << 1;
    QTest::newRow("3") << 3 << "Restart is Required!" << "Please restart your computer to complete the software update."
                       << -1;
    QTest::newRow("4") << 4 << "Shut Down is Required!"
                       << "Please shut down your computer to complete the software update." << -1;
    QTest::newRow("5") << 5 << "Please Power Cycle" << done + " Please unplug Unit X cables to restart it." << 0;
    QTest::newRow("6") << 6 << "Please Power Cycle"
                       << done + " Please unplug both power and Unit X cables to restart it." << 0;
    QTest::newRow("7") << 7 << "Please Power Cycle"
                       << done + " Please shut down your computer and unplug power cables from your device to "
                                 "restart it."
                       << 0;
    QTest::newRow("8") << 8 << "Please Power Cycle"
                       << unitDone + " Unplug the unit's power and plug it in again to restart it." << 0;
    QTest::newRow("9") << 9 << "Restart is Required!"
                       << "Please restart your computer to complete the software updates." << -1;
    QTest::newRow("10") << 10 << "Restart is Required!"
                        << unitDone + " A restart will be required when all software updates have completed." << 0;
}

void TestUsbApp::dialogMessages()
{
    QFETCH(int, type);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(int, cancel);
    for (bool cancelBefore : {false, true}) {
        FirmwareUpdateDialog dialog;
        dialog.setMessage(cancelBefore ? 0 : 1, "Before");
        dialog.setMessage(type, "Unit X");
        QCOMPARE(dialog.title(), title);
        QCOMPARE(dialog.message(), message);
        QCOMPARE(dialog.cancelVisible(), cancel < 0 ? cancelBefore : cancel == 1);
        QVERIFY(dialog.width() == 455 && dialog.height() >= 120 && dialog.height() <= 180);
        // Unknown types change nothing.
        dialog.setMessage(11, "Other");
        QCOMPARE(dialog.title(), title);
    }
}

void TestUsbApp::dialogCancelButton()
{
    FirmwareUpdateDialog dialog;
    QCOMPARE(dialog.windowTitle(), QString("Morvane Software Update"));
    dialog.setMessage(Ui::SoftwareUpdateRequired, "Unit");
    {
        DialogAnswerer cancel([](QDialog* d) {
            d->findChild<QPushButton*>("cancelButton")->click();
            return true;
        });
        QCOMPARE(dialog.exec(), 0);
    }
    DialogAnswerer ok([](QDialog* d) {
        d->findChild<QPushButton*>("okButton")->click();
        return true;
    });
    QVERIFY(dialog.exec() != 0);
}

void TestUsbApp::dialogKeys_data()
{
    QTest::addColumn<int>("message");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("question, Return") << int(Ui::SoftwareUpdateRequired) << int(Qt::Key_Return) << true;
    QTest::newRow("question, Escape") << int(Ui::SoftwareUpdateRequired) << int(Qt::Key_Escape) << false;
    // With OK alone, Escape answers as OK does, not as a refusal.
    QTest::newRow("failure, Escape") << int(Ui::UpgradeFailed) << int(Qt::Key_Escape) << true;
    QTest::newRow("failure, Return") << int(Ui::UpgradeFailed) << int(Qt::Key_Return) << true;
}

void TestUsbApp::dialogKeys()
{
    QFETCH(int, message);
    QFETCH(int, key);
    FirmwareUpdateDialog dialog;
    dialog.setMessage(message, "Unit");
    DialogAnswerer press([key](QDialog* d) {
        QTest::keyClick(d, Qt::Key(key));
        return true;
    });
    QTEST(dialog.exec() != 0, "accepted");
}

void TestUsbApp::progressWindow()
{
    FirmwareUpdateProgressDialog progress;
    QCOMPARE(progress.size(), QSize(510, 70));
    progress.setProgress(0.257);
    QVERIFY(progress.isVisible());
    QCOMPARE(progress.value(), 25);
    QTest::keyClick(&progress, Qt::Key_Escape);
    QVERIFY(progress.isVisible());
    progress.setProgress(-1);
    QVERIFY(!progress.isVisible());
    progress.setProgress(0.5);
    QVERIFY(progress.isVisible());
    QCOMPARE(progress.value(), 50);
    progress.setProgress(1.0);
    QCOMPARE(progress.value(), 100);
}

void TestUsbApp::iconFollowsPixelRatio()
{
    for (qreal ratio : {1.0, 2.0}) {
        const QPixmap icon(FirmwareUpdateDialog::iconPath(ratio));
        QCOMPARE(icon.size(), QSize(80, 80) * int(ratio));
    }
}

// Renders the windows for a look at them (tests/pictures in the build tree).
void TestUsbApp::pictures()
{
    QDir().mkpath(ONDAVIA_TEST_OUTPUT_DIR);
    FirmwareUpdateDialog dialog;
    for (int type : {int(Ui::SoftwareUpdateRequired), int(Ui::UpgradeFailed), int(Ui::PowerCycle)}) {
        dialog.setMessage(type, "Ondavia StreamPort USB");
        dialog.show();
        const QImage image = dialog.grab().toImage();
        QCOMPARE(image.size(), dialog.size());
        QVERIFY(image.save(QString(ONDAVIA_TEST_OUTPUT_DIR "/usb-message-%1.png").arg(type)));
        dialog.hide();
    }
    FirmwareUpdateProgressDialog progress;
    progress.setDeviceName("Ondavia StreamPort USB (0001A2B3)");
    progress.setProgress(0.257);
    QVERIFY(progress.grab().toImage().save(ONDAVIA_TEST_OUTPUT_DIR "/usb-progress.png"));
}

// The view over the controller with the real dialogs, answered as a user
// would: a unit that needs a restart, then one that doesn't, then the final
// restart message, with a signal while it is open that ends the program
// once it is answered.
void TestUsbApp::viewRunsTheRoundWithSignals()
{
    FirmwareUpdateController controller(false);
    int shutdowns = 0;
    controller.setShutdownHandler([&] { ++shutdowns; });
    auto owned = std::make_unique<GUIViewController>(&controller);
    GUIViewController* view = owned.get();
    QVERIFY(controller.init(std::move(owned)));
    installSignalHandlers();
    SignalRelay::instance()->registerController(&controller);

    QStringList shown;
    int maxProgress = -1;
    QSet<QString> progressTexts;
    bool raised = false;
    bool recorded = false;
    DialogAnswerer answerer([&](QDialog* d) {
        auto* dialog = qobject_cast<FirmwareUpdateDialog*>(d);
        if (!dialog)
            return true;
        if (!recorded)
            shown << dialog->title() + " | " + dialog->message();
        recorded = true;
        if (!raised && shown.size() == 5) {
            // While the final restart message is open.
            raised = true;
            std::raise(SIGINT);
            return false; // answer on the next round, after the signal was seen
        }
        recorded = false;
        d->findChild<QPushButton*>("okButton")->click();
        return true;
    });
    QTest::ignoreMessage(QtInfoMsg, "OndaviaUpdater: ending once the message on the screen is answered");
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if (view->progressDialog()->isVisible()) {
            maxProgress = qMax(maxProgress, view->progressDialog()->value());
            progressTexts.insert(view->progressDialog()->text());
        }
    });
    watch.start(1);

    auto a = std::make_shared<FakeDevice>("a", kOtherProduct, true, Task::Succeeded,
                                          std::vector<double>{0.1, 0.4, 0.7});
    a->setPace(std::chrono::milliseconds(40));
    auto b = unit("b");
    // Arrivals come from the hot-plug thread.
    std::thread hotplug([&] {
        controller.deviceArrivalHandler(a, DeviceAdded);
        controller.deviceArrivalHandler(b, DeviceAdded);
    });
    hotplug.join();
    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 5, 10000);
    QCOMPARE(shown[0], QString("Software Update Required! | Your Test unit a needs a software update. This update "
                               "takes only a few minutes, and makes sure you have the latest features and "
                               "compatibility. Would you like to update now?"));
    QVERIFY(shown[1].startsWith("Restart is Required! | The software on your Test unit a was updated"));
    QVERIFY(shown[2].startsWith("Software Update Required! | Your Test unit b"));
    QCOMPARE(shown[3], QString("Please Power Cycle | The software on your Test unit b was updated successfully. "
                               "Unplug the unit's power and plug it in again to restart it."));
    QCOMPARE(shown[4], QString("Restart is Required! | Please restart your computer to complete the software updates."));
    // The signal that came while the last message was open ends the program
    // once it is answered.
    QTRY_COMPARE(shutdowns, 1);
    QCOMPARE(SignalRelay::instance()->lastSignal(), int(SIGINT));
    QVERIFY(maxProgress >= 0);
    QVERIFY(progressTexts.contains("Updating Test unit a"));
    QVERIFY(!view->progressDialog()->isVisible());

    // After the final message: no more offers, and a signal ends at once.
    controller.deviceArrivalHandler(unit("c"), DeviceAdded);
    std::raise(SIGTERM);
    QTRY_COMPARE(shutdowns, 2);
    QCOMPARE(shown.size(), 5);
    QCOMPARE(SignalRelay::instance()->lastSignal(), int(SIGTERM));
    SignalRelay::instance()->registerController(nullptr);
}

// ---- the program -------------------------------------------------------------

void TestUsbApp::programEndsOnSignalWhenIdle_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGTERM") << int(SIGTERM);
}

// On an empty bus the program idles until a signal, then ends cleanly.
void TestUsbApp::programEndsOnSignalWhenIdle()
{
    QFETCH(int, signal);
    QTemporaryDir bus;
    QVERIFY(QDir(bus.path()).mkdir("001"));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("USB_DEVFS_PATH", bus.path());
    program.setProcessEnvironment(env);
    program.start(ONDAVIA_BIN_DIR "/OndaviaUpdater", QStringList());
    QVERIFY(program.waitForStarted());
    // Signal only once the handler is in place (the default action would
    // end the program anyway, and prove nothing).
    const auto caught = [&] {
        QFile status(QString("/proc/%1/status").arg(program.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("SigCgt:")) {
                const qulonglong mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
                return ((mask >> (signal - 1)) & 1) != 0;
            }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(caught(), 20000);
    QVERIFY(!program.waitForFinished(300)); // idle, still running
    ::kill(pid_t(program.processId()), signal);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void TestUsbApp::programWithoutBus()
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("USB_DEVFS_PATH", "/nonexistent/usb");
    program.setProcessEnvironment(env);
    program.start(ONDAVIA_BIN_DIR "/OndaviaUpdater", QStringList());
    QVERIFY(program.waitForFinished(10000));
    if (QDir("/dev/bus/usb").exists() || QDir("/proc/bus/usb").exists())
        QSKIP("this machine has a USB device file system");
    QCOMPARE(program.exitCode(), 1);
    QVERIFY(program.readAllStandardError().contains("USB device file system"));
}

// Options are read before a display is needed: every row runs where no
// display can be opened.
void TestUsbApp::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output"); // the start of standard output
    QTest::addColumn<QByteArray>("error");  // all of standard error
    QTest::newRow("--help") << QStringList{"--help"} << 0 << QByteArray("Usage: OndaviaUpdater [OPTION]...\n")
                            << QByteArray();
    QTest::newRow("--version") << QStringList{"--version"} << 0 << QByteArray("OndaviaUpdater (Ondavia) ")
                               << QByteArray();
    QTest::newRow("unknown option")
        << QStringList{"--quiet"} << 2 << QByteArray()
        << QByteArray("OndaviaUpdater: unknown option \"--quiet\" (see OndaviaUpdater --help)\n");
    QTest::newRow("extra argument")
        << QStringList{"--help", "now"} << 2 << QByteArray()
        << QByteArray("OndaviaUpdater: unexpected argument \"now\" (see OndaviaUpdater --help)\n");
    QTest::newRow("no display") << QStringList{} << 1 << QByteArray()
                                << QByteArray("OndaviaUpdater: cannot open display :4242\n");
}

void TestUsbApp::commandLine()
{
    checkCommandLine(QStringLiteral(ONDAVIA_BIN_DIR "/OndaviaUpdater"));
}

QTEST_MAIN(TestUsbApp)
#include "tst_usbapp.moc"
