#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>

// How the card index treats text: names are trimmed of control characters and spaces, and
// compared case-insensitively by folding both sides to lower case.
namespace TextRules {

// Removes characters with codes 0 to 32 at both ends; the inside is left alone.
// (Not QString::trimmed(), which also removes other Unicode white space and keeps codes 0 to 8.)
QStringView trimmed(QStringView text);

// Lower case, letter by letter, as the user expects of Latin and Cyrillic text.
QString folded(QStringView text);

// True when needle occurs in haystack as a contiguous run; an empty needle occurs nowhere.
// Both sides are taken as they are: fold them first for a case-insensitive search.
inline bool contains(QStringView haystack, QStringView needle)
{
    const qsizetype m = needle.size();
    if (m == 0 || m > haystack.size())
        return false;
    // The haystacks are short names: a plain scan for the first character beats the general
    // search algorithms, which pay a set-up cost on every call. Inline, as filtering calls it
    // three times per row.
    const char16_t *h = haystack.utf16();
    const char16_t *n = needle.utf16();
    const char16_t first = n[0];
    const char16_t *last = h + (haystack.size() - m);
    for (const char16_t *p = h; p <= last; ++p) {
        if (*p == first && std::equal(n + 1, n + m, p + 1))
            return true;
    }
    return false;
}

} // namespace TextRules
