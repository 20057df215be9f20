#include "zeltrasettingspage.h"

#include "aboutsettings.h"
#include "audiosettings.h"
#include "cardrules.h"
#include "cardfooter.h"
#include "commondialog.h"
#include "connectorssettings.h"
#include "conversionssettings.h"
#include "deckcontrolconnectionssettings.h"
#include "productcard.h"
#include "videoinputsettings.h"
#include "videooutputsettings.h"
#include "visiblezeltra.h"
#include "zeltrasettingstab.h"

ZeltraSettingsPage::ZeltraSettingsPage(VisibleZeltra& device, QWidget* parent)
    : SettingsPage(parent)
    , m_device(device)
{
    setIsImmediateApply(true);
    setSettingsButtonVisible(false);
    // Save and Cancel also store or restore the card's preferences.
    disconnect(footer(), &CardFooter::savePressed, this, &SettingsPage::onSavePressed);
    disconnect(footer(), &CardFooter::cancelPressed, this, &SettingsPage::onCancelPressed);
    connect(footer(), &CardFooter::savePressed, this, &ZeltraSettingsPage::onSavePressed);
    connect(footer(), &CardFooter::cancelPressed, this, &ZeltraSettingsPage::onCancelPressed);
    connect(this, &SettingsPage::menuOptionPressed, this, &ZeltraSettingsPage::onMenuOptionPressed);
    connect(&m_device, &VisibleZeltra::connectionChangedSignal, this, &ZeltraSettingsPage::onConnectionChanged);
    connect(&m_device, &VisibleZeltra::resetAudioInputs, this, &ZeltraSettingsPage::onLayoutChanged);
}

void ZeltraSettingsPage::onConnectionChanged()
{
    if (m_device.isConnected())
        buildPages();
}

void ZeltraSettingsPage::buildPages()
{
    if (m_built)
        return;
    m_built = true;
    QWidget* const parent = tabParent();
    if (CardRules::offersVideoOutputTab(m_device))
        checkAddTab(new VideoOutputSettings(m_device, parent), tr("Video Output"));
    if (CardRules::offersVideoInputTab(m_device))
        checkAddTab(new VideoInputSettings(m_device, parent), tr("Video Input"));
    if (CardRules::offersAudioTab(m_device))
        checkAddTab(new AudioSettings(m_device, parent), tr("Audio"));
    checkAddTab(new ConversionsSettings(m_device, parent), tr("Conversions"));
    if (CardRules::offersConnectorsTab(m_device))
        checkAddTab(new ConnectorsSettings(m_device, parent), tr("Connectors"));
    // A serial port needs both directions of deck control.
    if (CardRules::offersSerialPortTab(m_device))
        checkAddTab(new DeckControlConnectionsSettings(m_device, parent), tr("Serial Port"));
    checkAddTab(new AboutSettings(m_device, parent), tr("About"));
    onLayoutChanged();
}

void ZeltraSettingsPage::checkAddTab(ZeltraSettingsTab* tab, const QString& title)
{
    if (!tab)
        return;
    if (tab->isEmpty()) {
        delete tab;
        return;
    }
    addTab(tab, title);
    m_tabs << tab;
}

QList<ZeltraSettingsTab*> ZeltraSettingsPage::tabs() const
{
    QList<ZeltraSettingsTab*> result;
    for (const QPointer<ZeltraSettingsTab>& tab : m_tabs) {
        if (tab)
            result << tab;
    }
    return result;
}

void ZeltraSettingsPage::applyChanges()
{
    for (ZeltraSettingsTab* tab : tabs())
        tab->applyChanges();
}

void ZeltraSettingsPage::onSavePressed()
{
    applyForSave();
    if (m_device.writeToPreferences()) {
        closeAfterSave();
        return;
    }
    // The changes stay applied and the page stays open: Save may be tried
    // again, or Cancel return the card to what it stored.
    if (!m_saveFailed) {
        // Over the whole card, and gone with it.
        QWidget* card = ProductCard::owning(this);
        m_saveFailed = new CommonDialog(card ? card : this);
        m_saveFailed->setObjectName(QStringLiteral("saveFailedDialog"));
        connect(m_saveFailed, &CommonDialog::closeClicked, m_saveFailed, &QWidget::hide);
    }
    m_saveFailed->showTitleText(tr("Settings Not Saved"));
    m_saveFailed->showTwoTexts(tr("%1 could not store its settings.").arg(m_device.deviceName()),
                               tr("The changes are applied until the card is restarted. "
                                  "Try Save again, or press Cancel to return to the stored settings."));
    m_saveFailed->showOneButton(tr("OK"));
    m_saveFailed->showOverWindow();
}

void ZeltraSettingsPage::onCancelPressed()
{
    // The card goes back to what it stored before the page closes.
    m_device.readFromPreferences();
    SettingsPage::onCancelPressed();
}

void ZeltraSettingsPage::onMenuOptionPressed(int)
{
}

void ZeltraSettingsPage::onLayoutChanged()
{
    for (ZeltraSettingsTab* tab : tabs()) {
        if (auto* audio = qobject_cast<AudioSettings*>(tab))
            showTab(tr("Audio"), !audio->shouldHide());
    }
}
