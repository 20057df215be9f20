#pragma once

#include <QObject>
#include <QStringList>

class QApplication;
class SignalNotifier;
class UpdateManager;
struct ZeltraNotificationRec;

// The front end's run: one pass over every card, or daemon mode that checks
// each card the driver announces until a signal ends it.
class Main : public QObject
{
    Q_OBJECT
public:
    explicit Main(QApplication* app, QObject* parent = nullptr);
    ~Main() override;

    // From the application's command line.
    void parseArguments();
    // arguments[0] is the program; unknown arguments are ignored.
    void parseArguments(const QStringList& arguments);
    int run();

    bool daemon() const { return m_daemon; }
    bool quiet() const { return m_quiet; }
    UpdateManager* updateManager() const { return m_updateManager; }

private:
    // A quit signal in daemon mode: ends the event loop once the update
    // manager has nothing left running.
    void onQuitRequested();
    // The arrival notifier gave up: say why and end as a quit does, with 1.
    void onNotifierStopped(const QString& reason);
    int runDaemon();
    int runOnePass();

    QApplication* m_app = nullptr;
    UpdateManager* m_updateManager = nullptr;
    ZeltraNotificationRec* m_notification = nullptr;
    SignalNotifier* m_signals[3] = {};
    bool m_daemon = false;
    bool m_quiet = false;
    int m_exitCode = 0;
};
