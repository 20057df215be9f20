#include "adminutilitywindow.h"
#include "devicelist.h"
#include "startuppluginloader.h"
#include "testfamily.h"

#include <QPluginLoader>
#include <QtTest>

namespace {
const QString kRoot = QStringLiteral(ONDAVIA_TEST_PLUGIN_ROOT);

QString libraryIn(const QString& folder)
{
    const QFileInfoList files = QDir(kRoot + QLatin1Char('/') + folder).entryInfoList({"*.so"}, QDir::Files);
    for (const QFileInfo& file : files) {
        if (file.fileName() != QLatin1String("broken.so"))
            return file.absoluteFilePath();
    }
    return QString();
}

// Whether Qt holds the library loaded. A fresh loader shares Qt's record of
// the file and does not load it itself.
bool isLoaded(const QString& path)
{
    return QPluginLoader(path).isLoaded();
}

QStringList familyNames(const AdminUtilityWindow& window)
{
    QStringList names;
    for (ProductFamily* family : window.families())
        names << family->getName();
    return names;
}
} // namespace

class PluginTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(!libraryIn(QStringLiteral("TwoFamilies")).isEmpty(), "test plug-ins not built");
        QVERIFY(!libraryIn(QStringLiteral("Rejecting")).isEmpty());
    }

    void defaultRootIsBesideTheProgram()
    {
        QCOMPARE(StartupPluginLoader::defaultRoot(),
                 QCoreApplication::applicationDirPath() + "/AdminUtility/PlugIns");
    }

    void missingRootAddsNothing()
    {
        AdminUtilityWindow window;
        TestFamily card(QStringLiteral("Card"));
        window.addFamily(&card);
        QCOMPARE(StartupPluginLoader::load(window, kRoot + "/does-not-exist"), 0);
        QCOMPARE(familyNames(window), QStringList{"Card"});
    }

    // One pass over the real folder: two families after the built-in one,
    // the rejecting plug-in asked with its own folder and unloaded, and the
    // files that are not plug-ins skipped without harm.
    void startupPass()
    {
        qunsetenv("ONDAVIA_TEST_REJECTED_IN");
        qunsetenv("ONDAVIA_TEST_REJECTED_GONE");
        AdminUtilityWindow window;
        TestFamily card(QStringLiteral("Card"));
        window.addFamily(&card);

        QCOMPARE(StartupPluginLoader::load(window, kRoot), 2);
        QCOMPARE(familyNames(window), (QStringList{"Card", "Plugged One", "Plugged Two"}));

        QCOMPARE(QString::fromUtf8(qgetenv("ONDAVIA_TEST_REJECTED_IN")),
                 QDir(kRoot + "/Rejecting").absolutePath());
        // Unloading deletes the refused plug-in's root object.
        QCOMPARE(qgetenv("ONDAVIA_TEST_REJECTED_GONE"), QByteArray("1"));
        QVERIFY(!isLoaded(libraryIn(QStringLiteral("Rejecting"))));
        QVERIFY(isLoaded(libraryIn(QStringLiteral("TwoFamilies"))));

        // Plug-in families are connected and started like the built-in one;
        // the first announces a device at once.
        window.postShowStartup();
        QCOMPARE(card.initCount, 1);
        auto* pluggedOne = dynamic_cast<QObject*>(window.families().at(1));
        QVERIFY(pluggedOne);
        QVERIFY(pluggedOne->property("initialised").toBool());
        QCOMPARE(window.deviceList().numberOfDevice(), 1);
        VisibleDevice* device = window.deviceList().getCurrentDevice();
        QCOMPARE(device->deviceName(), QStringLiteral("Plugged Unit"));
        QCOMPARE(window.deviceList().getFamilyOfDevice(device), window.families().at(1));
    }

    void explicitDirectories()
    {
        AdminUtilityWindow window;
        const QStringList folders = AdminUtilityWindow::installedPluginDir(kRoot.toStdString());
        QCOMPARE(folders, (QStringList{kRoot + "/Rejecting", kRoot + "/TwoFamilies"}));

        // Without the name filter every file is tried; only the real plug-in
        // with the right interface and a willing start contributes.
        QCOMPARE(window.loadPlugins(folders), 2);
        QCOMPARE(familyNames(window), (QStringList{"Plugged One", "Plugged Two"}));
        QVERIFY(!isLoaded(libraryIn(QStringLiteral("Rejecting"))));

        QCOMPARE(window.loadPlugins({kRoot + "/does-not-exist"}), 0);
        QCOMPARE(AdminUtilityWindow::installedPluginDir("/does/not/exist"), QStringList());
        QCOMPARE(AdminUtilityWindow::standalonePluginDir(),
                 QStringList{QCoreApplication::applicationDirPath()});
    }
};

QTEST_MAIN(PluginTest)
#include "tst_plugins.moc"
