#include "bonjourinfoquery.h"

const unsigned short BonjourInfoQuery::s_port = 5353;
const int BonjourInfoQuery::s_msTimeBeforeResend = 2000;
const QString BonjourInfoQuery::s_dnsName = QStringLiteral("_morvane._tcp.local");

namespace {

// A positive number from the environment no larger than `maximum`, else
// `fallback`.
int environmentNumber(const char* name, int fallback, int maximum)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 && value <= maximum ? value : fallback;
}

} // namespace

BonjourInfoQuery::BonjourInfoQuery(QObject* parent) : QObject(parent)
{
    m_port = static_cast<unsigned short>(environmentNumber("ONDAVIA_MDNS_PORT", s_port, 65535));
    m_resendMilliseconds = environmentNumber("ONDAVIA_MDNS_RESEND_MS", s_msTimeBeforeResend, 3600 * 1000);
    connect(&m_query, &DNSQuery::DNSResponseReceived, this, &BonjourInfoQuery::onDNSResponseReceived);
    connect(&m_resendTimer, &QTimer::timeout, this, &BonjourInfoQuery::onTimeout);
}

bool BonjourInfoQuery::sendInfoQuery(const QHostAddress& address)
{
    m_address = address;
    m_resendTimer.start(m_resendMilliseconds);
    return m_query.sendPTRQuery(m_address, m_port, s_dnsName);
}

void BonjourInfoQuery::onTimeout()
{
    m_resendTimer.start(m_resendMilliseconds);
    m_query.sendPTRQuery(m_address, m_port, s_dnsName);
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
