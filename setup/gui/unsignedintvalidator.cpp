#include "unsignedintvalidator.h"

#include "sharedvalidator.h"

UnsignedIntValidator::UnsignedIntValidator(int minimum, int maximum, QObject* parent)
    : QIntValidator(minimum, maximum, parent)
{
}

QValidator::State UnsignedIntValidator::validate(QString& input, int& pos) const
{
    if (input.isEmpty())
        return Intermediate;
    const QChar first = input.at(0);
    if (first < QLatin1Char('1') || first > QLatin1Char('9'))
        return Invalid;
    return QIntValidator::validate(input, pos);
}

UnsignedIntValidator* UnsignedIntValidator::sharedPort()
{
    static SharedValidator<UnsignedIntValidator> instance(
        [] { return new UnsignedIntValidator(1024, 49151); });
    return instance.get();
}
