#include "adminutilityapplication.h"
#include "appdefaults.h"
#include "runninginstance.h"
#include "startuppluginloader.h"
#include "startupdeviceopener.h"
#include "staticdata.h"
#include "zeltraadminutilitywindow.h"
#include "zeltrafamily.h"

#include <QCommandLineParser>

#include <cstdint>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    AdminUtilityApplication app(argc, argv);
    app.setWindowIcon(AppDefaults::aboutIcon());

    // Queued signals of the card model carry these.
    qRegisterMetaType<uint32_t>("uint32_t");
    qRegisterMetaType<uint64_t>("uint64_t");

    QCommandLineParser options;
    options.setApplicationDescription(QCoreApplication::translate("main", "Sets up the Ondavia devices of this computer."));
    options.addHelpOption();
    const QCommandLineOption newWindow(
        { QStringLiteral("n"), QStringLiteral("new-window") },
        QCoreApplication::translate("main", "Open another window even when the program is already running."));
    options.addOption(newWindow);
    const QCommandLineOption openDevice(
        { QStringLiteral("o"), QStringLiteral("open") },
        QCoreApplication::translate("main", "Open the settings of the device at <index> of the list (0 is the first)."),
        QStringLiteral("index"));
    options.addOption(openDevice);
    options.process(app);

    int openIndex = -1;
    if (options.isSet(openDevice)) {
        bool ok = false;
        openIndex = options.value(openDevice).toInt(&ok);
        if (!ok || openIndex < 0) {
            std::fprintf(stderr, "%s\n",
                         qPrintable(QCoreApplication::translate("main", "--open needs a device index of 0 or more.")));
            return 2;
        }
    }

    // A second start raises the window that is already open.
    RunningInstance instance;
    if (!options.isSet(newWindow) && instance.start() == RunningInstance::OtherRaised)
        return 0;

    initialiseStaticData();

    // The built-in card family lives as long as the process: the window only
    // calls destroy() on it, and it is freed after the window has gone.
    auto cardFamily = std::make_unique<ZeltraFamily>();

    ZeltraAdminUtilityWindow window;
    window.addFamily(cardFamily.get());
    StartupPluginLoader::load(window, StartupPluginLoader::defaultRoot());

    QObject::connect(&instance, &RunningInstance::activationRequested, &window, &AdminUtilityWindow::bringToFront);
    window.show();
    if (openIndex >= 0)
        new StartupDeviceOpener(window, openIndex);
    return app.exec();
}
