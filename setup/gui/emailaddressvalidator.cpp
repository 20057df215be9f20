#include "emailaddressvalidator.h"

EMailAddressValidator::EMailAddressValidator(QObject* parent)
    : QRegExpValidator(QRegExp(QStringLiteral("[a-z0-9._%+-]+@[a-z0-9.-]+\\.[a-z]{2,4}"), Qt::CaseSensitive),
                       parent)
    , m_partial(QStringLiteral("[a-z0-9._%+-]*@?[a-z0-9.-]*\\.?[a-z]*"), Qt::CaseSensitive)
{
}

QValidator::State EMailAddressValidator::validate(QString& input, int& pos) const
{
    if (input.isEmpty())
        return Acceptable;
    const State full = QRegExpValidator::validate(input, pos);
    if (full != Acceptable && m_partial.exactMatch(input))
        return Intermediate;
    return full;
}
