#include "connectorssettings.h"

#include "settingscombobox.h"
#include "visiblezeltra.h"

#include <QSignalBlocker>

namespace {
constexpr uint32_t kFullDuplex = zeltraCode("fdup");
constexpr uint32_t kHalfDuplex = zeltraCode("hdup");
constexpr int kComboWidth = 240;
} // namespace

ConnectorsSettings::ConnectorsSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    const int64_t pairedId = device.getPairedDevicePersistentId();
    const bool ownsMapping = device.supportsDuplexModeConfiguration();
    if (pairedId != 0)
        m_mappingDevice = ownsMapping ? &device : device.getSubDeviceByPersistentId(pairedId);

    if (m_mappingDevice) {
        int first = 0;
        int second = 0;
        m_mappingDevice->getConnectorIds(first, second);
        // Connectors are counted from 1 on the card's bracket.
        ++first;
        ++second;
        addSection(QStringLiteral("Connector Mapping"));
        m_combo = addComboBoxRow(QStringLiteral("Connector:"), kComboWidth);
        if (ownsMapping) {
            m_combo->addItem(tr("SDI %1 & SDI %2").arg(first).arg(second), kFullDuplex);
            m_combo->addItem(tr("SDI %1").arg(first), kHalfDuplex);
        } else {
            // The partner keeps its connector in half duplex and has none
            // while the other sub-device takes both.
            m_combo->addItem(tr("SDI %1").arg(second), kHalfDuplex);
            m_combo->addItem(tr("None"), kFullDuplex);
        }
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
