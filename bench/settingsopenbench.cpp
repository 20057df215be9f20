// bench-settingsopen: how long the setup utility takes to open a card's
// settings window, from the request to the end of its first paint, with the
// main window already up. Runs the program's own window and card family over
// the card simulator, opens every card's settings a few times and prints the
// times.
//
//   bench-settingsopen [--runs N]

#include "adminutilityapplication.h"
#include "devicelist.h"
#include "staticdata.h"
#include "visibledevice.h"
#include "zeltraadminutilitywindow.h"
#include "zeltrafamily.h"
#include "zeltraproductcard.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Notes the end of every paint of the watched widget or its children.
class PaintWatch : public QObject
{
public:
    QPointer<QWidget> watched;
    QElapsedTimer* clock = nullptr;
    qint64 lastPaintNs = -1;
    int paints = 0;

    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || !watched)
            return false;
        auto* widget = qobject_cast<QWidget*>(object);
        if (!widget || (widget != watched && !watched->isAncestorOf(widget)))
            return false;
        // Filters run before the paint; the paint itself happens once this
        // returns, so take the time on the next one, or after the loop.
        ++paints;
        lastPaintNs = clock->nsecsElapsed();
        return false;
    }
};

void spin(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    if (argc == 3 && std::string(argv[1]) == "--runs")
        runs = std::atoi(argv[2]);
    if ((argc != 1 && argc != 3) || runs < 1 || runs > 100) {
        std::fprintf(stderr, "usage: bench-settingsopen [--runs 1..100]\n");
        return 2;
    }
    AdminUtilityApplication app(argc, argv);
    initialiseStaticData();
    auto family = std::make_unique<ZeltraFamily>();
    ZeltraAdminUtilityWindow window;
    window.addFamily(family.get());
    window.show();

    QElapsedTimer wait;
    wait.start();
    while (window.deviceList().numberOfDevice() == 0 && wait.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    spin(500); // the rest of the cards and the first paints of the window
    const int cards = window.deviceList().numberOfDevice();
    if (cards == 0) {
        std::fprintf(stderr, "bench-settingsopen: no card appeared\n");
        return 1;
    }

    PaintWatch watch;
    QElapsedTimer clock;
    watch.clock = &clock;
    app.installEventFilter(&watch);
    std::vector<double> times;
    std::vector<std::vector<double>> perCard(static_cast<size_t>(cards));
    double first = -1;
    for (int run = 0; run < runs; ++run) {
        for (int index = 0; index < cards; ++index) {
            VisibleDevice* device = window.deviceList().deviceAt(index);
            watch.paints = 0;
            watch.lastPaintNs = -1;
            clock.start();
            window.showDevice(device);
            auto* card = window.findChild<ZeltraProductCard*>();
            if (!card) {
                std::fprintf(stderr, "bench-settingsopen: card %d opened no settings\n", index);
                return 1;
            }
            watch.watched = card;
            // Done once an event round after a paint paints nothing more.
            qint64 end = -1;
            while (clock.elapsed() < 5000) {
                const int before = watch.paints;
                QCoreApplication::sendPostedEvents();
                QCoreApplication::processEvents();
                const qint64 now = clock.nsecsElapsed();
                if (watch.paints > before)
                    end = now; // the round that painted has ended
                else if (watch.paints > 0)
                    break;
            }
            if (end < 0) {
                std::fprintf(stderr, "bench-settingsopen: card %d was never painted\n", index);
                return 1;
            }
            const double ms = double(end) / 1e6;
            if (first < 0)
                first = ms;
            times.push_back(ms);
            perCard[size_t(index)].push_back(ms);
            std::fprintf(stderr, "bench-settingsopen: run %d card %d (%s): %.1f ms\n", run, index,
                         qPrintable(device->modelName()), ms);
            // Outside a running event loop a deferred delete may wait; the
            // next open must not find this card.
            card->closeCard();
            delete card;
            watch.watched = nullptr;
            spin(150);
        }
    }
    // The goal holds for every card, so the slowest card's median is the
    // figure that counts; the overall median says what is typical.
    double worst = 0;
    int worstIndex = 0;
    for (int index = 0; index < cards; ++index) {
        const double m = median(perCard[size_t(index)]);
        if (m > worst) {
            worst = m;
            worstIndex = index;
        }
    }
    QString worstModel = window.deviceList().deviceAt(worstIndex)->modelName();
    worstModel.replace(QLatin1Char(' '), QLatin1Char('_'));
    std::printf("median_ms=%.1f max_ms=%.1f first_ms=%.1f worst_card_ms=%.1f worst_card=%s opens=%zu cards=%d\n",
                median(times), *std::max_element(times.begin(), times.end()), first, worst,
                qPrintable(worstModel), times.size(), cards);
    return 0;
}
