#include "addbyipaddresscontroller.h"

#include "addbyipaddresswidget.h"
#include "adminutilitywindow.h"

AddByIpAddressController::AddByIpAddressController(AdminUtilityWindow* window)
    : QObject(window), m_window(window)
{}

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
    onBonjourInfoQueryReceived(false);
}

void AddByIpAddressController::onBonjourInfoQueryReceived(bool ok)
{
    if (!m_widget)
        return;
    if (ok) {
        emit deviceAddedByIP(m_result);
        m_widget->setState(AddByIpAddressWidget::Found);
    } else {
        m_widget->setState(AddByIpAddressWidget::Failed);
    }
}

void AddByIpAddressController::cleanUp()
{
    m_result = BonjourInfo();
}
