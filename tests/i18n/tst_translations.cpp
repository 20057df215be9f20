// The catalogues and their loading: every text of the three programs has a
// finished German translation that keeps its place markers, a text added to
// the sources without one is caught, and the language is taken from the
// environment as the desktop sets it, English where nothing matches.

#include "textcheck.h"
#include "uilanguage.h"

#include <QtTest>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>

namespace {

const char* const kPrograms[][2] = {
    { "OndaviaSetup", "setup" },
    { "OndaviaUpdater", "usbupdater" },
    { "MorvaneFirmwareUpdaterGui", "pcieupdater" },
};

QString catalogue(const char* program)
{
    return QStringLiteral(ONDAVIA_CATALOGUE_DIR "/%1_de.ts").arg(QString::fromLatin1(program));
}

using Env = QHash<QString, QString>;

UiLanguage::Environment environment(const Env& values)
{
    return [values](const char* name) { return values.value(QString::fromLatin1(name)); };
}

void removeTranslators()
{
    qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>());
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void cataloguesFinished();
    void cataloguesCurrent();
    void requested_data();
    void requested();
    void install_data();
    void install();
};

// Finished, not empty, and with the same place markers as the source.
void TestTranslations::cataloguesFinished()
{
    static const QRegularExpression marker(QStringLiteral("%\\d"));
    for (const auto& program : kPrograms) {
        const QList<TextCheck::Message> messages = TextCheck::readCatalogue(catalogue(program[0]));
        QVERIFY2(!messages.isEmpty(), program[0]);
        QStringList wrong;
        for (const TextCheck::Message& m : messages) {
            QStringList a, b;
            for (auto it = marker.globalMatch(m.source); it.hasNext();)
                a << it.next().captured();
            for (auto it = marker.globalMatch(m.translation); it.hasNext();)
                b << it.next().captured();
            a.sort();
            b.sort();
            if (m.unfinished || m.translation.isEmpty() || a != b)
                wrong << m.context + QStringLiteral(": ") + m.source;
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(QString::fromLatin1(program[0]) + QStringLiteral(":\n  ") + wrong.join(QStringLiteral("\n  "))));
    }
}

// The sources read again hold no text the catalogue lacks: a new tr() text
// fails here until `update-translations` has run and it is translated.
void TestTranslations::cataloguesCurrent()
{
    const QString lupdate = QStringLiteral(ONDAVIA_LUPDATE);
    if (!QFileInfo(lupdate).isExecutable())
        QSKIP("lupdate is not installed (scripts/install-deps)");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const auto& program : kPrograms) {
        const QString fresh = dir.filePath(QString::fromLatin1(program[0]) + QStringLiteral(".ts"));
        QVERIFY(QFile::copy(catalogue(program[0]), fresh));
        QFile::setPermissions(fresh, QFile::ReadOwner | QFile::WriteOwner);
        QProcess run;
        run.start(lupdate, { QStringLiteral("-silent"), QStringLiteral("-no-obsolete"), QStringLiteral("-locations"),
                             QStringLiteral("none"), QStringLiteral(ONDAVIA_SOURCE_DIR "/") + QString::fromLatin1(program[1]),
                             QStringLiteral("-ts"), fresh });
        QVERIFY(run.waitForFinished(120000));
        QCOMPARE(run.exitCode(), 0);
        QStringList missing;
        for (const TextCheck::Message& m : TextCheck::readCatalogue(fresh)) {
            if (m.unfinished || m.translation.isEmpty())
                missing << m.context + QStringLiteral(": ") + m.source;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(QString::fromLatin1(program[0]) + QStringLiteral(" has texts without a translation (run the update-translations target and translate them):\n  ") + missing.join(QStringLiteral("\n  "))));
    }
}

void TestTranslations::requested_data()
{
    QTest::addColumn<Env>("env");
    QTest::addColumn<QStringList>("languages");
    using H = Env;
    QTest::newRow("nothing set") << H{} << QStringList{};
    QTest::newRow("LANG with codeset") << H{ { "LANG", "de_DE.UTF-8" } } << QStringList{ "de_DE", "de" };
    QTest::newRow("modifier") << H{ { "LANG", "de_AT@euro" } } << QStringList{ "de_AT", "de" };
    QTest::newRow("LC_ALL before LANG") << H{ { "LC_ALL", "fr_FR.UTF-8" }, { "LANG", "de_DE.UTF-8" } } << QStringList{ "fr_FR", "fr" };
    QTest::newRow("LC_MESSAGES before LANG") << H{ { "LC_MESSAGES", "de_CH" }, { "LANG", "fr_FR" } } << QStringList{ "de_CH", "de" };
    QTest::newRow("LANGUAGE first, then the locale") << H{ { "LANGUAGE", "fr:de" }, { "LANG", "nl_NL" } } << QStringList{ "fr", "de", "nl_NL", "nl" };
    QTest::newRow("English ends the list") << H{ { "LANGUAGE", "en_GB:de" }, { "LANG", "de_DE" } } << QStringList{};
    QTest::newRow("C locale is English") << H{ { "LC_ALL", "C.UTF-8" }, { "LANG", "de_DE" } } << QStringList{};
    QTest::newRow("empty entries skipped") << H{ { "LANGUAGE", "::de::" } } << QStringList{ "de" };
}

void TestTranslations::requested()
{
    QFETCH(Env, env);
    QFETCH(QStringList, languages);
    QCOMPARE(UiLanguage::requested(environment(env)), languages);
}

void TestTranslations::install_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("shown");
    QTest::newRow("setup German") << QStringLiteral("OndaviaSetup") << QStringLiteral("de") << QByteArray("CardFooter") << QByteArray("Save") << QStringLiteral("Speichern");
    QTest::newRow("setup Austrian German") << QStringLiteral("OndaviaSetup") << QStringLiteral("de_AT.UTF-8") << QByteArray("ZeltraSettingsPage") << QByteArray("Video Input") << QStringLiteral("Videoeingang");
    QTest::newRow("setup French") << QStringLiteral("OndaviaSetup") << QStringLiteral("fr") << QByteArray("CardFooter") << QByteArray("Save") << QStringLiteral("Save");
    QTest::newRow("USB German") << QStringLiteral("OndaviaUpdater") << QStringLiteral("de") << QByteArray("FirmwareUpdateDialog") << QByteArray("Software Update Required!") << QStringLiteral("Software-Update erforderlich!");
    QTest::newRow("USB French") << QStringLiteral("OndaviaUpdater") << QStringLiteral("fr") << QByteArray("FirmwareUpdateDialog") << QByteArray("Software Update Required!") << QStringLiteral("Software Update Required!");
    QTest::newRow("PCIe German") << QStringLiteral("MorvaneFirmwareUpdaterGui") << QStringLiteral("de") << QByteArray("CheckUpdateDialog") << QByteArray("Update Now") << QStringLiteral("Jetzt aktualisieren");
}

// The program's catalogue with Qt's own for its standard buttons, or none.
void TestTranslations::install()
{
    QFETCH(QString, program);
    QFETCH(QString, language);
    QFETCH(QByteArray, context);
    QFETCH(QByteArray, source);
    QFETCH(QString, shown);
    const bool german = language.startsWith(QLatin1String("de"));
    QCOMPARE(UiLanguage::install(QCoreApplication::instance(), program, environment({ { "LANGUAGE", language } })),
             german ? QStringLiteral("de") : QString());
    QCOMPARE(QCoreApplication::translate(context, source), shown);
    const bool qtCatalogue = QFile::exists(QLibraryInfo::location(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm"));
    if (german && qtCatalogue)
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    else
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    removeTranslators();
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
