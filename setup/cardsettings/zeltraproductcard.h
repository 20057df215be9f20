#pragma once

#include "productcard.h"

#include <QPointer>

class AdminUtilityWindow;
class ConnectingStatusPage;
class FirmwareUpdate;
class NeedingFirmwareUpdateStatusPage;
class VisibleZeltra;
class ZeltraSettingsPage;

// The window-sized card of one card device: a page shown while connecting,
// one asking for a firmware update, and the settings page. A device whose
// firmware is not current is offered the update before its settings. The
// card closes itself when the device goes away.
class ZeltraProductCard : public ProductCard
{
    Q_OBJECT
public:
    ZeltraProductCard(VisibleZeltra& device, AdminUtilityWindow* window);
    ~ZeltraProductCard() override;

    ConnectingStatusPage* connectingPage() const { return m_connecting; }
    NeedingFirmwareUpdateStatusPage* firmwarePage() const { return m_firmware; }
    ZeltraSettingsPage* settingsPage() const { return m_settings; }

public slots:
    void onConnectionChanged(bool connected);

private:
    void onDeviceDestroyed();
    void onFirmwareUpdated(bool succeeded);
    void showSettings();

    QPointer<VisibleZeltra> m_device;
    ConnectingStatusPage* m_connecting = nullptr;
    NeedingFirmwareUpdateStatusPage* m_firmware = nullptr;
    ZeltraSettingsPage* m_settings = nullptr;
    FirmwareUpdate* m_update = nullptr;
    QString m_deviceName; // as last shown, for telling that the card left
};
