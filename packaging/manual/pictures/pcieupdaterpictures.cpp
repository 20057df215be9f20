// Pictures of the PCIe updater's dialogs for the manual, drawn offscreen: the
// question, the progress and the restart message. Written into the folder given.
#include "checkupdatedialog.h"
#include "device.h"
#include "messagedialog.h"
#include "updateprogressdialog.h"
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
    const bool saved = writePicture(widget, folder, name, "pcieupdater-pictures");
    widget.hide();
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pcieupdater-pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder))
        return 1;
    Device card;
    card.name = QStringLiteral("Ondavia Quartet 12G");
    card.path = QStringLiteral("/dev/morvane/dv0");
    card.needsUpdate = true;
    CheckUpdateDialog question(card);
    bool ok = save(question, folder, "pcie-question");
    UpdateProgressDialog progress(card);
    progress.updateProgress(42.5);
    ok = save(progress, folder, "pcie-progress") && ok;
    progress.updateComplete();
    MessageDialog message(MessageDialog::rebootRequiredText(card.name));
    ok = save(message, folder, "pcie-restart") && ok;
    return ok ? 0 : 1;
}
