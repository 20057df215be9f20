#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// Keeps one main window per user. The first program started listens on a
// local socket in the user's private runtime folder; a later one asks it to
// raise its window and then leaves, so one device list and one saved
// geometry stay in charge. A folder that others could reach is never used:
// the program then runs on its own.
class RunningInstance : public QObject
{
    Q_OBJECT

public:
    enum Outcome
    {
        // Another program raised its window: this one has nothing to do.
        OtherRaised,
        // This program answers the ones started after it.
        Listening,
        // No private folder or socket: this program runs on its own.
        Alone
    };
    // How long a request to the running program may take.
    static constexpr int kWaitMs = 3000;

    explicit RunningInstance(QObject* parent = nullptr);
    ~RunningInstance() override;

    // The socket's path in the user's runtime folder ($XDG_RUNTIME_DIR, or
    // a private folder under the temporary folder without one), made if
    // missing; empty with the reason in error when the folder is not private.
    static QString socketPath(QString& error);

    // Asks a running program to raise its window, or else starts listening.
    Outcome start();

    // Asks the program listening on path to raise its window; true once it
    // confirmed.
    static bool askToRaise(const QString& path);

signals:
    void activationRequested();

private slots:
    void onNewConnection();

private:
    QLocalServer* m_server = nullptr;
};
