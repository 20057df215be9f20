#include "connectorssettings.h"

#include "cardrules.h"
#include "settingscombobox.h"
#include "visiblezeltra.h"

#include <QSignalBlocker>

namespace {
constexpr int kComboWidth = 240;
} // namespace

ConnectorsSettings::ConnectorsSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    m_mappingDevice = static_cast<VisibleZeltra*>(CardRules::duplexMappingDevice(device));
    if (m_mappingDevice) {
        addSection(QStringLiteral("Connector Mapping"));
        m_combo = addComboBoxRow(QStringLiteral("Connector:"), kComboWidth);
        nameSetting(m_combo, "connector-mapping");
        for (const CardRules::DuplexChoice& choice : CardRules::duplexChoices(device))
            m_combo->addItem(choice.label, choice.mode);
        if (m_mappingDevice != &device)
            connect(m_mappingDevice, &VisibleZeltra::propertyChanged, this, &ConnectorsSettings::onPropertyChanged);
    }
    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

void ConnectorsSettings::findMappingDevice()
{
    if (!m_combo || m_mappingDevice == &device())
        return;
    // A partner plugged in again is a new device: its model is looked up anew.
    VisibleZeltra* current = device().getSubDeviceByPersistentId(device().getPairedDevicePersistentId());
    if (current == m_mappingDevice)
        return;
    if (m_mappingDevice)
        disconnect(m_mappingDevice, nullptr, this, nullptr);
    m_mappingDevice = current;
    if (current)
        connect(current, &VisibleZeltra::propertyChanged, this, &ConnectorsSettings::onPropertyChanged);
}

void ConnectorsSettings::onPropertyChanged()
{
    findMappingDevice();
    if (device().getPairedDevicePersistentId() == 0 || !m_mappingDevice || !m_combo)
        return;
    const uint32_t mode = uint32_t(m_mappingDevice->getDuplexMode());
    const QSignalBlocker blocker(m_combo);
    for (int i = 0; i < m_combo->count(); ++i) {
        if (m_combo->itemData(i).toUInt() == mode) {
            m_combo->setCurrentIndex(i);
            return;
        }
    }
    m_combo->setCurrentIndex(-1);
}

void ConnectorsSettings::onApplyChanges()
{
    findMappingDevice();
    if (device().getPairedDevicePersistentId() == 0 || !m_mappingDevice || !m_combo)
        return;
    if (!hasChanged(*m_combo) || m_combo->currentIndex() < 0)
        return;
    bool ok = false;
    const uint mode = m_combo->currentData().toUInt(&ok);
    if (ok)
        m_mappingDevice->setDuplexMode(mode);
}
