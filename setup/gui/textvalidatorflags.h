#pragma once

#include <QChar>
#include <QString>

// Flags of the length-limited text validators.
namespace TextValidatorFlags {
enum : int {
    kAllowEmpty = 1,
    kAllowLeadingSpace = 2,
    kAllowTrailingSpace = 4,
    kAllowReservedCharacters = 8, // file names only
};

// Characters 9 to 13, 32, 133, 160 and every other Unicode space.
inline bool isWhiteSpace(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 9 && u <= 13) || u == 32 || u == 133 || u == 160 || c.isSpace();
}
} // namespace TextValidatorFlags
