// bench-barewindow: the least a Qt Widgets program can show, a main window
// with a menu bar and a label, sized like the setup utility's window. The
// yardstick for start-up time and memory.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.menuBar()->addMenu(QStringLiteral("Help"))->addAction(QStringLiteral("About"));
    window.setCentralWidget(new QLabel(QStringLiteral("Nothing here"), &window));
    window.resize(780, window.menuBar()->sizeHint().height() + 680);
    window.show();
    return app.exec();
}
