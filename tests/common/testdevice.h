// A device and a family whose every answer the test sets, for the tests of
// the setup utility's shell and views.
#pragma once

#include "imainwindowmenu.h"
#include "productfamilybase.h"
#include "visibledevice.h"

#include <QGuiApplication>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class MainWindowDialogWidget;

class TestDevice : public QObject, public VisibleDevice
{
    Q_OBJECT

public:
    explicit TestDevice(const QString& name, QObject* parent = nullptr) : QObject(parent), name(name)
    {
        // A test without a GUI application (the device list's) can hold no pixmap.
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            image = QPixmap(400, 360);
            image.fill(QColor(40, 120, 90));
        }
    }
    ~TestDevice() override { delete summary; }

    QString familyName() const override { return QStringLiteral("Test"); }
    QString modelName() const override { return model; }
    QString ipAddress() const override { return QString(); }
    QPixmap modelImage() const override { return image; }
    QPixmap modelThumb() const override { return image.isNull() ? image : image.scaled(200, 180); }
    QString deviceName() const override { return name; }
    QPixmap launcherConnectionIcon() const override { return connectionIcon; }
    QPixmap cardConnectionIcon() const override { return QPixmap(); }
    bool isUsbDevice() const override { return usb; }
    bool firmwareUpdateOnly() const override { return firmwareOnly; }
    QString currentFirmwareString() const override { return currentFirmware; }
    bool firmwareUpdateAvailable() const override { return updateAvailable; }
    QString availableFirmwareString() const override { return availableFirmware; }
    DeviceFirmwareUpdater* getFirmwareUpdater() override { return nullptr; }
    bool isTestMode() const override { return testMode; }
    QWidget* summaryWidget() const override { return summary; }
    bool shouldShowSetup() const override { return showSetup; }

    QString name;
    QString model = QStringLiteral("Test Model");
    QPixmap image;
    QPixmap connectionIcon;
    bool usb = false; // USB devices sort ahead of the others
    bool firmwareOnly = false;
    QString currentFirmware;
    bool updateAvailable = false;
    QString availableFirmware;
    bool testMode = false;
    bool showSetup = true;
    // Owned by the device, as a card owns its summary.
    QPointer<QWidget> summary;
};

// Announces the devices the test hands it and records what the window asks.
class TestFamily : public ProductFamilyBase
{
    Q_OBJECT

public:
    explicit TestFamily(const QString& name = QStringLiteral("Views"), QObject* parent = nullptr)
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
