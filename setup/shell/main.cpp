#include "adminutilityapplication.h"
#include "appdefaults.h"
#include "startuppluginloader.h"
#include "zeltraadminutilitywindow.h"

#if __has_include("zeltrafamily.h") && __has_include("staticdata.h")
#include "staticdata.h"
#include "zeltrafamily.h"
#define ONDAVIA_HAVE_CARD_FAMILY 1
#endif

#include <cstdint>

int main(int argc, char** argv)
{
    AdminUtilityApplication app(argc, argv);
    app.setWindowIcon(AppDefaults::aboutIcon());

    // Queued signals of the card model carry these.
    qRegisterMetaType<uint32_t>("uint32_t");
    qRegisterMetaType<uint64_t>("uint64_t");

#ifdef ONDAVIA_HAVE_CARD_FAMILY
    initialiseStaticData();
#endif

    ZeltraAdminUtilityWindow window;

#ifdef ONDAVIA_HAVE_CARD_FAMILY
    // Families live as long as the process; the window calls destroy() on it.
    window.addFamily(new ZeltraFamily);
#endif
    StartupPluginLoader::load(window, StartupPluginLoader::defaultRoot());

    window.show();
    return app.exec();
}
