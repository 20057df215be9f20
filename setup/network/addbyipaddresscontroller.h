#pragma once

#include "bonjourinfo.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>

class AddByIpAddressWidget;
class AdminUtilityWindow;
class BonjourInfoQuery;

// Runs the direct query for the address typed on the add-by-address page
// and hands the device's record to the main window when it answers. One
// query at a time; it lives until the next Add or until the page closes.
class AddByIpAddressController : public QObject
{
    Q_OBJECT

public:
    explicit AddByIpAddressController(AdminUtilityWindow* window);
    ~AddByIpAddressController() override;

    void setWidget(AddByIpAddressWidget* widget);
    BonjourInfoQuery* currentQuery() const { return m_query; }
    // The dotted quad of the address field, every octet read as decimal; a
    // null address for anything else.
    static QHostAddress addressFromText(const QString& text);

signals:
    void deviceAddedByIP(const BonjourInfo& info);

public slots:
    void onAdd();
    void onBonjourInfoQueryReceived(bool ok);
    void cleanUp();

private:
    AdminUtilityWindow* m_window = nullptr;
    QPointer<AddByIpAddressWidget> m_widget; // owned by the window, which may delete it first
    BonjourInfoQuery* m_query = nullptr;
};
