// MorvaneFirmwareUpdaterGui: offers and runs firmware updates of the cards.
#include "main.h"
#include "uilanguage.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

const char kHelp[] =
    "Usage: MorvaneFirmwareUpdaterGui [OPTION]...\n"
    "Asks the command-line updater which Ondavia cards need new firmware, offers the\n"
    "update, runs it with its progress and says what the computer needs afterwards.\n"
    "\n"
    "Options:\n"
    "  -q, --quiet    say nothing when every card is up to date\n"
    "  -d, --daemon   stay running and check each card the driver announces\n"
    "                 (implies --quiet); SIGTERM, SIGINT or SIGHUP ends it\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "Environment:\n"
    "  MORVANE_FIRMWARE_UPDATER_PATH  the command-line updater to run\n";

QtMessageHandler s_qtHandler = nullptr;

// Without a display Qt aborts with advice meant for packagers; a user is
// told in one line, and the program ends with 1.
void noDisplayHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const char* category = context.category ? context.category : "";
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "MorvaneFirmwareUpdaterGui: cannot open display %s\n",
                     display && *display ? display : "(DISPLAY is not set)");
        std::fflush(stderr);
        _exit(1);
    }
    if ((!std::strcmp(category, "qt.qpa.xcb") && message.contains(QLatin1String("could not connect to display"))) ||
        (!std::strcmp(category, "qt.qpa.plugin") && message.contains(QLatin1String("Could not load"))))
        return; // said in the line above
    s_qtHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    // The options are read before anything needs a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Main::Options options;
    const QString error = Main::readOptions(arguments, &options);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    if (options.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (options.version) {
        std::puts("MorvaneFirmwareUpdaterGui (Ondavia) " ONDAVIA_VERSION);
        return 0;
    }

    // Icons drawn for a high-density screen keep their logical size.
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    s_qtHandler = qInstallMessageHandler(noDisplayHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(s_qtHandler);
    UiLanguage::install(&app, QStringLiteral("MorvaneFirmwareUpdaterGui"));
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(QIcon(":/chip80.png"));
    Main program(&app);
    program.parseArguments();
    return program.run();
}
