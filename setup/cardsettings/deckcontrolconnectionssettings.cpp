#include "deckcontrolconnectionssettings.h"

#include "settingsradiobutton.h"
#include "visiblezeltra.h"

#include <QButtonGroup>
#include <QSignalBlocker>

namespace {
constexpr int kRemote1 = 1;
constexpr int kRemote2 = 2;
} // namespace

DeckControlConnectionsSettings::DeckControlConnectionsSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    addSection(tr("RS422"));
    QVector<SettingsRadioButton*> buttons;
    m_group = addRadioButtonGroup(tr("Port selection:"), &buttons, { tr("Remote 1"), tr("Remote 2") },
                                  { kRemote1, kRemote2 }, 1);
    m_remote1 = buttons.value(0);
    m_remote2 = buttons.value(1);
    nameSetting(m_group, "deck-control-port");
    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

void DeckControlConnectionsSettings::onPropertyChanged()
{
    if (!m_remote1 || !m_remote2)
        return;
    // Port 1 is the only value that names the first port; whatever else
    // the card holds is shown as the second.
    SettingsRadioButton* current = device().getDeckControlConnection() == kRemote1 ? m_remote1 : m_remote2;
    const QSignalBlocker blocker(m_group);
    current->setChecked(true);
}

void DeckControlConnectionsSettings::onApplyChanges()
{
    if (!m_group)
        return;
    const int port = m_group->checkedId();
    if (hasChanged(*m_group) && port > 0)
        device().setDeckControlConnection(port);
}
