#pragma once

// The card family over the simulator, and the About tab's report written
// with its dialogs answered by the test.

#include "aboutsettings.h"
#include "cardpushbutton.h"
#include "dialoganswerer.h"
#include "staticdata.h"
#include "visiblezeltra.h"
#include "zeltrafamily.h"
#include "testhome.h"

#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

struct ReportRun
{
    QStringList dialogs;  // class names, in the order shown
    QString proposed;     // the file the save dialog offered
    QString title;        // of the save dialog
    QStringList filters;  // of the save dialog
    QStringList messages; // texts of the message boxes
};

// Runs the tab's Create button: the save dialog is given `path`, or is
// cancelled when `path` is empty; message boxes are closed and kept. Returns
// once the report is written (the computer's details are gathered in the
// background) or, with `wait` false, as soon as the click has returned.
inline ReportRun createReport(AboutSettings& tab, const QString& path, bool wait = true)
{
    ReportRun run;
    DialogAnswerer answerer([&](QDialog* dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            run.proposed = files->selectedFiles().value(0);
            run.title = files->windowTitle();
            run.filters = files->nameFilters();
            if (path.isEmpty()) {
                files->reject();
            } else {
                // The dialog leaves a file name field that has the focus
                // alone, as it would while the user is typing there.
                if (QWidget* focus = files->focusWidget())
                    focus->clearFocus();
                files->selectFile(path);
                // Through the base: the file dialog's own accept() is protected.
                static_cast<QDialog*>(files)->accept();
            }
            return true;
        }
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            run.messages << box->text();
            box->accept();
            return true;
        }
        return false;
    });
    tab.reportButton()->click();
    if (wait)
        (void)QTest::qWaitFor([&] { return !tab.isCreatingReport(); }, 60000);
    run.dialogs = answerer.seen;
    return run;
}

// Stand-ins for the report's commands in a folder that PATH names alone
// (they call /bin by absolute path), until this goes; an empty body leaves
// that command missing.
class StandInCommands
{
public:
    explicit StandInCommands(const QMap<QString, QByteArray>& bodies) : m_path(qgetenv("PATH"))
    {
        for (auto it = bodies.cbegin(); it != bodies.cend(); ++it) {
            if (it.value().isEmpty())
                continue;
            QFile f(m_dir.filePath(it.key()));
            if (f.open(QIODevice::WriteOnly))
                f.write("#!/bin/sh\n" + it.value() + "\n");
            f.close();
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(m_dir.path()));
    }
    ~StandInCommands() { qputenv("PATH", m_path); }

    // A computer named studio-7 with twelve processors.
    static QMap<QString, QByteArray> answering()
    {
        return {{QStringLiteral("hostname"), "echo studio-7"},
                {QStringLiteral("lsb_release"), "echo 'Fictional OS 3'"},
                {QStringLiteral("uname"), "echo 9.1.0"},
                {QStringLiteral("nproc"), "echo 12"}};
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
};

// Empty when the file is valid HTML to tidy (no errors, no warnings).
inline QString tidyComplaints(const QString& file)
{
    QProcess tidy;
    tidy.start(QStandardPaths::findExecutable(QStringLiteral("tidy")),
               {QStringLiteral("-errors"), QStringLiteral("-q"), file});
    if (!tidy.waitForFinished(20000))
        return QStringLiteral("tidy did not finish");
    if (tidy.exitStatus() == QProcess::NormalExit && tidy.exitCode() == 0)
        return QString();
    return QString::fromUtf8(tidy.readAllStandardError()) + QStringLiteral(" (exit %1)").arg(tidy.exitCode());
}

// Home, preferences and the simulator's control socket in a folder of this
// run; the family started over the card set in `cards` (empty: the built-in
// set) until `count` cards are announced.
class CardFixture
{
public:
    bool start(const QByteArray& cards, int count)
    {
        if (!useTestHome(m_home, cards.isEmpty() ? nullptr : cards.constData()))
            return false;
        qputenv("HOME", m_home.path().toUtf8());
        initialiseStaticData();
        for (const char* font : {":/OpenSans-Light", ":/OpenSans-Regular", ":/OpenSans-Semibold"})
            QFontDatabase::addApplicationFont(QString::fromLatin1(font));
        QObject::connect(&m_family, &ProductFamilyBase::deviceArrived, &m_family,
                         [this](VisibleDevice* device) { m_devices << dynamic_cast<VisibleZeltra*>(device); });
        m_family.init();
        (void)QTest::qWaitFor([&] { return m_devices.size() >= count; }, 10000);
        return m_devices.size() == count && !m_devices.contains(nullptr);
    }

    ~CardFixture() { m_family.destroy(); }

    QString home() const { return m_home.path(); }
    const QList<VisibleZeltra*>& devices() const { return m_devices; }
    VisibleZeltra* device(const QString& model) const
    {
        for (VisibleZeltra* device : m_devices) {
            if (device->modelName() == model)
                return device;
        }
        return nullptr;
    }

private:
    QTemporaryDir m_home;
    ZeltraFamily m_family;
    QList<VisibleZeltra*> m_devices;
};
