// ondavia-usb-fault-sweep: cuts a full update of an emulated unit (the
// controller application through the bootloader, then the FPGA image in the
// EEPROM) at every transfer in turn with an unplug, a stall and a time-out,
// and checks after each that the updater still finishes its jobs, that the
// unit never shows the package's version over an incomplete image, and that
// re-plugging the unit completes the update.
//
//   ondavia-usb-fault-sweep [--sample K] [--kind unplug|stall|timeout] [--point KIND:N]... [--verbose]
//
// The unit sits on the in-process bus; everything above the USB objects is
// the updater's own: notifier chain, device manager, controller, task queue
// and update. This program's main thread plays the GUI thread and answers
// the questions the view is asked. Exit status 0 when no point failed.
#include "appimage.h"
#include "device.h"
#include "devicemanager.h"
#include "firmwareupdatecontroller.h"
#include "inprocessbus.h"
#include "ondaviaxmegadevice.h"
#include "ondaviaxmeganotifier.h"
#include "unitrig.h"
#include "updateview.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using xmegasim::FaultKind;
using xmegasim::XmegaUnit;

namespace {

constexpr uint32_t kAppVersion = 5;
constexpr uint8_t kFpgaVersion = 6;
// Two flash chunks, and two bulk chunks with a zero-length packet between.
constexpr size_t kAppSize = 4000;
constexpr size_t kFpgaSize = 40000;
constexpr int kOutcomeMs = 40000; // two reboot waits and a few time-outs fit easily

const std::vector<uint8_t>& appImage()
{
    static const std::vector<uint8_t> image = xmegasim::AppImage::build(kAppVersion, kAppSize, 2);
    return image;
}

const std::vector<uint8_t>& fpgaImage()
{
    static const std::vector<uint8_t> image = TestImages::fpga(kFpgaVersion, kFpgaSize, 3);
    return image;
}

struct Kind
{
    FaultKind kind;
    const char* name;
};
const Kind kKinds[] = {{FaultKind::Unplug, "unplug"}, {FaultKind::Stall, "stall"}, {FaultKind::Timeout, "timeout"}};

// Points that once found a fault: always part of a sampled run.
struct KeptPoint
{
    const char* kind;
    int index;
};
// The reboot request into the bootloader and back (5, 17) and the unit's
// first answers after it (6, 7; 18, 19) once left a Device that swallowed the
// re-plugged unit as the end of a reboot nobody waited for.
const std::vector<KeptPoint> kKeptPoints = {{"unplug", 5}, {"stall", 18}, {"timeout", 6}, {"stall", 17}};

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// What the controller shows, in order, for the main thread to answer.
class SweepView : public UpdateView
{
public:
    struct Shown
    {
        std::shared_ptr<Device> device;
        uint32_t state = 0;
    };

    void update(std::shared_ptr<Device> device) override
    {
        if (!device)
            return;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_shown.push_back({device, device->state()});
        m_changed.notify_all();
    }

    // The next question or outcome (progress is skipped); false on time-out.
    bool next(Shown* out, int timeoutMs)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            while (!m_shown.empty()) {
                Shown s = std::move(m_shown.front());
                m_shown.pop_front();
                if (s.state != Device::StateUpdating) {
                    *out = std::move(s);
                    return true;
                }
            }
            if (m_changed.wait_until(lock, end) == std::cv_status::timeout && m_shown.empty())
                return false;
        }
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Shown> m_shown;
};

// One unit on the in-process bus, reported through the updater's notifier
// as the USB layer reports a device. Counts the arrivals fully handled.
class BusUnit
{
public:
    BusUnit(uint16_t serial, OndaviaXmegaUSBNotifier& notifier)
    {
        xmegasim::UnitConfig config;
        config.uuid[14] = uint8_t(serial >> 8);
        config.uuid[15] = uint8_t(serial);
        unit = std::make_shared<XmegaUnit>(config);
        unit->loadApplication(xmegasim::AppImage::build(kAppVersion - 2, kAppSize, 1));
        unit->setEepromContents(0, 0, TestImages::fpga(kFpgaVersion - 2, kFpgaSize, 9));
        const XmegaUSBDevice::UUID uuid = [&] {
            XmegaUSBDevice::UUID u;
            std::memcpy(u.bytes, config.uuid.data(), sizeof u.bytes);
            return u;
        }();
        id = OndaviaXmegaDevice::FormatUUID(uuid);
        bus = std::make_unique<xmegasim::InProcessBus>(
            unit,
            [this, &notifier](MVN::USB::IUSBDevice* d) {
                notifier.deviceAddedNotification(d);
                ++arrivals;
            },
            [this, &notifier](MVN::USB::IUSBDevice* d) {
                notifier.deviceRemovedNotification(d);
                ++removals;
            });
    }

