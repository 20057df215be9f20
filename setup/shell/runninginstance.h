#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

// Keeps one main window per user. The first program started listens on a
// local socket in the user's private runtime folder; a later one asks it to
// raise its window (or to open a device's settings in it) and then leaves,
// so one device list and one saved geometry stay in charge. A folder that
// others could reach is never used: the program then runs on its own.
class RunningInstance : public QObject
{
    Q_OBJECT

public:
    enum Outcome
    {
        // Another program raised its window: this one has nothing to do.
        OtherRaised,
        // Another program runs, but has no device at the index asked for;
        // refusal() says so.
        OtherRefused,
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

    // Opens the settings of the device at an index in this program's
    // window; returns an empty text, or why it cannot (no such device).
    using OpenHandler = std::function<QString(int index)>;
    void setOpenHandler(OpenHandler handler) { m_openHandler = std::move(handler); }

    // Asks a running program to raise its window, and with openIndex >= 0
    // to open that device's settings in it; or else starts listening.
    Outcome start(int openIndex = -1);
    // The running program's answer when it refused.
    QString refusal() const { return m_refusal; }

    // Asks the program listening on path to raise its window (and to open
    // a device); true once it confirmed, false with its refusal in refusal
    // when it answered otherwise, and with refusal empty when nobody did.
    static bool askToRaise(const QString& path, int openIndex = -1, QString* refusal = nullptr);

signals:
    void activationRequested();

private slots:
    void onNewConnection();

private:
    // The running program's answer to one request line.
    QByteArray answer(const QByteArray& request);

    QLocalServer* m_server = nullptr;
    OpenHandler m_openHandler;
    QString m_refusal;
};
