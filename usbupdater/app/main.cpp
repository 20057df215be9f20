// OndaviaUpdater: watches the USB bus for the maker's units, offers and runs
// their firmware updates, and ends on SIGINT or SIGTERM while idle.
#include "devicemanager.h"
#include "firmwareupdatecontroller.h"
#include "guiviewcontroller.h"
#include "ondaviaxmeganotifier.h"
#include "signalrelay.h"
#include "uilanguage.h"

#include <QApplication>
#include <QMetaObject>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

const char kHelp[] =
    "Usage: OndaviaUpdater [OPTION]...\n"
    "Watches the USB bus for Ondavia units and offers to update the firmware of each\n"
    "unit that is plugged in, from the packages in the Firmware folder beside the\n"
    "program. SIGINT or SIGTERM ends it; while an update is offered or running it\n"
    "ends once that is over.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "Environment:\n"
    "  USB_DEVFS_PATH  folder of the USB bus nodes (default /dev/bus/usb)\n";

enum class Request { Run, Help, Version, Refused };

// The program takes no options of its own beyond these two, which answer
// without a display; Qt's -platform, -display and -style are left to the
// application object. Anything else is refused in one line.
Request readArguments(int argc, char** argv)
{
    Request request = Request::Run;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            request = Request::Help;
        } else if (!std::strcmp(a, "--version")) {
            if (request == Request::Run)
                request = Request::Version;
        } else if ((!std::strcmp(a, "-platform") || !std::strcmp(a, "-display") || !std::strcmp(a, "-style")) &&
                   i + 1 < argc) {
            ++i;
        } else {
            std::fprintf(stderr, "OndaviaUpdater: %s \"%s\" (see OndaviaUpdater --help)\n",
                         a[0] == '-' ? "unknown option" : "unexpected argument", a);
            return Request::Refused;
        }
    }
    return request;
}

QtMessageHandler s_qtHandler = nullptr;

// Without a display Qt aborts with advice meant for packagers; a user is
// told in one line, and the program ends with 1.
void noDisplayHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const char* category = context.category ? context.category : "";
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "OndaviaUpdater: cannot open display %s\n",
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
    switch (readArguments(argc, argv)) {
    case Request::Refused:
        return 2;
    case Request::Help:
        std::fputs(kHelp, stdout);
        return 0;
    case Request::Version:
        std::puts("OndaviaUpdater (Ondavia) " ONDAVIA_VERSION);
        return 0;
    case Request::Run:
        break;
    }
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    s_qtHandler = qInstallMessageHandler(noDisplayHandler);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(s_qtHandler);
    UiLanguage::install(app.get(), QStringLiteral("OndaviaUpdater"));
    installSignalHandlers();
    QApplication::setQuitOnLastWindowClosed(false);

    // The model family's notifier, for the whole run.
    OndaviaXmegaNotifier notifier;

    auto controller = std::make_unique<FirmwareUpdateController>();
    // Queued: a signal that came before the event loop still ends it.
    controller->setShutdownHandler([] { QMetaObject::invokeMethod(qApp, "quit", Qt::QueuedConnection); });
    auto view = std::make_unique<GUIViewController>(controller.get());
    SignalRelay::instance()->registerController(controller.get());

    int status = 1;
    if (controller->init(std::move(view))) {
        status = app->exec();
    } else {
        std::fprintf(stderr, "OndaviaUpdater: the USB device file system cannot be watched "
                             "(set USB_DEVFS_PATH to the folder of the bus nodes)\n");
    }
    SignalRelay::instance()->registerController(nullptr);
    controller.reset();
    notifier.stop();
    DeviceManager::instance().removeAll();
    app.reset();
    return status;
}
