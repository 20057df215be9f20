// The shell's own test families; the device and the QObject family are
// shared with the views' tests.
#pragma once

#include "devicelist.h"
#include "testdevice.h"

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
