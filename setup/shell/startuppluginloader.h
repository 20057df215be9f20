#pragma once

#include <QString>

class AdminUtilityWindow;

// Start-up's plug-in pass: every library in the subfolders of the plug-in
// root that offers the plug-in interface and accepts initialisation gives
// its families to the window, in folder and file name order. Anything else
// is skipped silently and unloaded again.
class StartupPluginLoader
{
public:
    // "<application dir>/AdminUtility/PlugIns".
    static QString defaultRoot();
    // Returns the number of families added.
    static int load(AdminUtilityWindow& window, const QString& root);
};
