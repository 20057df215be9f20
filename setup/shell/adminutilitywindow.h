#pragma once

#include "bonjourdiscovery.h"
#include "devicelist.h"

#include <QList>
#include <QMainWindow>
#include <QStringList>

#include <string>

class AddByIpAddressController;
class AddByIpAddressWidget;
class BonjourInfo;
class MainWindowMenuController;
class ProductFamily;
class QStackedWidget;
class QVBoxLayout;
class VisibleDevice;
class VisibleDevicesWidget;
class WindowFooter;

// The setup utility's single top-level window. It owns the device list, the
// network browser and the views, and routes every request about a device to
// the family that produced it. Families are not owned: they are told
// destroy() when the window goes. GUI thread only.
class AdminUtilityWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kMinimumWidth = 780;
    static constexpr int kMinimumContentHeight = 680;

    explicit AdminUtilityWindow(QWidget* parent = nullptr);
    ~AdminUtilityWindow() override;

    // The order of addition is the order of initialisation, of the close
    // question, of network offers and of the build-details tabs.
    void addFamily(ProductFamily* family);
    const QList<ProductFamily*>& families() const { return m_families; }

    // Loads the plug-ins found directly in each directory (no file-name
    // filter) and returns the number of families added.
    int loadPlugins(QStringList directories);
    static QStringList standalonePluginDir();
    static QStringList installedPluginDir(std::string base);

    void updateDeviceInfo(VisibleDevice* device);

    DeviceList& deviceList() { return m_deviceList; }
    BonjourDiscovery& networkBrowser() { return m_networkBrowser; }
    VisibleDevicesWidget* galleryView() const { return m_galleryView; }
    QWidget* listView() const { return m_listView; }
    QStackedWidget* viewStack() const { return m_viewStack; }
    WindowFooter* footer() const { return m_footer; }
    MainWindowMenuController* menuController() const { return m_menuController; }
    bool isStarted() const { return m_started; }

    // The fixed text at the top of the build-details dialog.
    static QString buildInformationText();
    static QString settingsOrganisation() { return QStringLiteral("Morvane"); }

public slots:
    void postShowStartup();
    void showAboutBox();
    void showBuildDetails();
    void onBonjourDeviceAdded(const BonjourInfo& info);
    void onBonjourDeviceRemoved(const BonjourInfo& info);
    void onBonjourDeviceUpdated(const BonjourInfo& info);
    void newDeviceAddedByIP(const BonjourInfo& info);
    void showDevice(VisibleDevice* device);
    void showControlApp(VisibleDevice* device);
    void updateFirmware(VisibleDevice* device);
    void onMenuButtonClicked();
    void onAddByIpClicked();
    void onGalleryViewSelected();
    void onListViewSelected();
    // Shows the window in front of the others, restored if it was minimised.
    void bringToFront();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The optional list view shown instead of the gallery; none here.
    virtual QWidget* getListViewWidget();

    void showMenuOptions(bool addByIpOnly);

private:
    // Shows the chosen view; without devices the gallery's empty state.
    void showChosenView();

    DeviceList m_deviceList;
    bool m_started = false;
    bool m_listChosen = false;
    VisibleDevicesWidget* m_galleryView = nullptr;
    QWidget* m_listView = nullptr;
    BonjourDiscovery m_networkBrowser;
    QList<ProductFamily*> m_families;
    AddByIpAddressWidget* m_addByIpWidget = nullptr;
    AddByIpAddressController* m_addByIpController = nullptr;
    MainWindowMenuController* m_menuController = nullptr;
    QVBoxLayout* m_centralLayout = nullptr;
    QStackedWidget* m_viewStack = nullptr;
    WindowFooter* m_footer = nullptr;
};
