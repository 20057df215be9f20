// Pictures of the USB updater's dialogs for the manual, drawn offscreen: the
// question, the progress and the outcome. Written into the folder given.
#include "firmwareupdatedialog.h"
#include "firmwareupdateprogressdialog.h"
#include "updatemessagetype.h"
#include "picturefile.h"

#include <QApplication>

#include <QDir>
#include <QTest>

#include <cstdio>

namespace {

bool save(QWidget& widget, const QString& folder, const char* name)
{
    widget.show();
    QTest::qWait(100);
    const bool saved = writePicture(widget, folder, name, "usbupdater-pictures");
    widget.hide();
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: usbupdater-pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder))
        return 1;
    const QString unit = QStringLiteral("Ondavia StreamPort USB");
    FirmwareUpdateDialog dialog;
    dialog.setMessage(Ui::SoftwareUpdateRequired, unit);
    bool ok = save(dialog, folder, "usb-question");
    FirmwareUpdateProgressDialog progress;
    progress.setProgress(0.42);
    ok = save(progress, folder, "usb-progress") && ok;
    dialog.setMessage(Ui::PowerCycle, unit);
    ok = save(dialog, folder, "usb-power-cycle") && ok;
    return ok ? 0 : 1;
}
