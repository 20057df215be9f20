#pragma once

#include "productfamilybase.h"
#include "zeltradiscovery.h"

// The card family built into the setup utility: announces the cards that
// discovery finds to the device list, opens their settings and writes the
// card section of the build details. Created once by main, never deleted.
class ZeltraFamily : public ProductFamilyBase
{
    Q_OBJECT

public:
    explicit ZeltraFamily(QObject* parent = nullptr);
    // The cards still shown go with the family.
    ~ZeltraFamily() override;

    QString getName() const override;
    void init() override;
    // Network devices are never cards.
    bool handlesBonjourArrival(const BonjourInfo& info) override;
    bool handlesBonjourRemoval(const BonjourInfo& info) override;
    void showDevice(VisibleDevice* device, AdminUtilityWindow* window) override;
    QString getBuildInfo() const override;

    // Cards are never added by address.
    void tryAddByIpAddress(const QString& address);
    void cancelAddByIpAddress(const QString& address);

    const ZeltraDiscovery& discovery() const { return m_discovery; }

public slots:
    void onDeviceFound(VisibleDevice* device);
    void onDeviceLost(VisibleDevice* device);

private:
    ZeltraDiscovery m_discovery;
};
