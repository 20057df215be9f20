#include "zeltradevicesettings.h"

#include "appdefaults.h"
#include "visiblezeltra.h"

ZeltraDeviceSettings::ZeltraDeviceSettings(VisibleZeltra& device, QObject* parent)
    : QObject(parent)
    , m_device(device)
    , m_settings(QStringLiteral("Morvane"), AppDefaults::settingsProductKey())
{
    const int64_t id = m_device.supportsPersistentID() ? m_device.getPersistentId() : m_device.getTopologicalID();
    m_group = QString::number(id);
}

QVariant ZeltraDeviceSettings::value(const QString& key, const QVariant& defaultValue) const
{
    m_settings.beginGroup(m_group);
    const QVariant result = m_settings.value(key, defaultValue);
    m_settings.endGroup();
    return result;
}

void ZeltraDeviceSettings::setValue(const QString& key, const QVariant& value)
{
    m_settings.beginGroup(m_group);
    m_settings.setValue(key, value);
    m_settings.endGroup();
}