    bool imagesCurrent() const
    {
        return unit->applicationVersion() == kAppVersion && unit->flashContents(kAppSize) == appImage()
               && unit->eepromContents(0, 0, kFpgaSize) == fpgaImage();
    }

    // The unit, read directly, shows a part at the package's version while
    // that part's image is not the package's.
    std::string claimsOverPartial() const
    {
        if (unit->applicationVersion() == kAppVersion && unit->flashContents(kAppSize) != appImage())
            return "controller application";
        const std::vector<uint8_t> header = unit->eepromContents(0, 0, 4);
        const bool headerComplete = header.size() == 4 && header[0] == 0 && header[1] == kFpgaVersion
                                    && !(header[2] == 0xFF && header[3] == 0xFF);
        if (headerComplete && unit->eepromContents(0, 0, kFpgaSize) != fpgaImage())
            return "FPGA image";
        return {};
    }

    std::shared_ptr<XmegaUnit> unit;
    std::string id;
    std::atomic<unsigned> arrivals{0};
    std::atomic<unsigned> removals{0};
    std::unique_ptr<xmegasim::InProcessBus> bus; // last: goes first
};

// The parts the updater read as current on a unit's arrival must be whole.
std::string versionsOverPartial(const Device& device, const BusUnit& unit)
{
    for (const Firmware& f : device.firmware()) {
        if (f.deviceVersion != f.packageVersion)
            continue;
        if (f.index == 0 && unit.unit->flashContents(kAppSize) != appImage())
            return "updater read the application as current over an incomplete image";
        if (f.index == 1 && unit.unit->eepromContents(0, 0, kFpgaSize) != fpgaImage())
            return "updater read the FPGA image as current over an incomplete image";
    }
    return {};
}

struct Result
{
    std::string failure; // empty: the point passed
    bool reached = true; // the fault hit a transfer
    bool fatal = false;  // the updater no longer answers: stop sweeping
    size_t transfers = 0;
    std::vector<std::string> trace; // the counted transfers, when asked for
    std::string replug;            // what the re-plug found
};

class Sweep
{
public:
    explicit Sweep(const std::string& packages)
    {
        auto owned = std::make_unique<SweepView>();
        m_view = owned.get();
        m_controller.addPaths({packages});
        m_controller.addNotifiers({&m_notifier});
        m_initialised = m_controller.init(std::move(owned));
    }
    ~Sweep() { DeviceManager::instance().removeAll(); }

    bool initialised() const { return m_initialised; }

    // A full update with the fault at transfer index (none when negative),
    // then the re-plug that must complete it.
    Result run(FaultKind kind, int index)
    {
        Result r;
        BusUnit unit(++m_serial, m_notifier.usbNotifier());
        SweepView::Shown shown;
        if (!offered(unit, &shown, &r))
            return r;
        unit.unit->clearLog();
        if (index >= 0)
            unit.unit->addFault(xmegasim::UnitFault::atTransfer(index, kind));
        m_controller.processUpdateAvilable(shown.device, true);
        if (!outcome(shown.device, &r))
            return r;
        r.transfers = countTransfers(*unit.unit, index < 0 ? &r.trace : nullptr);
        r.reached = index < 0 || unit.unit->faultsFired() > 0;
        if (index < 0 && shown.device->state() != Device::StateFinished)
            return fail(&r, "the update without a fault failed");
        m_controller.processUpdateComplete(shown.device, true);
        if (!waitUntil([&] { return !m_controller.isBusy(); }, 5000))
            return fatal(&r, "still busy after the outcome was confirmed");
        waitUntil([&] { return !unit.unit->eepromBusy(); }, 5000);
        if (const std::string part = unit.claimsOverPartial(); !part.empty())
            return fail(&r, "the unit shows the new version over an incomplete " + part);
        if (index < 0)
            return r;

        // The cable, out and in again: the update must now complete.
        unit.unit->clearFaults();
        if (!replug(unit, &r))
            return r;
        const unsigned seen = unit.arrivals;
        if (m_view->next(&shown, 0)) {
            r.replug = "offered";
            if (shown.state != Device::StateUpdateAvailable || shown.device->uniqueID() != unit.id)
                return fail(&r, "re-plug: unexpected state " + std::to_string(shown.state) + " shown");
            if (const std::string claim = versionsOverPartial(*shown.device, unit); !claim.empty())
                return fail(&r, "re-plug: " + claim);
            m_controller.processUpdateAvilable(shown.device, true);
            if (!outcome(shown.device, &r))
                return r;
            const bool finished = shown.device->state() == Device::StateFinished;
            m_controller.processUpdateComplete(shown.device, true);
            if (!finished)
                return fail(&r, "re-plug: the update failed");
            if (!unit.imagesCurrent())
                return fail(&r, "re-plug: the update succeeded but the unit's images differ from the package");
        } else if (unit.imagesCurrent()) {
            r.replug = "already current";
        } else {
            std::shared_ptr<Device> known = DeviceManager::instance().getDevice(unit.id);
            return fail(&r, std::string("re-plug: not offered over incomplete images (")
                                + (known ? "its Device is kept" : "no Device") + ", "
                                + std::to_string(unit.arrivals - seen + 1) + " arrival)");
        }
        if (!waitUntil([&] { return !m_controller.isBusy(); }, 5000))
            return fatal(&r, "still busy after the re-plug update");

        // Unplugged for good, the unit leaves nothing behind.
        const unsigned removed = unit.removals;
        unit.unit->unplug();
        waitUntil([&] { return unit.removals > removed; }, 5000);
        if (DeviceManager::instance().getDevice(unit.id))
            return fail(&r, "its Device outlives the unplugged unit");
        return r;
    }

private:
    static Result& fail(Result* r, const std::string& why)
    {
        r->failure = why;
        return *r;
    }
    static Result& fatal(Result* r, const std::string& why)
    {
        r->fatal = true;
        return fail(r, why);
    }

