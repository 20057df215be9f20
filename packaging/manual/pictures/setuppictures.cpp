// Pictures of the setup utility for the manual, drawn offscreen over the card
// simulator's built-in cards: the gallery, the card list, a card's settings
// window and its About tab. Written as PNG files into the folder given.
#include "aboutsettings.h"
#include "adminutilityapplication.h"
#include "devicelist.h"
#include "staticdata.h"
#include "visiblezeltra.h"
#include "zeltraadminutilitywindow.h"
#include "zeltrafamily.h"
#include "picturefile.h"

#include <QDir>
#include <QTest>

#include <cstdio>

namespace {

bool save(QWidget& widget, const QString& folder, const char* name)
{
    // The window widens with an animation when its content grows; let it end.
    QTest::qWait(800);
    return writePicture(widget, folder, name, "setup-pictures");
}

} // namespace

int main(int argc, char** argv)
{
    AdminUtilityApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: setup-pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "setup-pictures: cannot make %s\n", argv[1]);
        return 1;
    }
    initialiseStaticData();

    ZeltraFamily family;
    ZeltraAdminUtilityWindow window;
    window.addFamily(&family);
    window.show();
    // All of the simulator's shown cards, or whatever came within the wait.
    if (!QTest::qWaitFor([&] { return window.deviceList().numberOfDevice() >= 12; }, 15000))
        std::fprintf(stderr, "setup-pictures: only %d cards arrived\n", window.deviceList().numberOfDevice());
    if (window.deviceList().numberOfDevice() == 0) {
        std::fprintf(stderr, "setup-pictures: no simulated card arrived (is libZeltraAPI.so the simulator?)\n");
        return 1;
    }
    bool ok = save(window, folder, "setup-gallery");
    window.onListViewSelected();
    ok = save(window, folder, "setup-list") && ok;
    window.onGalleryViewSelected();

    auto* card = dynamic_cast<VisibleZeltra*>(window.deviceList().deviceAt(0));
    if (!card) {
        std::fprintf(stderr, "setup-pictures: the first device is not a card\n");
        return 1;
    }
    window.showDevice(card);
    ok = save(window, folder, "setup-settings") && ok;

    AboutSettings about(*card);
    about.resize(660, 700);
    about.show();
    ok = save(about, folder, "setup-about") && ok;
    return ok ? 0 : 1;
}
