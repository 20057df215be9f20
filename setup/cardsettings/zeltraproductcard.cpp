#include "zeltraproductcard.h"

#include "adminutilitywindow.h"
#include "colourpalette.h"
#include "connectingstatuspage.h"
#include "needingfirmwareupdatestatuspage.h"
#include "visiblezeltra.h"
#include "zeltrasettingspage.h"

ZeltraProductCard::ZeltraProductCard(VisibleZeltra& device, AdminUtilityWindow* window)
    : ProductCard(&device, window, ColourPalette::kAccentColour)
    , m_device(&device)
{
    setObjectName(QStringLiteral("zeltraProductCard"));
    m_connecting = new ConnectingStatusPage;
    m_firmware = new NeedingFirmwareUpdateStatusPage;
    m_settings = new ZeltraSettingsPage(device);
    addPage(m_connecting);
    addPage(m_firmware);
    addPage(m_settings);
    connect(m_connecting, &ConnectingStatusPage::connectionCancelled, this, &ZeltraProductCard::closeCard);
    connect(m_settings, &SettingsPage::closePage, this, &ZeltraProductCard::closeCard);
    connect(&device, &VisibleZeltra::connectionChangedSignal, this, &ZeltraProductCard::onConnectionChanged);
    // The tabs hold the device by reference: they must not outlive it.
    connect(&device, &QObject::destroyed, this, &ZeltraProductCard::onDeviceDestroyed);
    onConnectionChanged(device.isConnected());
}

ZeltraProductCard::~ZeltraProductCard()
{
    if (m_device)
        m_device->disconnect();
}

void ZeltraProductCard::onConnectionChanged(bool connected)
{
    if (connected) {
        // The page builds its tabs itself on a later connection; a device
        // that is connected already is built here.
        m_settings->onConnectionChanged();
        showPage(m_settings);
        return;
    }
    closeCard();
}

void ZeltraProductCard::closeCard()
{
    hide();
    deleteLater();
}

void ZeltraProductCard::onDeviceDestroyed()
{
    m_device = nullptr;
    delete this;
}
