#pragma once

#include "bonjourinfo.h"

#include <QObject>

class AddByIpAddressWidget;
class AdminUtilityWindow;

// Asks one network device at a typed address for its record and hands the
// record to the main window. This build has no direct query, so every
// attempt ends on the failure page.
class AddByIpAddressController : public QObject
{
    Q_OBJECT

public:
    explicit AddByIpAddressController(AdminUtilityWindow* window);

    void setWidget(AddByIpAddressWidget* widget);

signals:
    void deviceAddedByIP(const BonjourInfo& info);

public slots:
    void onAdd();
    void onBonjourInfoQueryReceived(bool ok);
    void cleanUp();

private:
    AdminUtilityWindow* m_window = nullptr;
    AddByIpAddressWidget* m_widget = nullptr;
    BonjourInfo m_result;
};
