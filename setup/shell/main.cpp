#include "adminutilityapplication.h"
#include "appdefaults.h"
#include "closeonsignal.h"
#include "runninginstance.h"
#include "startupdeviceopener.h"
#include "startuppluginloader.h"
#include "staticdata.h"
#include "uilanguage.h"
#include "zeltraadminutilitywindow.h"
#include "zeltrafamily.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

const char kHelp[] =
    "Usage: OndaviaSetup [OPTION]...\n"
    "Sets up the Ondavia devices of this computer: shows the cards and opens each\n"
    "card's settings. A second start raises the window that is already open.\n"
    "\n"
    "Options:\n"
    "  -n, --new-window  open another window even when the program is already running\n"
    "  -o, --open INDEX  open the settings of the device at INDEX of the window's\n"
    "                    device list (0 is the first); when the program is already\n"
    "                    running, in its window\n"
    "  -h, --help        print this help and exit\n"
    "      --version     print the version and exit\n";

struct Options
{
    bool newWindow = false;
    int openIndex = -1;
    bool help = false;
    bool version = false;
};

// Reads the options before anything needs a display. Qt's -platform,
// -display and -style are left to the application object; anything else
// unknown is refused in one line. False when refused.
bool readOptions(int argc, char** argv, Options& options)
{
    const auto refuse = [](const char* what, const char* argument) {
        std::fprintf(stderr, "OndaviaSetup: %s \"%s\" (see OndaviaSetup --help)\n", what, argument);
        return false;
    };
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* index = nullptr;
        if (!std::strcmp(a, "-n") || !std::strcmp(a, "--new-window")) {
            options.newWindow = true;
        } else if (!std::strcmp(a, "-h") || !std::strcmp(a, "--help")) {
            options.help = true;
        } else if (!std::strcmp(a, "--version")) {
            options.version = true;
        } else if (!std::strncmp(a, "--open=", 7)) {
            index = a + 7;
        } else if (!std::strcmp(a, "-o") || !std::strcmp(a, "--open")) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "OndaviaSetup: %s needs a device index (see OndaviaSetup --help)\n", a);
                return false;
            }
            index = argv[++i];
        } else if ((!std::strcmp(a, "-platform") || !std::strcmp(a, "-display") || !std::strcmp(a, "-style")) &&
                   i + 1 < argc) {
            ++i;
        } else {
            return refuse(a[0] == '-' ? "unknown option" : "unexpected argument", a);
        }
        if (index) {
            char* end = nullptr;
            errno = 0;
            const long value = std::strtol(index, &end, 10);
            if (!*index || *end || errno || value < 0 || value > 100000) {
                std::fprintf(stderr, "OndaviaSetup: \"%s\" is not a device index (0 is the first)\n", index);
                return false;
            }
            options.openIndex = int(value);
        }
    }
    return true;
}

QtMessageHandler s_qtHandler = nullptr;

// Without a display Qt aborts with advice meant for packagers; a user is
// told in one line, and the program ends with 1.
void noDisplayHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const char* category = context.category ? context.category : "";
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "OndaviaSetup: cannot open display %s\n",
                     display && *display ? display : "(DISPLAY is not set)");
        std::fflush(stderr);
        _exit(1);
    }
    if ((!std::strcmp(category, "qt.qpa.xcb") && message.contains(QLatin1String("could not connect to display"))) ||
        (!std::strcmp(category, "qt.qpa.plugin") && message.contains(QLatin1String("Could not load"))))
        return; // said in the line above
    s_qtHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!readOptions(argc, argv, options))
        return 2;
    // --help and --version answer on a terminal without a display.
    if (options.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("OndaviaSetup (Ondavia) %s\n", qPrintable(AppDefaults::aboutRelease()));
        return 0;
    }

    // Everything here is drawn by Qt's raster engine. Without this the xcb
    // plug-in sets up OpenGL when the first window is made: it loads the
    // whole GL driver stack (with a software renderer, a code generator of
    // some 40 MiB) before the window can map, and nothing ever uses it. A
    // value the user set is kept.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    // Icons drawn for a high-density screen keep their logical size.
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    s_qtHandler = qInstallMessageHandler(noDisplayHandler);
    AdminUtilityApplication app(argc, argv);
    qInstallMessageHandler(s_qtHandler);
    UiLanguage::install(&app, QStringLiteral("OndaviaSetup"));
    app.setWindowIcon(AppDefaults::aboutIcon());
    QCoreApplication::setApplicationVersion(AppDefaults::aboutRelease());

    // Queued signals of the card model carry these.
    qRegisterMetaType<uint32_t>("uint32_t");
    qRegisterMetaType<uint64_t>("uint64_t");

    // A second start raises the window that is already open, and opens the
    // device asked for in it.
    RunningInstance instance;
    if (!options.newWindow) {
        switch (instance.start(options.openIndex)) {
        case RunningInstance::OtherRaised:
            return 0;
        case RunningInstance::OtherRefused:
            std::fprintf(stderr, "OndaviaSetup: %s\n", qPrintable(instance.refusal()));
            return 1;
        case RunningInstance::Listening:
        case RunningInstance::Alone:
            break;
        }
    }

    initialiseStaticData();

    // The built-in card family lives as long as the process: the window only
    // calls destroy() on it, and it is freed after the window has gone.
    auto cardFamily = std::make_unique<ZeltraFamily>();

    ZeltraAdminUtilityWindow window;
    window.addFamily(cardFamily.get());
    StartupPluginLoader::load(window, StartupPluginLoader::defaultRoot());

    QObject::connect(&instance, &RunningInstance::activationRequested, &window,
                     &AdminUtilityWindow::bringToFront);
    instance.setOpenHandler([&window](int index) { return StartupDeviceOpener::openNow(window, index); });
    CloseOnSignal closeOnSignal(&window);
    window.show();
    if (options.openIndex >= 0)
        new StartupDeviceOpener(window, options.openIndex);
    return app.exec();
}
