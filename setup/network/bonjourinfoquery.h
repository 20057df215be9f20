#pragma once

#include "bonjourinfo.h"
#include "dnsquery.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>

// Fetches the record of the one device at a known IPv4 address: the PTR
// question goes out at once and again on every resend interval until a
// datagram from the device's mDNS port arrives or the owner deletes this.
//
// Test hooks (environment, read when the object is made; never set in
// normal use): ONDAVIA_MDNS_PORT replaces the device port 5353, so a
// stand-in device can listen on an unprivileged port;
// ONDAVIA_MDNS_RESEND_MS replaces the 2000 ms resend interval.
class BonjourInfoQuery : public QObject
{
    Q_OBJECT

public:
    static const unsigned short s_port;
    static const int s_msTimeBeforeResend;
    static const QString s_dnsName;

    explicit BonjourInfoQuery(QObject* parent = nullptr);

    bool sendInfoQuery(const QHostAddress& address);

    // After bonjourInfoQueryReceived(true): the device's record.
    const BonjourInfo& result() const { return m_result; }
    const QTimer& resendTimer() const { return m_resendTimer; }
    const DNSQuery& dnsQuery() const { return m_query; }
    unsigned short port() const { return m_port; }

signals:
    void bonjourInfoQueryReceived(bool ok);

public slots:
    void onDNSResponseReceived(bool ok);
    void onTimeout();

private:
    BonjourInfo m_result;
    DNSQuery m_query;
    QHostAddress m_address;
    QTimer m_resendTimer;
    unsigned short m_port = s_port;
    int m_resendMilliseconds = s_msTimeBeforeResend;
};
