#include "nonemptyvalidator.h"

#include "sharedvalidator.h"

NonEmptyValidator::NonEmptyValidator(QObject* parent)
    : QValidator(parent)
{
}

QValidator::State NonEmptyValidator::validate(QString& input, int&) const
{
    return input.isEmpty() ? Intermediate : Acceptable;
}

NonEmptyValidator* NonEmptyValidator::shared()
{
    static SharedValidator<NonEmptyValidator> instance;
    return instance.get();
}
