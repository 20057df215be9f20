// The USB updater's dialogs in German on a real X server: every message of
// the question dialog and the progress window, rendered, with every text in
// full and none left in English; at a scale factor of 2 with the sharp icon.

#include "textcheck.h"
#include "uilanguage.h"

#include "firmwareupdatedialog.h"
#include "firmwareupdateprogressdialog.h"
#include "updatemessagetype.h"

#include <QtTest>

#include <QApplication>
#include <QDir>
#include <QGraphicsPixmapItem>
#include <QGraphicsView>

#include <cstdio>

class TestI18nUsb : public QObject
{
    Q_OBJECT

private slots:
    void dialogs();
};

void TestI18nUsb::dialogs()
{
    const QString language = UiLanguage::install(qApp, QStringLiteral("OndaviaUpdater"), [](const char* name) {
        return qstrcmp(name, "LANGUAGE") == 0 ? QStringLiteral("de") : QString();
    });
    QCOMPARE(language, QStringLiteral("de"));
    const QSet<QString> english = TextCheck::translatedSources(QStringLiteral(ONDAVIA_CATALOGUE_DIR "/OndaviaUpdater_de.ts"));
    const bool dense = qApp->devicePixelRatio() > 1.0;
    const QString dir = qEnvironmentVariable("ONDAVIA_RENDER_DIR", QDir::currentPath());
    QVERIFY(QDir().mkpath(dir));
    const QString suffix = dense ? QStringLiteral("@2x.png") : QStringLiteral(".png");

    FirmwareUpdateDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Morvane Software-Update"));
    for (int type = Ui::SoftwareUpdateRequired; type <= Ui::RestartLater; ++type) {
        dialog.setMessage(type, QStringLiteral("Ondavia StreamPort USB"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY2(!dialog.title().isEmpty() && !english.contains(dialog.title()), qPrintable(dialog.title()));
        const QStringList problems = TextCheck::problems(&dialog) + TextCheck::english(&dialog, english);
        QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("message %1:\n  ").arg(type) + problems.join(QStringLiteral("\n  "))));
        QVERIFY(dialog.grab().save(QDir(dir).filePath(QStringLiteral("usb-message-%1").arg(type, 2, 10, QLatin1Char('0')) + suffix)));
        dialog.hide();
    }
    if (dense) {
        auto* icon = dialog.findChild<QGraphicsView*>();
        QVERIFY(icon);
        bool sharp = false;
        for (QGraphicsItem* item : icon->scene()->items()) {
            if (auto* picture = dynamic_cast<QGraphicsPixmapItem*>(item))
                sharp = sharp || picture->pixmap().devicePixelRatio() == 2.0;
        }
        QVERIFY(sharp);
    }

    FirmwareUpdateProgressDialog progress;
    progress.setDeviceName(QStringLiteral("Ondavia StreamPort USB"));
    progress.setProgress(0.4);
    QVERIFY(QTest::qWaitForWindowExposed(&progress));
    QCOMPARE(progress.text(), QStringLiteral("Ondavia StreamPort USB wird aktualisiert"));
    const QStringList problems = TextCheck::problems(&progress) + TextCheck::english(&progress, english);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("\n  "))));
    QVERIFY(progress.grab().save(QDir(dir).filePath(QStringLiteral("usb-progress") + suffix)));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariable("QT_QPA_PLATFORM") != QLatin1String("xcb")) {
        std::printf("SKIPPED: QT_QPA_PLATFORM is not xcb; this test runs on a real X server (xvfb-run)\n");
        return 77;
    }
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    TestI18nUsb test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_i18nusb.moc"
