// The firmware status and update flow: the installed firmware list, and the
// update dialog driven through the real window by the test plug-in family
// (plugins/updatingplugin.cpp), whose updater reports what the test asks.
// Renders of the status page and of every dialog state go to
// ONDAVIA_RENDER_DIR.

#include "adminutilitywindow.h"
#include "cardpushbutton.h"
#include "commongui.h"
#include "devicefirmwareupdater.h"
#include "firmwareupdate.h"
#include "firmwareupdatedialog.h"
#include "needingfirmwareupdatestatuspage.h"
#include "productfamily.h"
#include "startuppluginloader.h"
#include "visibledevice.h"
#include "visiblezeltra.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

// A device of a family that cannot update it.
class PlainDevice : public QObject, public VisibleDevice
{
public:
    QString familyName() const override { return QString(); }
    QString modelName() const override { return QString(); }
    QString ipAddress() const override { return QString(); }
    QPixmap modelImage() const override { return QPixmap(); }
    QPixmap modelThumb() const override { return QPixmap(); }
    QString deviceName() const override { return QString(); }
    QPixmap launcherConnectionIcon() const override { return QPixmap(); }
    QPixmap cardConnectionIcon() const override { return QPixmap(); }
    bool firmwareUpdateOnly() const override { return false; }
    QString currentFirmwareString() const override { return QString(); }
    bool firmwareUpdateAvailable() const override { return false; }
    QString availableFirmwareString() const override { return QString(); }
    DeviceFirmwareUpdater* getFirmwareUpdater() override { return nullptr; }
    bool isTestMode() const override { return false; }
    QWidget* summaryWidget() const override { return nullptr; }
};

QString renderDir()
{
    return qEnvironmentVariable("ONDAVIA_RENDER_DIR", QDir::currentPath());
}

} // namespace

