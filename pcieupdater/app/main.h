#pragma once

#include <QObject>
#include <QList>
#include <QStringList>

class QApplication;
class SignalNotifier;
class UpdateManager;
struct StatusCheck;
struct ZeltraNotificationRec;

// The front end's run: one pass over every card, or daemon mode that checks
// each card the driver announces until a signal ends it.
class Main : public QObject
{
    Q_OBJECT
public:
    explicit Main(QApplication* app, QObject* parent = nullptr);
    ~Main() override;

    struct Options
    {
        bool quiet = false;
        bool daemon = false;
        bool help = false;
        bool version = false;
    };
    // arguments[0] is the program. Empty when every argument is known;
    // otherwise the one line that names the first unknown one. Needs no
    // application object.
    static QString readOptions(const QStringList& arguments, Options* options);

    // From the application's command line (read by main before the
    // application was made, so known to be valid).
    void parseArguments();
    // Takes the options; returns what readOptions does.
    QString parseArguments(const QStringList& arguments);
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
    // Says which cards could not be checked and why: a message, or with
    // --quiet a line each on standard error.
    void reportUnchecked(const QList<StatusCheck>& unchecked);

    QApplication* m_app = nullptr;
    UpdateManager* m_updateManager = nullptr;
    ZeltraNotificationRec* m_notification = nullptr;
    SignalNotifier* m_signals[3] = {};
    bool m_daemon = false;
    bool m_quiet = false;
    int m_exitCode = 0;
};
