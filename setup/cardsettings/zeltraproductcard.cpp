#include "zeltraproductcard.h"

#include "adminutilitywindow.h"
#include "colourpalette.h"
#include "connectingstatuspage.h"
#include "devicefirmwareupdater.h"
#include "firmwareupdate.h"
#include "needingfirmwareupdatestatuspage.h"
#include "visiblezeltra.h"
#include "windownotice.h"
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
    m_update = new FirmwareUpdate(window, &device, this);
    connect(m_update, &FirmwareUpdate::firmwareUpdated, this, &ZeltraProductCard::onFirmwareUpdated);
    connect(&device, &VisibleZeltra::connectionChangedSignal, this, &ZeltraProductCard::onConnectionChanged);
    // The tabs hold the device by reference: they must not outlive it.
    connect(&device, &QObject::destroyed, this, &ZeltraProductCard::onDeviceDestroyed);
    m_deviceName = device.deviceName();
    onConnectionChanged(device.isConnected());
}

ZeltraProductCard::~ZeltraProductCard()
{
    if (m_device)
        m_device->disconnect();
}

void ZeltraProductCard::onConnectionChanged(bool connected)
{
    if (!connected) {
        // The card left: the user is told why the window went away. The
        // device has let go of the card already, so its name is the one
        // kept from when it was shown.
        if (isVisible() && !isClosing())
            WindowNotice::post(parentWidget(), tr("%1 was disconnected.").arg(m_deviceName));
        closeCard();
        return;
    }
    m_deviceName = m_device ? m_device->deviceName() : QString();
    // Firmware that must be updated first hides the settings until the
    // update has run.
    DeviceFirmwareUpdater* updater = m_device ? m_device->getFirmwareUpdater() : nullptr;
    if (updater && !updater->checkFirmwareCurrent()) {
        showPage(m_firmware);
        m_update->updateFirmware();
        return;
    }
    showSettings();
}

void ZeltraProductCard::onFirmwareUpdated(bool succeeded)
{
    if (succeeded && m_device && m_device->isConnected())
        showSettings();
    else
        closeCard();
}

void ZeltraProductCard::showSettings()
{
    // The page builds its tabs itself on a later connection; a device that
    // is connected already is built here.
    m_settings->onConnectionChanged();
    showPage(m_settings);
}

void ZeltraProductCard::onDeviceDestroyed()
{
    m_device = nullptr;
    // A dialog of a tab still waits in its loop: the card goes when it
    // returns, and the tab leaves without touching the device.
    if (hasRunningDialog()) {
        closeCard();
        return;
    }
    delete this;
}