    bool offered(BusUnit& unit, SweepView::Shown* shown, Result* r)
    {
        if (!m_view->next(shown, 10000)) {
            fatal(r, "the outdated unit was not offered");
            return false;
        }
        if (shown->state != Device::StateUpdateAvailable || shown->device->uniqueID() != unit.id) {
            fatal(r, "unexpected state " + std::to_string(shown->state) + " instead of the offer");
            return false;
        }
        return true;
    }

    bool outcome(const std::shared_ptr<Device>& device, Result* r)
    {
        SweepView::Shown shown;
        if (!m_view->next(&shown, kOutcomeMs)) {
            fatal(r, "no outcome: the update hangs");
            return false;
        }
        if (shown.device != device
            || (shown.state != Device::StateFinished && shown.state != Device::StateFailed)) {
            fatal(r, "unexpected state " + std::to_string(shown.state) + " instead of the outcome");
            return false;
        }
        return true;
    }

    bool replug(BusUnit& unit, Result* r)
    {
        // A unit an unplug fault took away is already off the bus.
        const unsigned removed = unit.removals;
        const bool present = unit.unit->present();
        unit.unit->unplug();
        if (present)
            waitUntil([&] { return unit.removals > removed; }, 5000);
        const unsigned arrived = unit.arrivals;
        unit.unit->plugIn();
        if (!waitUntil([&] { return unit.arrivals > arrived; }, 10000)) {
            fail(r, "re-plug: the unit was not reported again");
            return false;
        }
        return true;
    }

    // The transfers a fault can hit: vendor control requests and bulk.
    static size_t countTransfers(const XmegaUnit& unit, std::vector<std::string>* trace)
    {
        size_t n = 0;
        for (const XmegaUnit::LogEntry& e : unit.log()) {
            const bool control = e.kind == XmegaUnit::LogEntry::Control;
            if ((control && (e.requestType & 0x60) == 0) || e.status == xmegasim::TransferStatus::NoDevice)
                continue;
            ++n;
            if (!trace)
                continue;
            char text[64];
            if (control)
                std::snprintf(text, sizeof text, "control 0x%02x 0x%02x value %u length %u", e.requestType,
                              e.request, e.value, e.length);
            else
                std::snprintf(text, sizeof text, "bulk 0x%02x length %u", e.endpoint, e.length);
            trace->push_back(text);
        }
        return n;
    }

    OndaviaXmegaNotifier m_notifier; // first: outlives the controller
    FirmwareUpdateController m_controller{false};
    SweepView* m_view = nullptr; // owned by the controller
    bool m_initialised = false;
    uint16_t m_serial = 0;
};

struct Options
{
    int sample = 1;
    std::vector<const Kind*> kinds;
    std::vector<std::pair<const Kind*, int>> points;
    bool verbose = false;
};

const Kind* kindNamed(const std::string& name)
{
    for (const Kind& k : kKinds)
        if (name == k.name)
            return &k;
    return nullptr;
}

int usage()
{
    std::fprintf(stderr, "usage: ondavia-usb-fault-sweep [--sample K] [--kind unplug|stall|timeout] "
                         "[--point KIND:N]... [--verbose]\n");
    return 2;
}

