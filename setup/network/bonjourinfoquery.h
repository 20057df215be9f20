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
// An answer to any of the queries sent counts, so a device slower than the
// resend interval is still found. A query that cannot be sent ends the
// search: sendInfoQuery() returns false, or, for a resend,
// bonjourInfoQueryReceived(false) is emitted.
class BonjourInfoQuery : public QObject
{
    Q_OBJECT

public:
    static const unsigned short s_port;
    static const int s_msTimeBeforeResend;
    static const QString s_dnsName;

    explicit BonjourInfoQuery(QObject* parent = nullptr);

    bool sendInfoQuery(const QHostAddress& address);

    // An IPv4 address that one device can answer from (not the any,
    // broadcast or a multicast address).
    static bool isDeviceAddress(const QHostAddress& address);

    // For tests only: queries made afterwards go to `port` instead of 5353
    // (a stand-in device listens on an unprivileged port) and resend every
    // `resendMilliseconds`; 0 restores each default.
    static void overrideTargetForTesting(unsigned short port, int resendMilliseconds);

    // After bonjourInfoQueryReceived(true): the device's record.
    const BonjourInfo& result() const { return m_result; }
    const QTimer& resendTimer() const { return m_resendTimer; }
    const DNSQuery& dnsQuery() const { return m_query; }
    unsigned short port() const { return m_port; }
    int resendInterval() const { return m_resendMilliseconds; }

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
