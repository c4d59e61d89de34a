#include "carddata/TextRules.h"

namespace TextRules {

namespace {
constexpr bool isTrimmed(QChar c)
{
    return c.unicode() <= 32;
}
} // namespace

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmed(text[begin]))
        ++begin;
    while (end > begin && isTrimmed(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString folded(QStringView text)
{
    return text.toString().toLower();
}

} // namespace TextRules
