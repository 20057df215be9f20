#pragma once

#include <QObject>
#include <QSettings>
#include <QString>
#include <QVariant>

class VisibleZeltra;

// Small per-card preferences of the settings pages (whether two sliders are
// linked, ...), kept in the user's settings store under a group named after
// the card: its persistent id when it has one, else its topological id.
class ZeltraDeviceSettings : public QObject
{
    Q_OBJECT
public:
    explicit ZeltraDeviceSettings(VisibleZeltra& device, QObject* parent = nullptr);

    QVariant value(const QString& key, const QVariant& defaultValue = QVariant()) const;
    void setValue(const QString& key, const QVariant& value);
    // The group the card's keys live in.
    QString group() const { return m_group; }

private:
    VisibleZeltra& m_device;
    QString m_group;
    mutable QSettings m_settings;
};
