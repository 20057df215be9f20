// OndaviaUpdater: watches the USB bus for the maker's units, offers and runs
// their firmware updates, and ends on SIGINT or SIGTERM while idle.
#include "devicemanager.h"
#include "firmwareupdatecontroller.h"
#include "guiviewcontroller.h"
#include "ondaviaxmeganotifier.h"
#include "signalrelay.h"

#include <QApplication>
#include <QMetaObject>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char kHelp[] =
    "Usage: OndaviaUpdater [OPTION]\n"
    "Watches the USB bus for Ondavia units and offers to update the firmware of each\n"
    "unit that is plugged in, from the packages in the Firmware folder beside the\n"
    "program. SIGINT or SIGTERM ends it while no update is offered or running.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "Environment:\n"
    "  USB_DEVFS_PATH  folder of the USB bus nodes (default /dev/bus/usb)\n";

// The program takes no options of its own; these two answer without a
// display, before the GUI application is made.
bool answeredHelpOrVersion(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kHelp, stdout);
            return true;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::puts("OndaviaUpdater (Ondavia) " ONDAVIA_VERSION);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (answeredHelpOrVersion(argc, argv))
        return 0;
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    auto app = std::make_unique<QApplication>(argc, argv);
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
