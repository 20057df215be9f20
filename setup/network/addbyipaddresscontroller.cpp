#include "addbyipaddresscontroller.h"

#include "addbyipaddresswidget.h"
#include "adminutilitywindow.h"
#include "bonjourinfoquery.h"

#include <QHostAddress>

AddByIpAddressController::AddByIpAddressController(AdminUtilityWindow* window)
    : QObject(window), m_window(window)
{}

AddByIpAddressController::~AddByIpAddressController()
{
    delete m_query; // deleting later is no use once the controller goes
}

void AddByIpAddressController::setWidget(AddByIpAddressWidget* widget)
{
    m_widget = widget;
    connect(widget, &AddByIpAddressWidget::addDevice, this, &AddByIpAddressController::onAdd);
    connect(widget, &AddByIpAddressWidget::closePressed, this, &AddByIpAddressController::cleanUp);
    widget->setState(AddByIpAddressWidget::Input);
}

void AddByIpAddressController::onAdd()
{
    if (!m_widget)
        return;
    m_widget->setState(AddByIpAddressWidget::Searching);
    cleanUp();
    m_query = new BonjourInfoQuery(this);
    connect(m_query, &BonjourInfoQuery::bonjourInfoQueryReceived, this,
            &AddByIpAddressController::onBonjourInfoQueryReceived);
    m_query->sendInfoQuery(QHostAddress(m_widget->address()));
}

void AddByIpAddressController::onBonjourInfoQueryReceived(bool ok)
{
    if (!m_widget || !m_query)
        return;
    if (ok) {
        emit deviceAddedByIP(m_query->result());
        m_widget->setState(AddByIpAddressWidget::Found);
    } else {
        m_widget->setState(AddByIpAddressWidget::Failed);
    }
}

void AddByIpAddressController::cleanUp()
{
    if (!m_query)
        return;
    // Signals of the old query must not reach this controller any more.
    m_query->disconnect(this);
    m_query->deleteLater();
    m_query = nullptr;
}
