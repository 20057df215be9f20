// The PCIe front end's dialogs in German on a real X server: the question,
// the progress window and a message, rendered, with their titles and
// buttons in German and in full; at a scale factor of 2 with the sharp chip.

#include "textcheck.h"
#include "uilanguage.h"

#include "checkupdatedialog.h"
#include "device.h"
#include "messagedialog.h"
#include "updateprogressdialog.h"

#include <QtTest>

#include <QApplication>
#include <QDir>

#include <cstdio>

class TestI18nPcie : public QObject
{
    Q_OBJECT

private slots:
    void dialogs();
};

void TestI18nPcie::dialogs()
{
    const QString language = UiLanguage::install(qApp, QStringLiteral("MorvaneFirmwareUpdaterGui"), [](const char* name) {
        return qstrcmp(name, "LANGUAGE") == 0 ? QStringLiteral("de") : QString();
    });
    QCOMPARE(language, QStringLiteral("de"));
    const QSet<QString> english = TextCheck::translatedSources(QStringLiteral(ONDAVIA_CATALOGUE_DIR "/MorvaneFirmwareUpdaterGui_de.ts"));
    const bool dense = qApp->devicePixelRatio() > 1.0;
    const QString dir = qEnvironmentVariable("ONDAVIA_RENDER_DIR", QDir::currentPath());
    QVERIFY(QDir().mkpath(dir));

    Device device;
    device.name = QStringLiteral("Ondavia Meridian 4K");
    device.needsUpdate = true;
    CheckUpdateDialog question(device);
    UpdateProgressDialog progress(device);
    progress.updateProgress(40);
    MessageDialog message(MessageDialog::rebootRequiredText(device.name));
    const QList<QPair<QDialog*, QString>> dialogs = {
        { &question, QStringLiteral("pcie-question") },
        { &progress, QStringLiteral("pcie-progress") },
        { &message, QStringLiteral("pcie-restart") },
    };
    QCOMPARE(question.updateButton()->text(), QStringLiteral("Jetzt aktualisieren"));
    QCOMPARE(progress.windowTitle(), QStringLiteral("Software wird aktualisiert …"));
    for (const auto& [dialog, name] : dialogs) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QVERIFY2(!english.contains(dialog->windowTitle()), qPrintable(dialog->windowTitle()));
        const QStringList problems = TextCheck::problems(dialog) + TextCheck::english(dialog, english);
        QVERIFY2(problems.isEmpty(), qPrintable(name + QStringLiteral(":\n  ") + problems.join(QStringLiteral("\n  "))));
        QVERIFY(dialog->grab().save(QDir(dir).filePath(name + (dense ? QStringLiteral("@2x.png") : QStringLiteral(".png")))));
        if (dense && dialog != &progress) {
            bool sharp = false;
            for (QLabel* label : dialog->findChildren<QLabel*>())
                sharp = sharp || label->pixmap(Qt::ReturnByValue).devicePixelRatio() == 2.0;
            QVERIFY2(sharp, qPrintable(name));
        }
        dialog->hide();
    }
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariable("QT_QPA_PLATFORM") != QLatin1String("xcb")) {
        std::printf("SKIPPED: QT_QPA_PLATFORM is not xcb; this test runs on a real X server (xvfb-run)\n");
        return 77;
    }
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    TestI18nPcie test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_i18npcie.moc"
