// bench-usbupdate: one firmware update of an emulated unit, end to end, with
// the unit's erase, programming and reboot times set to what the real parts
// take. Prints the wall time from the user's "OK" to the outcome message and
// the time the unit itself was busy, which no host could beat.
//
//   bench-usbupdate [--fpga-kib N] [--app-kib N]
//
// Runs the updater's own controller, notifier chain and dialogs on a umockdev
// USB bus in this process (restarting itself under the preload), and answers
// the two messages itself.

#include "appimage.h"
#include "devicemanager.h"
#include "firmwareupdatecontroller.h"
#include "firmwareupdatedialog.h"
#include "guiviewcontroller.h"
#include "ondaviaxmeganotifier.h"
#include "packagewriter.h"
#include "usbdevfstestbed.h"
#include "xmegaunit.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kOldVersion = 3, kNewVersion = 5;

// Timings of the parts on the real unit: a 4 KiB sector erase and a 256-byte
// page program of the serial flash that holds the FPGA image, the XMEGA's
// application section erase and its 512-byte page writes, and the time from
// a reboot request to leaving the bus and from there to enumeration.
xmegasim::UnitConfig realisticUnit()
{
    xmegasim::UnitConfig config;
    config.eraseMsPerSector = 45;
    config.writeUsPerPage = 700;
    config.flashEraseMs = 50;
    config.flashPageSize = 512;
    config.flashWriteUsPerPage = 4000;
    config.rebootLeaveMs = 20;
    config.rebootArriveMs = 400;
    return config;
}

std::vector<uint8_t> fpgaImage(uint8_t version, size_t size)
{
    std::vector<uint8_t> image(size);
    uint32_t x = 0x2545F491u;
    for (uint8_t& b : image) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        b = uint8_t(x);
    }
    // Version header: valid, the version, and two bytes that are not erased.
    image[0] = 0;
    image[1] = version;
    image[2] = 0x3C;
    image[3] = 0xC3;
    return image;
}

bool writePackage(const std::string& path, const std::vector<uint8_t>& app, const std::vector<uint8_t>& fpga)
{
    using namespace MVNFirmwarePackage;
    PackageWriter writer;
    for (int part = 0; part < 2; ++part) {
        ImageSpec image;
        image.data = part == 0 ? app : fpga;
        image.version = kNewVersion;
        image.format = part == 0 ? XMEGA : BINARY;
        DeviceHeaderSpec header;
        header.device_id = UsbDeviceId(xmegasim::kUnitVendorId, xmegasim::kUnitProductId);
        header.resource_id = uint8_t(part);
        image.devices.push_back(header);
        writer.addImage(std::move(image));
    }
    return writer.writeFile(path);
}

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (!xmegasim::UsbDevfsTestBed::preloadActive()) {
        setenv("LD_PRELOAD", "libumockdev-preload.so.0", 1);
        execv("/proc/self/exe", argv);
        std::perror("bench-usbupdate: cannot restart under the umockdev preload");
        return 1;
    }
    size_t fpgaKib = 256, appKib = 64;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--fpga-kib")
            fpgaKib = std::strtoul(argv[i + 1], nullptr, 10);
        else if (a == "--app-kib")
            appKib = std::strtoul(argv[i + 1], nullptr, 10);
    }
    if (argc % 2 == 0 || fpgaKib < 1 || fpgaKib > 2048 || appKib < 1 || appKib > 120) {
        std::fprintf(stderr, "usage: bench-usbupdate [--fpga-kib 1..2048] [--app-kib 1..120]\n");
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QTemporaryDir packages;
    const std::vector<uint8_t> newApp = xmegasim::AppImage::build(kNewVersion, appKib * 1024, 2);
    const std::vector<uint8_t> newFpga = fpgaImage(kNewVersion, fpgaKib * 1024);
    if (!packages.isValid() || !writePackage(packages.filePath("unit.bin").toStdString(), newApp, newFpga)) {
        std::fprintf(stderr, "bench-usbupdate: cannot write the package\n");
        return 1;
    }

    // The unit first, so that it outlives the bus.
    xmegasim::UnitConfig config = realisticUnit();
    config.eeproms[0].size = std::max<uint64_t>(config.eeproms[0].size, fpgaKib * 2048);
    xmegasim::XmegaUnit unit(config);
    unit.loadApplication(xmegasim::AppImage::build(kOldVersion, appKib * 1024, 1));
    unit.setEepromContents(0, 0, fpgaImage(kOldVersion, fpgaKib * 1024));
    xmegasim::UsbDevfsTestBed bed;
    std::chrono::microseconds busyBefore{0};
    const int unitId = bed.addUnit(unit);

    int status = 1;
    Clock::time_point accepted, finished;
    {
        OndaviaXmegaNotifier notifier;
        auto controller = std::make_unique<FirmwareUpdateController>();
        controller->addPaths({packages.path().toStdString()});
        controller->setShutdownHandler([] {});
        auto view = std::make_unique<GUIViewController>(controller.get());
        if (!controller->init(std::move(view))) {
            std::fprintf(stderr, "bench-usbupdate: the emulated bus cannot be watched\n");
            return 1;
        }

        // The first message is the offer, the second the outcome.
        int answered = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<FirmwareUpdateDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            if (answered == 0) {
                accepted = Clock::now();
                busyBefore = unit.busyTime();
            }
            else
                finished = Clock::now();
            if (answered == 1)
                std::fprintf(stderr, "bench-usbupdate: %s\n", qPrintable(dialog->title()));
            ++answered;
            dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
            if (answered == 2)
                QTimer::singleShot(0, &app, &QApplication::quit);
        });
        poll.start(2);
        QTimer::singleShot(120000, &app, [&] {
            std::fprintf(stderr, "bench-usbupdate: no outcome after 120 s\n");
            app.quit();
        });
        app.exec();

        const bool updated = answered == 2 && unit.applicationVersion() == kNewVersion
                             && unit.eepromContents(0, 0, newFpga.size()) == newFpga;
        if (updated) {
            const double busy = double((unit.busyTime() - busyBefore).count()) / 1000.0;
            const double wall = ms(finished - accepted);
            std::printf("wall_ms=%.0f busy_ms=%.0f reboots=%u\n", wall, busy, unit.rebootCount());
            status = 0;
        } else {
            std::fprintf(stderr, "bench-usbupdate: the unit was not updated\n");
        }
        controller.reset();
        notifier.stop();
        DeviceManager::instance().removeAll();
    }
    bed.removeUnit(unitId);
    return status;
}
