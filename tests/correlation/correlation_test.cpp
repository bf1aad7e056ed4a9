#include "core/correlation/correlation.h"
#include "core/entry/column_list.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace quarbel;
using quarbel::test::boxesOf;
using quarbel::test::ticksOf;

namespace {

QStringList words(const char *text) {
    return QString::fromUtf8(text).split(u' ');
}

struct CorrelationCase {
    const char *name;
    QStringList x, y;
    CorrelationResult expected;
};
QUARBEL_PRINT_ROW_NAME(CorrelationCase)

class Correlate : public testing::TestWithParam<CorrelationCase> {};

TEST_P(Correlate, EveryField) {
    const CorrelationCase &c = GetParam();
    const CorrelationResult r = correlate(ticksOf(c.x), ticksOf(c.y));
    const CorrelationResult &e = c.expected;
    EXPECT_EQ(r.n, e.n);
    EXPECT_EQ(r.r, e.r);
    EXPECT_EQ(r.t, e.t);
    EXPECT_EQ(r.critical05, e.critical05);
    EXPECT_EQ(r.critical01, e.critical01);
    EXPECT_EQ(r.critical001, e.critical001);
    EXPECT_EQ(r.judgement, e.judgement);
    EXPECT_EQ(r.equation, e.equation);
    EXPECT_EQ(r.slope, e.slope);
    EXPECT_EQ(r.intercept, e.intercept);
}

const CorrelationResult df1Perfect{"3",       "1.0000", "",           "12.70",
                                   "63.65",   "636.6",  "完全正相关", "Y=0.0000+2.0000X",
                                   "+2.0000", "0.0000"};
// R: cor.test and lm on eight pairs; t is formed from r rounded to -0.9907.
const CorrelationResult eightNegative{"8",       "-0.9907", "17.8350",   "2.447",
                                      "3.707",   "5.959",   "p < 0.001", "Y=16.8076-1.9000X",
                                      "-1.9000", "16.8076"};

INSTANTIATE_TEST_SUITE_P(
    Pairs, Correlate,
    testing::Values(
        CorrelationCase{"PerfectPositive", {"1", "2", "3"}, {"2", "4", "6"}, df1Perfect},
        CorrelationCase{"PerfectNegative",
                        {"1", "2", "3"},
                        {"3", "2", "1"},
                        {"3", "-1.0000", "", "12.70", "63.65", "636.6", "完全负相关",
                         "Y=4.0000-1.0000X", "-1.0000", "4.0000"}},
        CorrelationCase{"BothSignsNegative",
                        {"0", "3", "6"},
                        {"-0.3333", "-4.0833", "-7.8333"},
                        {"3", "-1.0000", "", "12.70", "63.65", "636.6", "完全负相关",
                         "Y=-0.3333-1.2500X", "-1.2500", "-0.3333"}},
        // r = 0.99996 shows as 1.0000 and is a perfect correlation (R: a 0.022667, b 1.99897).
        CorrelationCase{"RoundsToPerfect",
                        words("1 2 3 4 5 6 7 8 9 10"),
                        words("2 4 6 8 10.17 12 14 16 18 20"),
                        {"10", "1.0000", "", "2.306", "3.355", "5.041", "完全正相关",
                         "Y=0.0227+1.9990X", "+1.9990", "0.0227"}},
        CorrelationCase{"NegativeSignificant", words("3.1 4.7 2.2 5.9 6.4 1.8 4.1 5.2"),
                        words("10.2 7.9 12.5 6.1 4.4 13.8 9.5 6.6"), eightNegative},
        CorrelationCase{"PositiveMirror",
                        words("3.1 4.7 2.2 5.9 6.4 1.8 4.1 5.2"),
                        words("9.8 12.1 7.5 13.9 15.6 6.2 10.5 13.4"),
                        {"8", "0.9907", "17.8350", "2.447", "3.707", "5.959", "p < 0.001",
                         "Y=3.1924+1.9000X", "+1.9000", "3.1924"}},
        // Half rows, gaps and entries that are not yet numbers all count as nothing.
        CorrelationCase{"SkipsIncompleteRows",
                        words("3.1 4.7 - 2.2 5.9 9 6.4 1.8 . 4.1  5.2 1.2.3"),
                        words("10.2 7.9 4 12.5 6.1  4.4 13.8 1-2 9.5 3 6.6 7"), eightNegative},
        // R: t from r rounded to 0.6846 is 1.8784 (from the raw r it would be 1.8786).
        CorrelationCase{"NotSignificant",
                        words("1.2 2.5 3.1 4.8 5.0 6.7"),
                        words("2.3 2.1 4.0 3.2 5.9 4.4"),
                        {"6", "0.6846", "1.8784", "2.776", "4.604", "8.610", "p > 0.05",
                         "Y=1.7416+0.4914X", "+0.4914", "1.7416"}},
        // Large X with its spread in the decimals: sums of squares about zero lost every digit
        // (a straight line showed r = 0.9776). Expected from exact rational arithmetic.
        CorrelationCase{"LargeValuesStraightLine",
                        {"1000000.01", "1000000.02", "1000000.04"},
                        {"1", "2", "4"},
                        {"3", "1.0000", "", "12.70", "63.65", "636.6", "完全正相关",
                         "Y=-100000000.0000+100.0000X", "+100.0000", "-100000000.0000"}},
        CorrelationCase{"LargeValuesSpreadInDecimals",
                        words("123456.71 123456.73 123456.72 123456.78 123456.75"),
                        words("3.1 3.9 3.3 5.2 4.4"),
                        {"5", "0.9911", "12.8955", "3.182", "5.841", "12.92", "p < 0.01",
                         "Y=-3759814.8591+30.4545X", "+30.4545", "-3759814.8591"}},
        CorrelationCase{"TwoPairs", {"1", "2"}, {"3", "5"}, {}},
        CorrelationCase{"TwoCompleteOfFour", {"1", "2", "", "4"}, {"3", "5", "6", ""}, {}},
        CorrelationCase{"AllXEqual", {"2", "2", "2", "2"}, {"1", "5", "3", "8"}, {"4"}},
        CorrelationCase{"AllXEqualDecimal",
                        {"0.1", "0.1", "0.1", "0.1", "0.1"},
                        {"1", "5", "3", "8", "2"},
                        {"5"}},
        CorrelationCase{
            "AllYEqual",
            {"1", "2", "3", "4"},
            {"5", "5", "5", "5"},
            {"4", "", "", "4.303", "9.925", "31.59", "", "Y=5.0000+0.0000X", "+0.0000", "5.0000"}},
        CorrelationCase{
            "AllYEqualDecimal",
            {"1", "2", "3", "4", "5"},
            {"0.3", "0.3", "0.3", "0.3", "0.3"},
            {"5", "", "", "3.182", "5.841", "12.92", "", "Y=0.3000+0.0000X", "+0.0000", "0.3000"}},
        CorrelationCase{"BothConstant", {"1", "1", "1"}, {"2", "2", "2"}, {"3"}}),
    [](const auto &row) { return std::string(row.param.name); });

struct DfCase {
    const char *name;
    int pairs;
    const char *p05;
};
QUARBEL_PRINT_ROW_NAME(DfCase)

class CorrelationDf : public testing::TestWithParam<DfCase> {};

TEST_P(CorrelationDf, RowOfNMinusTwo) {
    QStringList x, y;
    for (int i = 0; i < GetParam().pairs; ++i) {
        x << QString::number(i);
        y << QString::number((i * 7) % 13);
    }
    EXPECT_EQ(correlate(ticksOf(x), ticksOf(y)).critical05, QString::fromUtf8(GetParam().p05));
}

INSTANTIATE_TEST_SUITE_P(Counts, CorrelationDf,
                         testing::Values(DfCase{"Df40", 42, "2.021"}, DfCase{"Df41", 43, "2.021"},
                                         DfCase{"Df45", 47, "2.021"}, DfCase{"Df50", 52, "2.009"},
                                         DfCase{"Df999", 1001, "1.965"},
                                         DfCase{"Df1000", 1002, "1.962"},
                                         DfCase{"Df1001", 1003, "1.960"}),
                         [](const auto &row) { return std::string(row.param.name); });

// The sums of squares and cross products of 2000 such values pass 128 bits; they are kept
// exactly, so the results are those of exact rational arithmetic (r = -0.00050025,
// b = -0.0000556, a = 900000000000000.0000556), not nothing and not a wrapped sum.
TEST(Correlate, SumsBeyond128BitsStayExact) {
    QStringList x, y;
    for (int i = 0; i < 2000; ++i) {
        x << QStringLiteral("900000000000000");
        y << QStringLiteral("900000000000000");
    }
    x[0] = QStringLiteral("1");
    y[1] = QStringLiteral("800000000000000");
    const CorrelationResult r = correlate(ticksOf(x), ticksOf(y));
    EXPECT_EQ(r.n, "2000");
    EXPECT_EQ(r.r, "-0.0005");
    EXPECT_EQ(r.t, "0.0223");
    EXPECT_EQ(r.equation, "Y=900000000000000.0000-0.0001X");
}

} // namespace
