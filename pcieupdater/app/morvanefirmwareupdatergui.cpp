// MorvaneFirmwareUpdaterGui: offers and runs firmware updates of the cards.
#include "main.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(QIcon(":/chip80.png"));
    Main program(&app);
    program.parseArguments();
    return program.run();
}
