#include "emailaddressvalidator.h"

#include "cardrules.h"

EMailAddressValidator::EMailAddressValidator(QObject* parent)
    : QRegExpValidator(QRegExp(QStringLiteral("[a-z0-9._%+-]+@[a-z0-9.-]+\\.[a-z]{2,4}"), Qt::CaseSensitive),
                       parent)
{
}

// What the card's notes accept is decided where ondavia-ctl decides it too.
QValidator::State EMailAddressValidator::validate(QString& input, int&) const
{
    if (CardRules::isEMailAddress(input))
        return Acceptable;
    return CardRules::isPartialEMailAddress(input) ? Intermediate : Invalid;
}
