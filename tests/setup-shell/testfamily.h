#pragma once

#include "devicelist.h"
#include "imainwindowmenu.h"
#include "productfamilybase.h"
#include "visibledevice.h"

#include <QObject>
#include <QPixmap>
#include <QStringList>

class MainWindowDialogWidget;

// A device with a name and a bus, nothing else.
class TestDevice : public QObject, public VisibleDevice
{
    Q_OBJECT

public:
    TestDevice(const QString& name, bool usb, QObject* parent = nullptr)
        : QObject(parent), m_name(name), m_usb(usb)
    {}

    QString familyName() const override { return QStringLiteral("Test"); }
    QString modelName() const override { return QStringLiteral("Model ") + m_name; }
    QString ipAddress() const override { return QString(); }
    QPixmap modelImage() const override { return QPixmap(); }
    QPixmap modelThumb() const override { return QPixmap(); }
    QString deviceName() const override { return m_name; }
    QPixmap launcherConnectionIcon() const override { return QPixmap(); }
    QPixmap cardConnectionIcon() const override { return QPixmap(); }
    bool isUsbDevice() const override { return m_usb; }
    bool firmwareUpdateOnly() const override { return false; }
    QString currentFirmwareString() const override { return QString(); }
    bool firmwareUpdateAvailable() const override { return false; }
    QString availableFirmwareString() const override { return QString(); }
    DeviceFirmwareUpdater* getFirmwareUpdater() override { return nullptr; }
    bool isTestMode() const override { return false; }
    QWidget* summaryWidget() const override { return nullptr; }

private:
    QString m_name;
    bool m_usb;
};

// A family that records what the window asks of it.
class TestFamily : public ProductFamilyBase
{
    Q_OBJECT

public:
    explicit TestFamily(const QString& name, QObject* parent = nullptr)
        : ProductFamilyBase(parent), m_name(name)
    {}

    QString getName() const override { return m_name; }
    void init() override
    {
        ++initCount;
        for (VisibleDevice* device : qAsConst(devicesOnInit))
            emit deviceArrived(device);
    }
    void destroy() override { ++destroyCount; }
    bool okToClose() const override
    {
        ++closeQuestions;
        return allowClose;
    }
    void showDevice(VisibleDevice* device, AdminUtilityWindow* window) override
    {
        shown.append(device);
        shownIn = window;
    }
    void updateDevice(VisibleDevice* device, AdminUtilityWindow*) override { updated.append(device); }
    QString getBuildInfo() const override { return QStringLiteral("build of ") + m_name; }
    void addMainWindowMenuOptions(IMainWindowMenu* menu) override
    {
        for (const QString& title : qAsConst(menuTitles))
            menu->addOption(title, optionWidget);
    }

    void announce(VisibleDevice* device) { emit deviceArrived(device); }
    void withdraw(VisibleDevice* device) { emit deviceRemoved(device); }

    QList<VisibleDevice*> devicesOnInit;
    int initCount = 0;
    int destroyCount = 0;
    mutable int closeQuestions = 0;
    bool allowClose = true;
    QList<VisibleDevice*> shown;
    QList<VisibleDevice*> updated;
    AdminUtilityWindow* shownIn = nullptr;
    QStringList menuTitles;
    MainWindowDialogWidget* optionWidget = nullptr;

private:
    QString m_name;
};

// A family that is not a QObject: it cannot deliver devices.
class PlainFamily : public ProductFamily
{
public:
    QString getName() const override { return QStringLiteral("Plain"); }
    void destroy() override { ++destroyCount; }
    void init() override { ++initCount; }
    bool okToClose() const override { return true; }
    bool handlesBonjourArrival(const BonjourInfo&) override { return false; }
    bool handlesBonjourRemoval(const BonjourInfo&) override { return false; }
    bool handlesBonjourUpdate(const BonjourInfo&) override { return false; }
    void showDevice(VisibleDevice*, AdminUtilityWindow*) override {}
    void showControlApp(VisibleDevice*, AdminUtilityWindow*) override {}
    void updateDevice(VisibleDevice*, AdminUtilityWindow*) override {}
    QString getBuildInfo() const override { return QString(); }
    void addMainWindowMenuOptions(IMainWindowMenu*) override { ++menuRequests; }

    int initCount = 0;
    int destroyCount = 0;
    int menuRequests = 0;
};
