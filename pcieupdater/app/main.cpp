#include "main.h"

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

void Main::parseArguments(const QStringList& arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == "--quiet" || a == "-q") {
            m_quiet = true;
        } else if (a == "--daemon" || a == "-d") {
            m_daemon = true;
            m_quiet = true;
        }
    }
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
    bool someFailed = false;
    ZeltraInstanceRec* instance = nullptr;
    while (ConnectToDriverCore(&instance, iterator) == 1 && instance) {
        Device device;
        if (m_updateManager->checkForUpdate(instance, device) && !m_updateManager->update(device))
            someFailed = true;
        CloseDriverConnectionCore(instance);
        instance = nullptr;
    }
    ReleaseZeltraIterator(iterator);

    if (someFailed)
        return 0;
    if (!m_quiet)
        MessageDialog::DisplayUpToDateMessage();
    return 0;
}
