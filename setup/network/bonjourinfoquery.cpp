#include "bonjourinfoquery.h"

const unsigned short BonjourInfoQuery::s_port = 5353;
const int BonjourInfoQuery::s_msTimeBeforeResend = 2000;
const QString BonjourInfoQuery::s_dnsName = QStringLiteral("_morvane._tcp.local");

namespace {

unsigned short s_testPort = 0;
int s_testResendMilliseconds = 0;

} // namespace

BonjourInfoQuery::BonjourInfoQuery(QObject* parent) : QObject(parent)
{
    if (s_testPort != 0)
        m_port = s_testPort;
    if (s_testResendMilliseconds > 0)
        m_resendMilliseconds = s_testResendMilliseconds;
    connect(&m_query, &DNSQuery::DNSResponseReceived, this, &BonjourInfoQuery::onDNSResponseReceived);
    connect(&m_resendTimer, &QTimer::timeout, this, &BonjourInfoQuery::onTimeout);
}

void BonjourInfoQuery::overrideTargetForTesting(unsigned short port, int resendMilliseconds)
{
    s_testPort = port;
    s_testResendMilliseconds = resendMilliseconds;
}

bool BonjourInfoQuery::isDeviceAddress(const QHostAddress& address)
{
    // The reply is only taken from the address asked, so an address that
    // no single device answers from would be asked for ever.
    return address.protocol() == QAbstractSocket::IPv4Protocol && address != QHostAddress(QHostAddress::AnyIPv4)
           && !address.isBroadcast() && !address.isMulticast();
}

bool BonjourInfoQuery::sendInfoQuery(const QHostAddress& address)
{
    m_address = address;
    m_resendTimer.start(m_resendMilliseconds);
    if (isDeviceAddress(address) && m_query.sendPTRQuery(m_address, m_port, s_dnsName))
        return true;
    m_resendTimer.stop();
    return false;
}

void BonjourInfoQuery::onTimeout()
{
    m_resendTimer.start(m_resendMilliseconds);
    if (m_query.sendFollowUpQuery())
        return;
    // The way to the device has gone (no route any more, say): waiting on
    // would never end.
    m_resendTimer.stop();
    emit bonjourInfoQueryReceived(false);
}

void BonjourInfoQuery::onDNSResponseReceived(bool ok)
{
    m_resendTimer.stop();
    if (ok) {
        QString serviceType;
        QString domain;
        m_query.getDomain(serviceType, domain);
        const BonjourDevice device{m_query.getServiceName().toStdString(), serviceType.toStdString(),
                                   domain.toStdString()};
        m_result = BonjourInfo(device, m_address.toString());
        const DNSReplyToQuery& reply = m_query.reply();
        m_result.unpackTextRecord(reply.getAdditionalText(), reply.getAdditionalTextLength());
    }
    emit bonjourInfoQueryReceived(ok);
}
