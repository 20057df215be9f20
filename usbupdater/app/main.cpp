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
#include <memory>

int main(int argc, char** argv)
{
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