class TestFirmwareUpdate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.filePath(QStringLiteral("settings")));
        CommonGui::registerFonts();
        qRegisterMetaType<VisibleDevice*>();
        QVERIFY(QDir().mkpath(renderDir()));
    }

    void installedFirmwareList()
    {
        const QVector<VisibleZeltra::InstalledFirmware> list = VisibleZeltra::getInstalledFirmwareList();
        QVERIFY(!list.isEmpty());
        QVERIFY(std::is_sorted(list.begin(), list.end(),
            [](const VisibleZeltra::InstalledFirmware& a, const VisibleZeltra::InstalledFirmware& b) {
                return a.name < b.name;
            }));
        QStringList names;
        for (const VisibleZeltra::InstalledFirmware& entry : list)
            names << entry.name;
        // The rows with names of their own, and a factory board never shown.
        for (const char* name : { "Meridian Primary", "Meridian Secondary", "Ondavia Atlas 12G 2" })
            QVERIFY2(names.contains(QLatin1String(name)), name);
        QVERIFY(!names.contains(QStringLiteral("Ondavia Test Fixture")));
    }

    // Nothing to update: the answer comes at once and no dialog appears.
    void withoutUpdaterAnswersAtOnce()
    {
        AdminUtilityWindow window;
        PlainDevice device;
        for (VisibleDevice* target : { static_cast<VisibleDevice*>(&device), static_cast<VisibleDevice*>(nullptr) }) {
            FirmwareUpdate update(&window, target);
            QSignalSpy done(&update, &FirmwareUpdate::firmwareUpdated);
            update.updateFirmware();
            QCOMPARE(done.count(), 1);
            QCOMPARE(done.first().first().toBool(), true);
            QVERIFY(!update.dialog());
            QVERIFY(!window.findChild<FirmwareUpdateDialog*>());
        }
    }

    // One device taken through every path in turn, through the window's
    // showDevice as the setup button does: decline, failure, an unknown
    // code, success, then nothing left to do.
    void flowThroughTheWindow()
    {
        AdminUtilityWindow window;
        window.resize(AdminUtilityWindow::kMinimumWidth, AdminUtilityWindow::kMinimumContentHeight);
        QCOMPARE(StartupPluginLoader::load(window, QStringLiteral(ONDAVIA_TEST_PLUGIN_ROOT)), 1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.postShowStartup();
        QTRY_COMPARE(window.deviceList().numberOfDevice(), 1);
        VisibleDevice* device = window.deviceList().deviceAt(0);
        auto* family = dynamic_cast<QObject*>(window.deviceList().getFamilyOfDevice(device));
        QVERIFY(family);
        DeviceFirmwareUpdater* updater = device->getFirmwareUpdater();
        QVERIFY(updater);
        QVERIFY(!updater->checkFirmwareCurrent());

        struct Step {
            const char* name;
            int code; // -1: declined at the question
            FirmwareUpdateDialog::UpdateStatus ending;
            const char* outcomes; // every outcome so far
        };
        const Step steps[] = {
            { "decline", -1, FirmwareUpdateDialog::NeedsUpdate, "0" },
            { "failure", DeviceFirmwareUpdater::kUpdateFailed, FirmwareUpdateDialog::UpdateFailed, "00" },
            { "unknown code", 7, FirmwareUpdateDialog::UpdateFailed, "000" },
            { "success", DeviceFirmwareUpdater::kUpdateSucceeded, FirmwareUpdateDialog::Updated, "0001" },
        };
        int starts = 0;
        for (const Step& step : steps) {
            updater->setProperty("outcome", step.code);
            window.showDevice(device);
            auto* dialog = window.findChild<FirmwareUpdateDialog*>();
            QVERIFY2(dialog && dialog->isVisible(), step.name);
            QCOMPARE(dialog->status(), FirmwareUpdateDialog::NeedsUpdate);
            QVERIFY(dialog->firstButton()->isVisible() && dialog->secondButton()->isVisible());
            if (step.code < 0) {
                dialog->firstButton()->click();
            } else {
                dialog->secondButton()->click();
                ++starts;
                QCOMPARE(dialog->status(), FirmwareUpdateDialog::Updating);
                QVERIFY(dialog->progressBar()->isVisible());
                QTRY_COMPARE(dialog->status(), step.ending);
                QVERIFY2(!dialog->progressBar()->isVisible(), step.name);
                // Nothing is reported until the user closes the outcome.
                QCOMPARE(family->property("outcomes").toString().size(), int(qstrlen(step.outcomes)) - 1);
                QVERIFY(dialog->singleButton()->isVisible());
                dialog->singleButton()->click();
            }
            QTRY_VERIFY2(!dialog->isVisible(), step.name);
            QCOMPARE(family->property("outcomes").toString(), QString::fromLatin1(step.outcomes));
            QCOMPARE(updater->property("starts").toInt(), starts);
            QCOMPARE(window.findChildren<FirmwareUpdateDialog*>().size(), 1);
        }

        // Current firmware now: opening answers at once without a dialog.
        window.showDevice(device);
        QCOMPARE(family->property("outcomes").toString(), QStringLiteral("00011"));
        QVERIFY(!window.findChild<FirmwareUpdateDialog*>()->isVisible());
    }

    void render()
    {
        AdminUtilityWindow window;
        window.resize(AdminUtilityWindow::kMinimumWidth, AdminUtilityWindow::kMinimumContentHeight);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        NeedingFirmwareUpdateStatusPage page;
        page.resize(620, 400);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        save(page, QStringLiteral("needing-update-page"));

        FirmwareUpdateDialog dialog(&window);
        const std::pair<FirmwareUpdateDialog::UpdateStatus, const char*> states[] = {
            { FirmwareUpdateDialog::NeedsUpdate, "dialog-0-needs-update" },
            { FirmwareUpdateDialog::Updating, "dialog-1-updating" },
            { FirmwareUpdateDialog::Updated, "dialog-2-updated" },
            { FirmwareUpdateDialog::UpdateFailed, "dialog-3-failed" },
        };
        for (const auto& state : states) {
            dialog.setStatus(state.first);
            if (state.first == FirmwareUpdateDialog::Updating)
                dialog.setProgress(40);
            dialog.showOverWindow();
            QCoreApplication::processEvents();
            // No wrapped text clipped.
            for (QLabel* text : { dialog.firstText(), dialog.secondText() })
                QVERIFY(text->isHidden() || text->height() >= text->heightForWidth(text->width()));
            save(window, QString::fromLatin1(state.second));
        }
    }

private:
    static void save(QWidget& widget, const QString& name)
    {
        QCoreApplication::processEvents();
        const QString path = QDir(renderDir()).filePath(name + QStringLiteral(".png"));
        QVERIFY2(widget.grab().save(path), qPrintable(path));
    }

    QTemporaryDir m_home;
};

QTEST_MAIN(TestFirmwareUpdate)
#include "tst_firmwareupdate.moc"
