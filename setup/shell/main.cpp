#include "adminutilityapplication.h"
#include "appdefaults.h"
#include "runninginstance.h"
#include "startupdeviceopener.h"
#include "startuppluginloader.h"
#include "staticdata.h"
#include "zeltraadminutilitywindow.h"
#include "zeltrafamily.h"

#include <QCommandLineParser>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace {

struct Options
{
    QCommandLineOption newWindow{
        {QStringLiteral("n"), QStringLiteral("new-window")},
        QCoreApplication::translate("main", "Open another window even when the program is already running.")};
    QCommandLineOption openDevice{
        {QStringLiteral("o"), QStringLiteral("open")},
        QCoreApplication::translate(
            "main", "Open the settings of the device at <index> of the list (0 is the first)."),
        QStringLiteral("index")};

    void addTo(QCommandLineParser& parser) const
    {
        parser.setApplicationDescription(
            QCoreApplication::translate("main", "Sets up the Ondavia devices of this computer."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(newWindow);
        parser.addOption(openDevice);
    }
};

bool asksForHelpOrVersion(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--")
            break;
        if (a == "-h" || a == "--help" || a == "-?" || a == "--help-all" || a == "-v" || a == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // --help and --version answer on a terminal without a display: the GUI
    // application, which needs one, is not made for them.
    if (asksForHelpOrVersion(argc, argv)) {
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationVersion(AppDefaults::aboutRelease());
        QCommandLineParser parser;
        const Options options;
        options.addTo(parser);
        parser.process(core); // prints and exits
        return 0;
    }

    AdminUtilityApplication app(argc, argv);
    app.setWindowIcon(AppDefaults::aboutIcon());
    QCoreApplication::setApplicationVersion(AppDefaults::aboutRelease());

    // Queued signals of the card model carry these.
    qRegisterMetaType<uint32_t>("uint32_t");
    qRegisterMetaType<uint64_t>("uint64_t");

    QCommandLineParser parser;
    const Options options;
    options.addTo(parser);
    parser.process(app);

    int openIndex = -1;
    if (parser.isSet(options.openDevice)) {
        bool ok = false;
        openIndex = parser.value(options.openDevice).toInt(&ok);
        if (!ok || openIndex < 0) {
            std::fprintf(
                stderr, "%s\n",
                qPrintable(QCoreApplication::translate("main", "--open needs a device index of 0 or more.")));
            return 2;
        }
    }

    // A second start raises the window that is already open.
    RunningInstance instance;
    if (!parser.isSet(options.newWindow) && instance.start() == RunningInstance::OtherRaised)
        return 0;

    initialiseStaticData();

    // The built-in card family lives as long as the process: the window only
    // calls destroy() on it, and it is freed after the window has gone.
    auto cardFamily = std::make_unique<ZeltraFamily>();

    ZeltraAdminUtilityWindow window;
    window.addFamily(cardFamily.get());
    StartupPluginLoader::load(window, StartupPluginLoader::defaultRoot());

    QObject::connect(&instance, &RunningInstance::activationRequested, &window,
                     &AdminUtilityWindow::bringToFront);
    window.show();
    if (openIndex >= 0)
        new StartupDeviceOpener(window, openIndex);
    return app.exec();
}
