#include "ipaddressvalidator.h"

#include "sharedvalidator.h"

namespace {
const QString kOctet = QStringLiteral("(25[0-5]|2[0-4][0-9]|[01]?[0-9]?[0-9])");
}

IpAddressValidator::IpAddressValidator(QObject* parent)
    : QRegExpValidator(QRegExp(kOctet + QStringLiteral("\\.") + kOctet + QStringLiteral("\\.") + kOctet
                               + QStringLiteral("\\.") + kOctet),
                       parent)
    , m_partial(kOctet + QStringLiteral("?(\\.") + kOctet + QStringLiteral("?){0,3}"))
{
}

QValidator::State IpAddressValidator::validate(QString& input, int& pos) const
{
    const State full = QRegExpValidator::validate(input, pos);
    if (full != Acceptable && m_partial.exactMatch(input))
        return Intermediate;
    return full;
}

IpAddressValidator* IpAddressValidator::shared()
{
    static SharedValidator<IpAddressValidator> instance;
    return instance.get();
}

IpAddressValidator* IpAddressValidator::sharedForAddressEntry()
{
    static SharedValidator<IpAddressValidator> instance;
    return instance.get();
}
