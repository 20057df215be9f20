#pragma once

#include <QString>
#include <QtPlugin>

class AdminUtilityWindow;
class BonjourInfo;
class IMainWindowMenu;
class VisibleDevice;

// A family of products: finds its own devices, announces them to the device
// list and answers the main window's requests about them. Families live for
// the whole process; destroy() is called once instead of a destructor.
// All calls arrive on the GUI thread.
class ProductFamily
{
public:
    // Tab title in the build-details dialog.
    virtual QString getName() const = 0;
    virtual void destroy() = 0;
    // Starts finding devices; the device signals are connected already.
    virtual void init() = 0;
    // False keeps the main window open.
    virtual bool okToClose() const = 0;
    // True: this family took the network device and no other family is asked.
    virtual bool handlesBonjourArrival(const BonjourInfo& info) = 0;
    virtual bool handlesBonjourRemoval(const BonjourInfo& info) = 0;
    virtual bool handlesBonjourUpdate(const BonjourInfo& info) = 0;
    virtual void showDevice(VisibleDevice* device, AdminUtilityWindow* window) = 0;
    virtual void showControlApp(VisibleDevice* device, AdminUtilityWindow* window) = 0;
    virtual void updateDevice(VisibleDevice* device, AdminUtilityWindow* window) = 0;
    // Rich text for the family's tab in the build-details dialog.
    virtual QString getBuildInfo() const = 0;
    virtual void addMainWindowMenuOptions(IMainWindowMenu* menu) = 0;

protected:
    ~ProductFamily() = default;
};

Q_DECLARE_INTERFACE(ProductFamily, "ProductFamily")
