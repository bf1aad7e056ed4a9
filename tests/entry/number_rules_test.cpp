#include "core/entry/number_rules.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quarbel;

namespace {

struct DisplayCase {
    const char *name;
    double value;
    const char *shown;
};

class DisplayForm : public testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayForm, RoundsHalfAwayFromZeroAtTheFourthDecimal) {
    EXPECT_EQ(displayForm(GetParam().value).toStdString(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DisplayForm,
    testing::Values(DisplayCase{"Root5", 2.23606797, "2.2361"}, DisplayCase{"Half", 0.5, "0.5000"},
                    DisplayCase{"NegativeQuarter", -0.25, "-0.2500"},
                    DisplayCase{"Whole", 3, "3.0000"}, DisplayCase{"Tiny", 1e-05, "0.0000"},
                    DisplayCase{"TinyNegative", -1e-05, "0.0000"},
                    DisplayCase{"DecimalHalfUp", 2.00005, "2.0001"},
                    DisplayCase{"DecimalHalfNegative", -2.00005, "-2.0001"},
                    DisplayCase{"Below3_84", 3.83998, "3.8400"},
                    DisplayCase{"CarryIntoUnits", 9.99995, "10.0000"},
                    DisplayCase{"SmallestShown", 0.00005, "0.0001"},
                    DisplayCase{"Large", 123456789.123456, "123456789.1235"},
                    DisplayCase{"Huge", 1e20, "100000000000000000000.0000"},
                    DisplayCase{"Zero", 0.0, "0.0000"}, DisplayCase{"NegZero", -0.0, "0.0000"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(DisplayForm, NonFiniteValuesShowNothing) {
    EXPECT_TRUE(displayForm(std::nan("")).isEmpty());
    EXPECT_TRUE(displayForm(HUGE_VAL).isEmpty());
}

TEST(DisplayForm, TextFormsLeadingPointsAndLeavesNonNumbers) {
    EXPECT_EQ(displayFormText(".5"), "0.5000");
    EXPECT_EQ(displayFormText("-.5"), "-0.5000");
    EXPECT_EQ(displayFormText(""), "");
    EXPECT_EQ(displayFormText("abc"), "abc");
    EXPECT_EQ(displayFormText("1E-05"), "0.0000");
}

TEST(DisplayForm, FixedPointIsExact) {
    EXPECT_EQ(displayForm(Fixed4::fromTicks(12345)), "1.2345");
    EXPECT_EQ(displayForm(Fixed4::fromTicks(-5)), "-0.0005");
    EXPECT_EQ(displayForm(Fixed4::fromTicks(0)), "0.0000");
}

TEST(PValueForm, BelowOneThousandthIsBoundedElseThreeDecimals) {
    EXPECT_EQ(pValueForm(0.0009999), "<0.001");
    EXPECT_EQ(pValueForm(0.0), "<0.001");
    EXPECT_EQ(pValueForm(0.001), "0.001");
    EXPECT_EQ(pValueForm(0.0255), "0.026"); // half away from zero
    EXPECT_EQ(pValueForm(0.04999), "0.050");
    EXPECT_EQ(pValueForm(1.0000000002), "1.000"); // rounding noise above 1
    EXPECT_EQ(pValueForm(std::nan("")), "");
    EXPECT_EQ(pValueForm(-0.1), "");
}

struct ParseCase {
    const char *name;
    const char *text;
    std::optional<std::int64_t> ticks;
};

class StrictConversion : public testing::TestWithParam<ParseCase> {};

TEST_P(StrictConversion, WholeTextMustBeANumber) {
    const auto v = Fixed4::parse(QString::fromUtf8(GetParam().text));
    ASSERT_EQ(v.has_value(), GetParam().ticks.has_value()) << GetParam().text;
    if (v) {
        EXPECT_EQ(v->ticks(), *GetParam().ticks);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrictConversion,
    testing::Values(
        ParseCase{"Integer", "12", 120000}, ParseCase{"Decimal", "3.14", 31400},
        ParseCase{"RoundsUp", "1.23456", 12346}, ParseCase{"RoundsDown", "1.23454", 12345},
        ParseCase{"RoundsNegativeAway", "-1.23455", -12346},
        ParseCase{"HalfOfSmallest", "0.00005", 1}, ParseCase{"LeadingPoint", ".5", 5000},
        ParseCase{"TrailingPoint", "5.", 50000}, ParseCase{"Spaces", "  7 ", 70000},
        ParseCase{"Plus", "+2", 20000}, ParseCase{"Exponent", "1e3", 10000000},
        ParseCase{"NegativeExponent", "25E-2", 2500}, ParseCase{"Zeros", "000.000", 0},
        ParseCase{"Empty", "", std::nullopt}, ParseCase{"LoneMinus", "-", std::nullopt},
        ParseCase{"LonePoint", ".", std::nullopt}, ParseCase{"MinusInside", "1-2", std::nullopt},
        ParseCase{"TwoPoints", "1.2.3", std::nullopt}, ParseCase{"Letters", "12a", std::nullopt},
        ParseCase{"TooLarge", "1e30", std::nullopt},
        ParseCase{"LargestFits", "922337203685477.5807", INT64_MAX},
        ParseCase{"JustTooLarge", "922337203685477.5808", std::nullopt},
        ParseCase{"FullWidthDigit", "１", std::nullopt}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(LeadingNumber, ReadsTheLongestLeadingNumber) {
    EXPECT_EQ(leadingNumber(u"12a"), 12);
    EXPECT_EQ(leadingNumber(u"12-3"), 12);
    EXPECT_EQ(leadingNumber(u"abc"), 0);
    EXPECT_EQ(leadingNumber(u"."), 0);
    EXPECT_EQ(leadingNumber(u"-"), 0);
    EXPECT_EQ(leadingNumber(u""), 0);
    EXPECT_EQ(leadingNumber(u" 3.5 "), 3.5);
    // Short plain numbers take a quicker road than long ones or exponents: the same doubles.
    EXPECT_EQ(leadingNumber(u"0.1"), 0.1);
    EXPECT_EQ(leadingNumber(u"-123456789.012345"), -123456789.012345);
    EXPECT_EQ(leadingNumber(u"1234567890.1234567"), 1234567890.1234567);
    EXPECT_EQ(leadingNumber(u"2.5e-3x"), 0.0025);
    EXPECT_TRUE(std::signbit(leadingNumber(u"-0")));
    EXPECT_EQ(leadingNumber(u"-.5x"), -0.5);
    EXPECT_EQ(leadingNumber(u"1.2.3"), 1.2);
    EXPECT_EQ(leadingNumber(u"2e"), 2);
    EXPECT_EQ(leadingNumber(u"2e2"), 200);
}

TEST(LeadingCount, RefusesWhatCannotBeHeldInsteadOfReadingZero) {
    EXPECT_EQ(leadingCount(u"12-3"), 12);
    EXPECT_EQ(leadingCount(u"abc"), 0);
    EXPECT_EQ(leadingCount(u""), 0);
    EXPECT_EQ(leadingCount(u"-2.5x"), -2.5);
    EXPECT_EQ(leadingCount(u"922337203685477"), 922337203685477.0);
    EXPECT_EQ(leadingCount(u"1e-400"), 0); // zero to four decimals, though below a double
    EXPECT_EQ(leadingCount(u"1e15"), std::nullopt);
    EXPECT_EQ(leadingCount(u"100000000000000000000000000000"), std::nullopt);
    // Beyond a double, where leadingNumber() reads 0.
    EXPECT_EQ(leadingCount(QStringLiteral("-01") + QString(400, u'0')), std::nullopt);
    EXPECT_EQ(leadingCount(u"1e400abc"), std::nullopt);
}

TEST(PlainForm, ShortestTextWithoutTrailingZeros) {
    EXPECT_EQ(plainForm(5.0), "5");
    EXPECT_EQ(plainForm(12.5), "12.5");
    EXPECT_EQ(plainForm(0.25), "0.25");
    EXPECT_EQ(plainForm(-3.0), "-3");
    EXPECT_EQ(plainForm(0.1 + 0.2), "0.3");
    EXPECT_EQ(plainForm(1e20), "100000000000000000000");
    EXPECT_EQ(plainForm(1e-7), "0.0000001");
    EXPECT_EQ(plainForm(0.0), "0");
    EXPECT_EQ(plainForm(Fixed4::fromTicks(405000)), "40.5");
    EXPECT_EQ(plainForm(Fixed4::fromTicks(0)), "0");
    EXPECT_EQ(plainForm(Fixed4::fromTicks(-2500)), "-0.25");
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(40.5), 40);
    EXPECT_EQ(roundHalfEven(41.5), 42);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.6), 3);
    EXPECT_FALSE(roundHalfEven(std::nan("")).has_value());
    EXPECT_FALSE(roundHalfEven(1e300).has_value());
}

} // namespace
