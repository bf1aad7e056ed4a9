#include "core/entry/number_rules.h"

#include "core/entry/wide_int.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace quarbel {
namespace {

// A decimal number as sign, significant digits and the position of the decimal point counted
// from the left of the digits: digits "125", point 1 is 1.25; point -2 is 0.00125.
struct Decimal {
    bool negative{false};
    std::string digits;
    int point{0};
};

// Decimal text of a double to 15 significant digits, correctly rounded by the C library.
Decimal decimalOf(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    const QByteArray e = QByteArray::number(std::fabs(value), 'e', 14); // d.dddddddddddddde±XX
    const int ePos = e.indexOf('e');
    d.digits.reserve(15);
    for (int i = 0; i < ePos; ++i)
        if (e[i] != '.')
            d.digits.push_back(e[i]);
    d.point = e.mid(ePos + 1).toInt() + 1;
    return d;
}

// Rounds half away from zero to `decimals` places after the point; keeps the digit count
// exactly point + decimals (padding with zeros).
Decimal roundTo(Decimal d, int decimals) {
    const int keep = d.point + decimals;
    if (keep < 0) {
        d.digits.clear();
        d.point = -decimals;
        return d;
    }
    bool up = keep < int(d.digits.size()) && d.digits[keep] >= '5';
    d.digits.resize(keep, '0');
    for (int i = keep - 1; up && i >= 0; --i) {
        if (d.digits[i] == '9') {
            d.digits[i] = '0';
        } else {
            ++d.digits[i];
            up = false;
        }
    }
    if (up) {
        d.digits.insert(d.digits.begin(), '1');
        ++d.point;
    }
    return d;
}

// Writes the number with at least one digit before the point and exactly `decimals` after
// it (or, with decimals < 0, as few as needed). A zero value never shows a minus sign.
QString format(const Decimal &d, int decimals) {
    auto digitAt = [&d](int j) { return j >= 0 && j < int(d.digits.size()) ? d.digits[j] : '0'; };
    std::string intPart, fracPart;
    for (int j = 0; j < d.point; ++j)
        intPart.push_back(digitAt(j));
    const int fracEnd = decimals >= 0 ? d.point + decimals : int(d.digits.size());
    for (int j = d.point; j < fracEnd; ++j)
        fracPart.push_back(digitAt(j));
    if (decimals < 0)
        while (!fracPart.empty() && fracPart.back() == '0')
            fracPart.pop_back();
    const auto first = intPart.find_first_not_of('0');
    intPart = first == std::string::npos ? "0" : intPart.substr(first);
    const bool zero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    std::string out = (d.negative && !zero) ? "-" : "";
    out += intPart;
    if (!fracPart.empty())
        out += "." + fracPart;
    return QString::fromStdString(out);
}

struct Scanned {
    int length{0}; // characters that form the number; 0 when none
    bool negative{false};
    std::string digits; // mantissa digits, without the point
    int fractionDigits{0};
    long exponent{0};
};

// The digits and point of a number from `i` on, into `r`; gives where they end, or -1 when
// there is no digit.
qsizetype scanMantissa(QStringView s, qsizetype i, Scanned &r) {
    const qsizetype n = s.size();
    bool any = false;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
        r.digits.push_back(char(s[i].unicode()));
        ++i;
        any = true;
    }
    if (i < n && s[i] == u'.') {
        qsizetype j = i + 1;
        int frac = 0;
        std::string more;
        while (j < n && s[j].unicode() >= '0' && s[j].unicode() <= '9') {
            more.push_back(char(s[j].unicode()));
            ++j;
            ++frac;
        }
        if (any || frac > 0) {
            r.digits += more;
            r.fractionDigits = frac;
            i = j;
            any = true;
        }
    }
    return any ? i : -1;
}

// An exponent ("e", optional sign, digits) at `i`, into `r`; gives where it ends, or `i` when
// none is there.
qsizetype scanExponent(QStringView s, qsizetype i, Scanned &r) {
    const qsizetype n = s.size();
    if (!(i < n && (s[i] == u'e' || s[i] == u'E')))
        return i;
    qsizetype j = i + 1;
    bool negExp = false;
    if (j < n && (s[j] == u'+' || s[j] == u'-')) {
        negExp = s[j] == u'-';
        ++j;
    }
    long exp = 0;
    bool expDigits = false;
    while (j < n && s[j].unicode() >= '0' && s[j].unicode() <= '9') {
        exp = std::min(exp * 10 + (s[j].unicode() - '0'), 100000L);
        ++j;
        expDigits = true;
    }
    if (!expDigits)
        return i;
    r.exponent = negExp ? -exp : exp;
    return j;
}

// Scans the longest leading part of `s` that forms a number.
Scanned scanNumber(QStringView s) {
    Scanned r;
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        r.negative = s[i] == u'-';
        ++i;
    }
    i = scanMantissa(s, i, r);
    if (i < 0)
        return r;
    r.length = int(scanExponent(s, i, r));
    return r;
}

} // namespace

