#include "adminutilityapplication.h"
#include "appdefaults.h"
#include "startuppluginloader.h"
#include "staticdata.h"
#include "zeltraadminutilitywindow.h"
#include "zeltrafamily.h"

#include <cstdint>
#include <memory>

int main(int argc, char** argv)
{
    AdminUtilityApplication app(argc, argv);
    app.setWindowIcon(AppDefaults::aboutIcon());

    // Queued signals of the card model carry these.
    qRegisterMetaType<uint32_t>("uint32_t");
    qRegisterMetaType<uint64_t>("uint64_t");

    initialiseStaticData();

    // The built-in card family lives as long as the process: the window only
    // calls destroy() on it, and it is freed after the window has gone.
    auto cardFamily = std::make_unique<ZeltraFamily>();

    ZeltraAdminUtilityWindow window;
    window.addFamily(cardFamily.get());
    StartupPluginLoader::load(window, StartupPluginLoader::defaultRoot());

    window.show();
    return app.exec();
}
