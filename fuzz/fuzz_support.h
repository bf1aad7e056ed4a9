#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken invariant is a finding: print it and abort so libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "FUZZ_CHECK failed: %s at %s:%d\n", #cond, __FILE__, __LINE__);   \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace quarbel::fuzz {

inline QString textOf(const std::uint8_t *data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The input as lines: one entry a line, as a column pasted from elsewhere.
inline QStringList linesOf(const std::uint8_t *data, std::size_t size) {
    return textOf(data, size).split(u'\n');
}

// "-?D+.DDDD": the four-decimal display form.
inline bool isDisplayPattern(const QString &s) {
    qsizetype i = s.startsWith(u'-') ? 1 : 0;
    const qsizetype intStart = i;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9')
        ++i;
    if (i == intStart || i + 5 != s.size() || s[i] != u'.')
        return false;
    for (++i; i < s.size(); ++i)
        if (s[i] < u'0' || s[i] > u'9')
            return false;
    return true;
}

// "-?D+(.D*[1-9])?": the plain decimal form, no exponent, no trailing zeros, no "-0".
inline bool isPlainPattern(const QString &s) {
    if (s.startsWith(QLatin1String("-0")) && !s.startsWith(QLatin1String("-0.")))
        return false;
    qsizetype i = s.startsWith(u'-') ? 1 : 0;
    const qsizetype intStart = i;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9')
        ++i;
    if (i == intStart)
        return false;
    if (i == s.size())
        return true;
    if (s[i] != u'.' || s.back() == u'0' || i + 1 == s.size())
        return false;
    for (++i; i < s.size(); ++i)
        if (s[i] < u'0' || s[i] > u'9')
            return false;
    return true;
}

} // namespace quarbel::fuzz