std::optional<Fixed4> Fixed4::parse(QStringView text) {
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const Scanned s = scanNumber(t);
    if (s.length != t.size())
        return std::nullopt;
    Decimal d;
    d.negative = s.negative;
    d.digits = s.digits;
    d.point = int(s.digits.size()) - s.fractionDigits + int(s.exponent);
    const auto first = d.digits.find_first_not_of('0');
    if (first == std::string::npos)
        return Fixed4{};
    d.digits.erase(0, first);
    d.point -= int(first);
    if (d.point > 15)
        return std::nullopt;
    const Decimal r = roundTo(d, 4);
    WideInt ticks = 0;
    for (char c : r.digits)
        ticks = ticks * 10 + (c - '0');
    if (ticks > std::numeric_limits<std::int64_t>::max())
        return std::nullopt;
    return fromTicks(std::int64_t(s.negative ? -ticks : ticks));
}

bool Fixed4::outOfRange(QStringView text) {
    const QStringView t = text.trimmed();
    return !t.isEmpty() && scanNumber(t).length == t.size() && !parse(t);
}

namespace {

// A number without exponent and with at most fifteen significant digits is its digits, a whole
// number, over a power of ten: both are exact in a double, so the one division rounds exactly
// as the full conversion does. Most texts the computations read (the summary boxes, the
// tables' keys) are such numbers, and they are read many times a keystroke.
std::optional<double> plainDecimal(const Scanned &s) {
    static constexpr std::array<double, 23> powers{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (s.exponent != 0 || s.fractionDigits >= int(powers.size()))
        return std::nullopt;
    const auto first = s.digits.find_first_not_of('0');
    if (first != std::string::npos && s.digits.size() - first > 15)
        return std::nullopt;
    double whole = 0;
    for (const char c : s.digits)
        whole = whole * 10 + (c - '0');
    const double v = whole / powers[std::size_t(s.fractionDigits)];
    return s.negative ? -v : v;
}

} // namespace

double leadingNumber(QStringView text) {
    const QStringView t = text.trimmed();
    const Scanned s = scanNumber(t);
    if (s.length == 0)
        return 0.0;
    if (const auto v = plainDecimal(s))
        return *v;
    bool ok = false;
    const double v = t.left(s.length).toDouble(&ok);
    return ok ? v : 0.0;
}

std::optional<double> leadingCount(QStringView text) {
    const QStringView t = text.trimmed();
    const Scanned s = scanNumber(t);
    if (s.length == 0)
        return 0.0;
    const std::optional<Fixed4> fixed = Fixed4::parse(t.left(s.length));
    if (!fixed)
        return std::nullopt;
    bool ok = false;
    const double v = t.left(s.length).toDouble(&ok);
    return ok ? v : fixed->toDouble(); // below a double's range but 0 to four decimals
}

QString displayForm(double value) {
    if (!std::isfinite(value))
        return {};
    return format(roundTo(decimalOf(value), 4), 4);
}

QString fixedForm(double value, int decimals) {
    if (!std::isfinite(value))
        return {};
    return format(roundTo(decimalOf(value), decimals), decimals);
}

QString pValueForm(double p) {
    if (!std::isfinite(p) || p < 0)
        return {};
    if (p < 0.001)
        return QStringLiteral("<0.001");
    return fixedForm(std::min(p, 1.0), 3);
}

QString displayForm(Fixed4 value) {
    const std::int64_t t = value.ticks();
    const std::uint64_t mag = t < 0 ? 0 - std::uint64_t(t) : std::uint64_t(t);
    const QString frac = QString::number(mag % Fixed4::Scale).rightJustified(4, u'0');
    return (t < 0 ? QStringLiteral("-") : QString()) + QString::number(mag / Fixed4::Scale) + u'.' +
           frac;
}

QString displayFormText(const QString &text) {
    if (text.isEmpty())
        return text;
    QString t = text;
    if (t.startsWith(u'.'))
        t.prepend(u'0');
    else if (t.startsWith(QLatin1String("-.")))
        t.replace(QLatin1String("-."), QLatin1String("-0."));
    bool ok = false;
    const double v = t.trimmed().toDouble(&ok);
    if (!ok)
        return text;
    return displayForm(v);
}

QString plainForm(double value) {
    if (!std::isfinite(value))
        return {};
    return format(decimalOf(value), -1);
}

QString plainForm(Fixed4 value) {
    QString s = displayForm(value);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

std::optional<std::int64_t> roundHalfEven(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18)
        return std::nullopt;
    return std::int64_t(std::nearbyint(value)); // the default rounding mode is half to even
}

double readDisplayed(const QString &text) {
    return leadingNumber(text);
}

} // namespace quarbel
