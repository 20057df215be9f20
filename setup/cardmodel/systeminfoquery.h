#pragma once

#include <QObject>
#include <QString>
#include <QVector>

class QProcess;
class QTimer;

// The computer's details as the status report shows them.
struct SystemDetails
{
    QString hostName;
    QString systemVersion;
    quint64 physicalMemory = 0; // bytes
    int processorCount = 1;
    QString hardwareModel; // empty: no hardware model table
};

// Gathers SystemDetails without blocking the event loop: "hostname",
// "lsb_release -sd", "uname -r" and "nproc" run side by side, each with the
// limits of SystemInfo (30 s to start, 30 s to finish), and finished() is
// emitted once every one has answered, failed or been given up. Commands
// still running when this is deleted are killed. GUI thread only.
class SystemInfoQuery : public QObject
{
    Q_OBJECT
public:
    explicit SystemInfoQuery(QObject* parent = nullptr);
    ~SystemInfoQuery() override;

    // Starts the commands; finished() follows, never from inside start().
    void start();
    bool isRunning() const { return m_running > 0; }
    // Complete once finished() has been emitted.
    const SystemDetails& details() const { return m_details; }

signals:
    void finished();

private:
    struct Command
    {
        QProcess* process = nullptr;
        QTimer* limit = nullptr;
        QString output; // trimmed standard output; empty on failure
        bool done = false;
    };
    enum { HostName, Description, Kernel, Processors, CommandCount };

    void startCommand(int index, const QString& program, const QStringList& arguments);
    void onFinished(int index, bool ok);

    QVector<Command> m_commands;
    SystemDetails m_details;
    int m_running = 0;
};
