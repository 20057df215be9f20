#pragma once

#include <QObject>

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

    void parseArguments();
    int run();

    bool daemon() const { return m_daemon; }
    bool quiet() const { return m_quiet; }
    UpdateManager* updateManager() const { return m_updateManager; }

private:
    int runDaemon();
    int runOnePass();

    QApplication* m_app = nullptr;
    UpdateManager* m_updateManager = nullptr;
    ZeltraNotificationRec* m_notification = nullptr;
    SignalNotifier* m_signals[3] = {};
    bool m_daemon = false;
    bool m_quiet = false;
};
