#pragma once

#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

// What the fuzz targets share: turning the fuzzer's bytes into text and numbers, and stopping the
// run with a readable message when a property does not hold.
namespace FuzzInput {

// The bytes as UTF-16 text. UTF-8 is read leniently so that every UTF-16 string can be written:
// a three-byte sequence may encode a lone surrogate, and a byte that starts no complete sequence
// stands for itself as a Latin-1 character. Hand-made seeds are plain UTF-8.
inline QString decode(const uint8_t *data, size_t size)
{
    QString text;
    text.reserve(static_cast<qsizetype>(size));
    size_t i = 0;
    auto continuation = [&](size_t at) { return at < size && (data[at] & 0xC0) == 0x80; };
    while (i < size) {
        const uint8_t b = data[i];
        if (b >= 0xC0 && b < 0xE0 && continuation(i + 1)) {
            text += QChar(char16_t(((b & 0x1F) << 6) | (data[i + 1] & 0x3F)));
            i += 2;
        } else if (b >= 0xE0 && b < 0xF0 && continuation(i + 1) && continuation(i + 2)) {
            text += QChar(
                char16_t(((b & 0x0F) << 12) | ((data[i + 1] & 0x3F) << 6) | (data[i + 2] & 0x3F)));
            i += 3;
        } else if (b >= 0xF0 && b < 0xF8 && continuation(i + 1) && continuation(i + 2)
                   && continuation(i + 3)) {
            const char32_t code = char32_t(((b & 0x07) << 18) | ((data[i + 1] & 0x3F) << 12)
                                           | ((data[i + 2] & 0x3F) << 6) | (data[i + 3] & 0x3F));
            if (code > 0x10FFFF)
                text += QChar(QChar::ReplacementCharacter);
            else
                text += QString::fromUcs4(&code, 1);
            i += 4;
        } else {
            text += QChar(char16_t(b));
            ++i;
        }
    }
    return text;
}

// An optional minus sign and decimal digits at text[pos...], advancing pos past them; the value
// wraps around to 32 bits, so every int can be written. Nothing when there is no digit.
inline std::optional<int> readNumber(QStringView text, qsizetype &pos)
{
    qsizetype at = pos;
    const bool negative = at < text.size() && text[at] == u'-';
    if (negative)
        ++at;
    uint32_t value = 0;
    bool any = false;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        value = value * 10u + uint32_t(text[at].unicode() - u'0');
        any = true;
    }
    if (!any)
        return std::nullopt;
    pos = at;
    return static_cast<int>(negative ? 0u - value : value);
}

inline std::optional<int> readNumber(QStringView text)
{
    qsizetype pos = 0;
    return readNumber(text, pos);
}

// QString::toLower as the program calls it, on a temporary. Qt 6.4 folds a temporary in place and
// then, once a letter has grown (İ becomes i and a combining dot), turns a lone high surrogate at
// the very end into U+FFFD; folding a named string keeps that surrogate. Only malformed text
// differs, but the references must fold the way the program does.
inline QString lowered(const QString &text)
{
    return QString(text).toLower();
}

// Text for a failure message: printable characters as they are, the rest (controls, surrogates)
// as \uXXXX, so that the message says exactly what was compared.
inline QString shown(QStringView text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c.isSurrogate() || !c.isPrint() || c == u'\\' || c == u'"')
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
        else
            out += c;
    }
    return out + u'"';
}

[[noreturn]] inline void fail(const char *condition, const char *file, int line,
                              const QString &detail)
{
    std::fprintf(stderr, "\n%s:%d: property violated: %s\n%s\n", file, line, condition,
                 detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort(); // libFuzzer reports the input as a crash and keeps it
}

} // namespace FuzzInput

// Stops the run when cond is false; detail (a QString) is built only then.
#define FUZZ_CHECK(cond, detail) \
    do { \
        if (!(cond)) \
            FuzzInput::fail(#cond, __FILE__, __LINE__, (detail)); \
    } while (false)
