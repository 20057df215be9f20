#pragma once

#include "productfamilybase.h"
#include "visibledevice.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

// A device whose every answer the test sets.
class ViewTestDevice : public QObject, public VisibleDevice
{
    Q_OBJECT

public:
    explicit ViewTestDevice(const QString& name, QObject* parent = nullptr) : QObject(parent), name(name)
    {
        image = QPixmap(400, 360);
        image.fill(QColor(40, 120, 90));
    }
    ~ViewTestDevice() override { delete summary; }

    QString familyName() const override { return QStringLiteral("Test"); }
    QString modelName() const override { return model; }
    QString ipAddress() const override { return QString(); }
    QPixmap modelImage() const override { return image; }
    QPixmap modelThumb() const override { return image.scaled(200, 180); }
    QString deviceName() const override { return name; }
    QPixmap launcherConnectionIcon() const override { return connectionIcon; }
    QPixmap cardConnectionIcon() const override { return QPixmap(); }
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
    bool firmwareOnly = false;
    QString currentFirmware;
    bool updateAvailable = false;
    QString availableFirmware;
    bool testMode = false;
    bool showSetup = true;
    // Owned by the device, as a card owns its summary.
    QPointer<QWidget> summary;
};

// Announces the devices the test hands it.
class ViewTestFamily : public ProductFamilyBase
{
    Q_OBJECT

public:
    using ProductFamilyBase::ProductFamilyBase;

    QString getName() const override { return QStringLiteral("Views"); }
    void init() override
    {
        for (VisibleDevice* device : qAsConst(devicesOnInit))
            emit deviceArrived(device);
    }
    void announce(VisibleDevice* device) { emit deviceArrived(device); }
    void withdraw(VisibleDevice* device) { emit deviceRemoved(device); }

    QList<VisibleDevice*> devicesOnInit;
};
