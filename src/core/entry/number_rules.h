#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace quarbel {

// A value held as a signed 64-bit count of ten-thousandths. Typed values are rounded to it so
// that sums and differences of inputs stay exact to four decimals.
class Fixed4 {
  public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Fixed4() = default;
    static constexpr Fixed4 fromTicks(std::int64_t ticks) {
        Fixed4 f;
        f.m_ticks = ticks;
        return f;
    }

    // Strict conversion: the whole text (spaces trimmed) must be a number; it is rounded half
    // away from zero to four decimals from its decimal digits, never through a double.
    // Empty text, a lone sign or point, "1-2", "1.2.3" and out-of-range values give nullopt.
    static std::optional<Fixed4> parse(QStringView text);
    // True when the whole text is a number that parse cannot hold (more than fifteen whole
    // digits, or beyond the 64-bit range): such a value is out of range, not a missing one.
    static bool outOfRange(QStringView text);

    constexpr std::int64_t ticks() const { return m_ticks; }
    double toDouble() const { return double(m_ticks) / Scale; }

    constexpr Fixed4 operator+(Fixed4 o) const { return fromTicks(m_ticks + o.m_ticks); }
    constexpr Fixed4 operator-(Fixed4 o) const { return fromTicks(m_ticks - o.m_ticks); }
    constexpr Fixed4 &operator+=(Fixed4 o) {
        m_ticks += o.m_ticks;
        return *this;
    }
    constexpr auto operator<=>(const Fixed4 &) const = default;

  private:
    std::int64_t m_ticks{0};
};

// Leading-number reading: spaces trimmed, then the longest leading part that forms a number
// ("12a" reads 12, "12-3" reads 12, "abc", "." and "" read 0). Never fails.
double leadingNumber(QStringView text);
// The same reading for a count that sums must hold exactly: nullopt when the leading number
// lies outside the four-decimal fixed-point range, among them numbers too large for a double,
// which leadingNumber() reads as 0. A text without a leading number still reads 0.
std::optional<double> leadingCount(QStringView text);

// Four-decimal display form, pattern "0.0000". The shortest decimal text of the value (15
// significant digits) is rounded half away from zero, so 2.00005 shows 2.0001.
// Non-finite values give an empty text.
QString displayForm(double value);
QString displayForm(Fixed4 value);
// The same rule applied to a text: "" stays "", ".5" gives "0.5000", "-.5" gives "-0.5000";
// a text that is not a number is returned unchanged.
QString displayFormText(const QString &text);

// The same rounding with `decimals` places after the point (pattern "0.00…"); decimals 0
// gives a whole number. Non-finite values give an empty text.
QString fixedForm(double value, int decimals);

// Exact P as reported: "<0.001" below 0.001, otherwise rounded half away from zero to three
// decimals ("0.026", "0.050", "1.000"). Non-finite or negative values give an empty text.
QString pValueForm(double p);

// Plain decimal form: up to 15 significant digits, no exponent, no trailing zeros
// ("5", "12.5", "0.25", "-3"). Non-finite values give an empty text.
QString plainForm(double value);
QString plainForm(Fixed4 value);

// Rounds half to even; nullopt when the value is not finite or does not fit.
std::optional<std::int64_t> roundHalfEven(double value);

// Reads back a displayed number the way a judgment does: an empty field reads as 0.
double readDisplayed(const QString &text);

namespace labels {
inline const QString P05 = QStringLiteral("p < 0.05");
inline const QString P01 = QStringLiteral("p < 0.01");
inline const QString P001 = QStringLiteral("p < 0.001");
inline const QString NotSignificant = QStringLiteral("p > 0.05");
// Separator between a statistic and its label in the t-tests and the F test.
inline const QString Gap = QStringLiteral("  ");
} // namespace labels

} // namespace quarbel
