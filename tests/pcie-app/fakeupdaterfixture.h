#pragma once

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

// A private folder with a configuration for the stand-in updater and its
// command log, and the environment that points the front end at both.
class FakeUpdaterFixture
{
public:
    explicit FakeUpdaterFixture(const QByteArray& cardsJson)
    {
        m_config = m_dir.filePath("updater.json");
        m_log = m_dir.filePath("commands.log");
        QFile f(m_config);
        f.open(QIODevice::WriteOnly);
        f.write("{\"cards\": " + cardsJson + "}");
        f.close();
        qputenv("MORVANE_FAKE_UPDATER_CONFIG", m_config.toLocal8Bit());
        qputenv("MORVANE_FAKE_UPDATER_LOG", m_log.toLocal8Bit());
        qputenv("MORVANE_FIRMWARE_UPDATER_PATH", QByteArray(ONDAVIA_BIN_DIR "/MorvaneFirmwareUpdater"));
    }

    ~FakeUpdaterFixture()
    {
        qunsetenv("MORVANE_FAKE_UPDATER_CONFIG");
        qunsetenv("MORVANE_FAKE_UPDATER_LOG");
    }

    // The commands the updater received, one per line.
    QStringList commands() const
    {
        QFile f(m_log);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_config;
    QString m_log;
};