bool parse(int argc, char** argv, Options* o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--sample" && hasValue) {
            o->sample = std::atoi(argv[++i]);
            if (o->sample < 1)
                return false;
        } else if (a == "--kind" && hasValue) {
            const Kind* k = kindNamed(argv[++i]);
            if (!k)
                return false;
            o->kinds.push_back(k);
        } else if (a == "--point" && hasValue) {
            const std::string p = argv[++i];
            const size_t colon = p.find(':');
            const Kind* k = colon == std::string::npos ? nullptr : kindNamed(p.substr(0, colon));
            if (!k)
                return false;
            o->points.push_back({k, std::atoi(p.c_str() + colon + 1)});
        } else if (a == "--verbose") {
            o->verbose = true;
        } else {
            return false;
        }
    }
    if (o->kinds.empty())
        for (const Kind& k : kKinds)
            o->kinds.push_back(&k);
    return true;
}

// A package folder with the unit's two parts, and an empty USB bus for the
// USB layer to watch (units reach the notifier from the in-process bus).
bool makeFolders(std::string* packages)
{
    char dir[] = "/tmp/ondavia-sweep-XXXXXX";
    if (!mkdtemp(dir))
        return false;
    const std::string root = dir;
    *packages = root + "/Firmware";
    if (mkdir(packages->c_str(), 0700) != 0 || mkdir((root + "/bus").c_str(), 0700) != 0
        || mkdir((root + "/bus/001").c_str(), 0700) != 0)
        return false;
    setenv("USB_DEVFS_PATH", (root + "/bus").c_str(), 1);
    TestImages::Part app;
    app.resourceId = 0;
    app.version = kAppVersion;
    app.data = appImage();
    TestImages::Part fpga;
    fpga.resourceId = 1;
    fpga.version = kFpgaVersion;
    fpga.data = fpgaImage();
    fpga.compress = true;
    return TestImages::writePackage(*packages + "/streamport.bin", {app, fpga});
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, &options))
        return usage();
    std::string packages;
    if (!makeFolders(&packages)) {
        std::fprintf(stderr, "ondavia-usb-fault-sweep: cannot make the package folder\n");
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    Sweep sweep(packages);
    if (!sweep.initialised()) {
        std::fprintf(stderr, "ondavia-usb-fault-sweep: the controller did not start\n");
        return 1;
    }
    const Result clean = sweep.run(FaultKind::Stall, -1);
    if (!clean.failure.empty()) {
        std::fprintf(stderr, "ondavia-usb-fault-sweep: %s\n", clean.failure.c_str());
        return 1;
    }
    std::printf("transfers of a full update: %zu\n", clean.transfers);
    if (options.verbose)
        for (size_t i = 0; i < clean.trace.size(); ++i)
            std::printf("  %3zu %s\n", i, clean.trace[i].c_str());

    // Every transfer, or every K-th (a different residue per kind), and the
    // points kept from earlier findings.
    std::vector<std::pair<const Kind*, int>> points = options.points;
    if (points.empty()) {
        for (const Kind* k : options.kinds) {
            const int offset = int(k - kKinds) % options.sample;
            for (int i = offset; i < int(clean.transfers); i += options.sample)
                points.push_back({k, i});
            for (const KeptPoint& kept : kKeptPoints)
                if (options.sample > 1 && kindNamed(kept.kind) == k && kept.index % options.sample != offset)
                    points.push_back({k, kept.index});
        }
    }

    struct Tally
    {
        int points = 0, failures = 0, unreached = 0;
    };
    std::vector<Tally> tally(std::size(kKinds));
    int failures = 0;
    for (const auto& [kind, index] : points) {
        const auto pointStart = std::chrono::steady_clock::now();
        const Result r = sweep.run(kind->kind, index);
        Tally& t = tally[size_t(kind - kKinds)];
        ++t.points;
        t.unreached += r.reached ? 0 : 1;
        const long ms = long(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - pointStart)
                                 .count());
        if (!r.failure.empty()) {
            ++t.failures;
            ++failures;
            std::printf("FAIL %s:%d: %s\n", kind->name, index, r.failure.c_str());
        } else if (options.verbose) {
            std::printf("ok   %s:%d (%ld ms, re-plug: %s%s)\n", kind->name, index, ms, r.replug.c_str(),
                        r.reached ? "" : ", not reached");
        }
        std::fflush(stdout);
        if (r.fatal) {
            std::printf("the updater no longer answers: sweep stopped\n");
            break;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (size_t k = 0; k < tally.size(); ++k)
        if (tally[k].points)
            std::printf("%-8s %d points, %d failures, %d not reached\n", kKinds[k].name, tally[k].points,
                        tally[k].failures, tally[k].unreached);
    int swept = 0;
    for (const Tally& t : tally)
        swept += t.points;
    std::printf("points swept: %d, failures: %d (%.1f s)\n", swept, failures, seconds);
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(packages).parent_path(), ignored);
    return failures == 0 ? 0 : 1;
}
