// Where the card library keeps its state during a test.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

// Sends the card library's preferences (home/config) and its control socket
// (home) to folders of this run only, and picks the simulated card set: a
// description file, or null for the simulator's built-in cards. Call it
// before the library is loaded; it reads the environment then. False when
// the folder could not be made.
inline bool useTestHome(const QTemporaryDir& home, const char* cards = nullptr)
{
    if (!home.isValid())
        return false;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    if (cards)
        qputenv("ZELTRA_SIMULATOR_CARDS", cards);
    else
        qunsetenv("ZELTRA_SIMULATOR_CARDS");
    return true;
}
