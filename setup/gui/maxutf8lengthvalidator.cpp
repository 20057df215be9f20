#include "maxutf8lengthvalidator.h"

#include "textvalidatorflags.h"

using namespace TextValidatorFlags;

MaxUtf8LengthValidator::MaxUtf8LengthValidator(int size, int flags, QObject* parent)
    : QValidator(parent)
    , m_size(size)
    , m_flags(flags)
{
}

QValidator::State MaxUtf8LengthValidator::validate(QString& input, int&) const
{
    if (input.isEmpty() && !(m_flags & kAllowEmpty))
        return Intermediate;
    if (input.toUtf8().size() > maxLength())
        return Invalid;
    if (input.isEmpty())
        return Acceptable;
    if (!(m_flags & kAllowLeadingSpace) && isWhiteSpace(input.front()))
        return Invalid;
    if (m_flags & kAllowTrailingSpace)
        return Acceptable;
    if (isWhiteSpace(input.back()))
        return Intermediate;
    return Acceptable;
}
