#include "adminutilityapplication.h"
#include "appdefaults.h"
#include "startuppluginloader.h"
#include "staticdata.h"
#include "zeltraadminutilitywindow.h"
#include "zeltrafamily.h"

#include <cstdint>

int main(int argc, char** argv)
{
    AdminUtilityApplication app(argc, argv);
    app.setWindowIcon(AppDefaults::aboutIcon());

    // Queued signals of the card model carry these.
    qRegisterMetaType<uint32_t>("uint32_t");
    qRegisterMetaType<uint64_t>("uint64_t");

    initialiseStaticData();

    ZeltraAdminUtilityWindow window;

    // The built-in card family is always first. Families live as long as
    // the process; the window calls destroy() on each instead of deleting.
    window.addFamily(new ZeltraFamily);
    StartupPluginLoader::load(window, StartupPluginLoader::defaultRoot());

    window.show();
    return app.exec();
}
