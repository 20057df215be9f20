// MorvaneFirmwareUpdaterGui: offers and runs firmware updates of the cards.
#include "main.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

namespace {

const char kHelp[] =
    "Usage: MorvaneFirmwareUpdaterGui [OPTION]...\n"
    "Asks the command-line updater which Ondavia cards need new firmware, offers the\n"
    "update, runs it with its progress and says what the computer needs afterwards.\n"
    "\n"
    "  -q, --quiet    say nothing when every card is up to date\n"
    "  -d, --daemon   stay running and check each card the driver announces\n"
    "                 (implies --quiet); SIGTERM, SIGINT or SIGHUP ends it\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "Environment:\n"
    "  MORVANE_FIRMWARE_UPDATER_PATH  the command-line updater to run\n";

// Other arguments are ignored, as Main::parseArguments does; these two answer
// without a display, before the GUI application is made.
bool answeredHelpOrVersion(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kHelp, stdout);
            return true;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::puts("MorvaneFirmwareUpdaterGui (Ondavia) " ONDAVIA_VERSION);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (answeredHelpOrVersion(argc, argv))
        return 0;
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(QIcon(":/chip80.png"));
    Main program(&app);
    program.parseArguments();
    return program.run();
}
