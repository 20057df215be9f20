#include "main.h"

#include "checkversionpcitool.h"

#include "messagedialog.h"
#include "signalnotifier.h"
#include "updatemanager.h"
#include "zeltradriver.h"
#include "zeltranotification.h"

#include <QApplication>
#include <csignal>
#include <cstdio>

Main::Main(QApplication* app, QObject* parent) : QObject(parent), m_app(app), m_updateManager(new UpdateManager(this))
{
}

Main::~Main() = default;

void Main::parseArguments()
{
    parseArguments(m_app->arguments());
}

QString Main::readOptions(const QStringList& arguments, Options* options)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == "--quiet" || a == "-q") {
            options->quiet = true;
        } else if (a == "--daemon" || a == "-d") {
            options->daemon = true;
            options->quiet = true;
        } else if (a == "--help" || a == "-h") {
            options->help = true;
        } else if (a == "--version") {
            options->version = true;
        } else if ((a == "-platform" || a == "-display" || a == "-style") && i + 1 < arguments.size()) {
            ++i; // Qt's own, taken by the application object
        } else {
            return QStringLiteral("MorvaneFirmwareUpdaterGui: %1 \"%2\" (see MorvaneFirmwareUpdaterGui --help)")
                .arg(a.startsWith('-') ? QStringLiteral("unknown option") : QStringLiteral("unexpected argument"), a);
        }
    }
    return QString();
}

QString Main::parseArguments(const QStringList& arguments)
{
    Options options;
    const QString error = readOptions(arguments, &options);
    m_quiet = options.quiet;
    m_daemon = options.daemon;
    return error;
}

int Main::run()
{
    return m_daemon ? runDaemon() : runOnePass();
}

int Main::runDaemon()
{
    const int watched[3] = {SIGTERM, SIGINT, SIGHUP};
    for (int i = 0; i < 3; ++i) {
        m_signals[i] = new SignalNotifier(watched[i], m_app);
        connect(m_signals[i], &SignalNotifier::raised, this, &Main::onQuitRequested);
    }
    // Queued: the update run unwinds before the loop is told to end.
    connect(m_updateManager, &UpdateManager::stopped, this, [this] { m_app->exit(m_exitCode); },
            Qt::QueuedConnection);
    connect(m_updateManager, &UpdateManager::notifierStopped, this, &Main::onNotifierStopped, Qt::QueuedConnection);
    m_notification = InstallZeltraNotificationCallbacks(&UpdateManager::DeviceArrived, &UpdateManager::NotifierStopped,
                                                        m_updateManager);
    if (!m_notification)
        return 1;
    const int result = m_app->exec();
    RemoveZeltraNotificationCallback(m_notification);
    m_notification = nullptr;
    return result;
}

void Main::onQuitRequested()
{
    if (m_updateManager->requestStop())
        m_app->exit(m_exitCode);
}

void Main::onNotifierStopped(const QString& reason)
{
    std::fprintf(stderr, "MorvaneFirmwareUpdaterGui: card arrivals can no longer be followed: %s\n",
                 qPrintable(reason));
    m_exitCode = 1;
    onQuitRequested();
}

int Main::runOnePass()
{
    ZeltraIteratorRec* iterator = CreateZeltraIterator();
    if (!iterator)
        return 1;
    // Every card is asked about before any update runs, so that a card whose
    // firmware cannot be checked is reported before the updates' outcomes
    // (which tell the user what to do next and so come last), and a card's
    // place among cards of its model is known when its dialogs show it.
    QList<Device> offered;
    QList<StatusCheck> unchecked;
    ZeltraInstanceRec* instance = nullptr;
    while (ConnectToDriverCore(&instance, iterator) == 1 && instance) {
        Device device;
        StatusCheck check;
        if (m_updateManager->checkForUpdate(instance, device, &check))
            offered << device;
        else if (!check.answered())
            unchecked << check;
        CloseDriverConnectionCore(instance);
        instance = nullptr;
    }
    ReleaseZeltraIterator(iterator);
    if (!unchecked.isEmpty())
        reportUnchecked(unchecked);

    bool someFailed = false;
    bool someInstruction = false;
    for (const Device& device : qAsConst(offered)) {
        if (!m_updateManager->update(device))
            someFailed = true;
        else if (Outcome::asksForAction(m_updateManager->lastOutcome()))
            someInstruction = true;
    }

    // "Up to date" only where it was seen to be so: not after a check that
    // could not be made, and not after an update whose message says what to
    // do next (it stays the last thing the user reads).
    if (!unchecked.isEmpty())
        return 1;
    if (someFailed || someInstruction)
        return 0;
    if (!m_quiet)
        MessageDialog::DisplayUpToDateMessage();
    return 0;
}

void Main::reportUnchecked(const QList<StatusCheck>& unchecked)
{
    if (m_quiet) {
        for (const StatusCheck& check : unchecked)
            qWarning("MorvaneFirmwareUpdaterGui: the firmware of %s could not be checked. %s", qPrintable(check.node),
                     qPrintable(check.reason));
        return;
    }
    // One line per reason, naming the cards it kept from being checked.
    QStringList reasons;
    QList<QStringList> nodes;
    for (const StatusCheck& check : unchecked) {
        int i = reasons.indexOf(check.reason);
        if (i < 0) {
            reasons << check.reason;
            nodes << QStringList();
            i = reasons.size() - 1;
        }
        if (!check.node.isEmpty())
            nodes[i] << check.node;
    }
    QStringList lines;
    for (int i = 0; i < reasons.size(); ++i)
        lines << (nodes[i].isEmpty() ? reasons[i]
                                     : tr("%1 Not checked: %2.").arg(reasons[i], nodes[i].join(QStringLiteral(", "))));
    MessageDialog::DisplayCheckFailedMessage(lines);
}
