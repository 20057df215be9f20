#include "exfatfilenamevalidator.h"

#include "textvalidatorflags.h"

using namespace TextValidatorFlags;

ExFatFileNameValidator::ExFatFileNameValidator(int size, int flags, QObject* parent)
    : QValidator(parent)
    , m_size(size)
    , m_flags(flags)
{
}

QValidator::State ExFatFileNameValidator::validate(QString& input, int&) const
{
    if (input.isEmpty() && !(m_flags & kAllowEmpty))
        return Intermediate;
    if (input.toLatin1().size() > maxLength())
        return Invalid;
    if (input.isEmpty())
        return Acceptable;
    if (!(m_flags & kAllowLeadingSpace) && isWhiteSpace(input.front()))
        return Invalid;
    if (!(m_flags & kAllowTrailingSpace) && isWhiteSpace(input.back()))
        return Intermediate;
    static const QString kReserved = QStringLiteral("*/\\:\"><|?");
    for (const QChar c : qAsConst(input)) {
        if (!(m_flags & kAllowReservedCharacters) && kReserved.contains(c))
            return Invalid;
        if (c.unicode() < 32 || c.unicode() > 127)
            return Invalid;
    }
    return Acceptable;
}
