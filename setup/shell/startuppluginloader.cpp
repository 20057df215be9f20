#include "startuppluginloader.h"

#include "adminutilityplugin.h"
#include "adminutilitywindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QPluginLoader>

QString StartupPluginLoader::defaultRoot()
{
    return QStringLiteral("%1/AdminUtility/PlugIns").arg(QCoreApplication::applicationDirPath());
}

int StartupPluginLoader::load(AdminUtilityWindow& window, const QString& root)
{
    const QDir rootDir(root);
    const QFileInfoList subdirectories =
        rootDir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);

    int added = 0;
    for (const QFileInfo& subdirectory : subdirectories) {
        const QString directory = subdirectory.absoluteFilePath();
        const QFileInfoList files = QDir(directory).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& file : files) {
            const QString path = file.absoluteFilePath();
            if (!QLibrary::isLibrary(path))
                continue;
            QPluginLoader loader(path);
            QObject* instance = loader.instance();
            auto* plugin =
                instance ? static_cast<AdminUtilityPlugin*>(instance->qt_metacast(AdminUtilityPlugin_iid))
                         : nullptr;
            if (!plugin || !plugin->initialisePlugin(QDir(directory), &window)) {
                loader.unload();
                continue;
            }
            // An accepted library stays loaded for the life of the process.
            const QVector<ProductFamily*> families = plugin->productFamilies();
            for (ProductFamily* family : families) {
                window.addFamily(family);
                ++added;
            }
        }
    }
    return added;
}
