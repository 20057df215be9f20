#pragma once

#include "productfamily.h"

#include <QObject>

// The usual base of a family: the defaults of ProductFamily and the device
// signals the main window connects to the device list. Signals must be
// emitted on the GUI thread (the connections are direct).
class ProductFamilyBase : public QObject, public ProductFamily
{
    Q_OBJECT
    Q_INTERFACES(ProductFamily)

public:
    explicit ProductFamilyBase(QObject* parent = nullptr);

    void destroy() override;
    bool okToClose() const override;
    bool handlesBonjourArrival(const BonjourInfo& info) override;
    bool handlesBonjourRemoval(const BonjourInfo& info) override;
    bool handlesBonjourUpdate(const BonjourInfo& info) override;
    void showDevice(VisibleDevice* device, AdminUtilityWindow* window) override;
    void showControlApp(VisibleDevice* device, AdminUtilityWindow* window) override;
    void updateDevice(VisibleDevice* device, AdminUtilityWindow* window) override;
    QString getBuildInfo() const override;
    void addMainWindowMenuOptions(IMainWindowMenu* menu) override;

signals:
    void deviceArrived(VisibleDevice* device);
    void deviceRemoved(VisibleDevice* device);
    void deviceInfoChanged(VisibleDevice* device);
    // No receiver in the shell; kept for families that ask to be shown.
    void displayDevice(VisibleDevice* device);
};
