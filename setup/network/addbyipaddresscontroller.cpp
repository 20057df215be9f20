#include "addbyipaddresscontroller.h"

#include "addbyipaddresswidget.h"
#include "adminutilitywindow.h"
#include "bonjourinfoquery.h"

#include <QHostAddress>
#include <QStringList>

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
    if (!m_query->sendInfoQuery(addressFromText(m_widget->address()))) {
        // Nothing went out, so no answer can come: the search has failed.
        cleanUp();
        m_widget->setState(AddByIpAddressWidget::Failed);
    }
}

QHostAddress AddByIpAddressController::addressFromText(const QString& text)
{
    // Each octet in decimal: QHostAddress would read "010" as octal 8 and
    // refuse "08" altogether, while the address field accepts both.
    const QStringList octets = text.split(QLatin1Char('.'));
    if (octets.size() != 4)
        return QHostAddress();
    quint32 address = 0;
    for (const QString& octet : octets) {
        if (octet.isEmpty() || octet.size() > 3)
            return QHostAddress();
        uint value = 0;
        for (const QChar c : octet) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return QHostAddress();
            value = value * 10 + uint(c.unicode() - '0');
        }
        if (value > 255)
            return QHostAddress();
        address = (address << 8) | value;
    }
    return QHostAddress(address);
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
