#include "core/means/anova.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quarbel;
using quarbel::test::boxesOf;
using quarbel::test::ticksOf;

namespace {

struct AnovaCase {
    const char *name;
    AnovaBoxes boxes;
    const char *fResult;
    const char *f05; // nullptr: the critical-value labels are left alone
    const char *f01;
    double ssWithin; // NaN: the kept terms are left alone
    double dfWithin;
};

void PrintTo(const AnovaCase &c, std::ostream *os) {
    *os << c.name;
}

constexpr double Keep = std::numeric_limits<double>::quiet_NaN();

class Anova : public testing::TestWithParam<AnovaCase> {};

TEST_P(Anova, GivesFItsCriticalValuesAndTheWithinTerms) {
    const AnovaCase &c = GetParam();
    const AnovaResult r = runAnova(c.boxes);
    EXPECT_EQ(r.fResult.toStdString(), c.fResult);
    ASSERT_EQ(r.critical.has_value(), c.f05 != nullptr);
    if (r.critical) {
        EXPECT_EQ(r.critical->f05, c.f05);
        EXPECT_EQ(r.critical->f01, c.f01);
    }
    ASSERT_EQ(r.terms.has_value(), !std::isnan(c.ssWithin));
    if (r.terms) {
        EXPECT_NEAR(r.terms->ssWithin, c.ssWithin, 1e-9 * std::max(1.0, c.ssWithin));
        EXPECT_DOUBLE_EQ(r.terms->dfWithin, c.dfWithin);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, Anova,
    testing::Values(
        AnovaCase{"WorkedExample", boxesOf({"10", "2", "5", "12", "2", "5", "15", "2", "5"}),
                  "F = 7.9167  p < 0.01", "3.89", "6.93", 48, 12},
        AnovaCase{"NotSignificant", boxesOf({"10", "3", "4", "11", "3", "4", "12", "3", "4"}),
                  "F = 0.4444  p > 0.05", "4.26", "8.02", 81, 9},
        // F = 19 exactly, the 0.05 value for 2 degrees of freedom.
        AnovaCase{"EqualToF05", boxesOf({"1", "1", "1", "2", "1", "1", "24", "4", "3"}),
                  "F = 19.0000  p < 0.05", "19.00", "99.00", 32, 2},
        // F = 18 exactly, the 0.01 value for 4 degrees of freedom.
        AnovaCase{"EqualToF01", boxesOf({"1", "1", "2", "7", "1", "2", "4", "1", "3"}),
                  "F = 18.0000  p < 0.01", "6.94", "18.00", 4, 4},
        // F = 3 exactly on the infinity row.
        AnovaCase{"EqualToF05Infinite", boxesOf({"1", "1", "3", "2", "1", "118", "3", "1", "3"}),
                  "F = 3.0000  p < 0.05", "3.00", "4.61", 121, 121},
        // F shows 3.8900 but is judged unrounded, just below the 0.05 value.
        AnovaCase{"JudgedUnrounded",
                  boxesOf({"9.117957", "1", "5", "10", "1", "5", "10.882043", "1", "5"}),
                  "F = 3.8900  p > 0.05", "3.89", "6.93", 12, 12},
        AnovaCase{"ElevenUsesRowTen", boxesOf({"10", "2", "5", "12", "2", "5", "15", "2", "4"}),
                  "F = 6.9643  p < 0.05", "4.10", "7.56", 44, 11},
        AnovaCase{"OneFiftyUsesInfinity",
                  boxesOf({"10", "2", "51", "11", "2", "51", "10.5", "2", "51"}),
                  "F = 3.1875  p < 0.05", "3.00", "4.61", 600, 150},
        AnovaCase{"NegativeMeans", boxesOf({"-10", "2", "5", "-12", "2", "5", "-15", "2", "5"}),
                  "F = 7.9167  p < 0.01", "3.89", "6.93", 48, 12},
        // Means of 10^9 beside a spread of 2 keep every digit of F.
        AnovaCase{"LargeMeansSmallSpread",
                  boxesOf({"1000000010", "2", "5", "1000000012", "2", "5", "1000000015", "2", "5"}),
                  "F = 7.9167  p < 0.01", "3.89", "6.93", 48, 12},
        AnovaCase{"LeadingNumberReading",
                  boxesOf({"10kg", "2", "5 ", " 12", "2", "5", "15", "2.0", "5"}),
                  "F = 7.9167  p < 0.01", "3.89", "6.93", 48, 12},
        AnovaCase{"EmptyBox", boxesOf({"10", "2", "5", "12", "", "5", "15", "2", "5"}), "", nullptr,
                  nullptr, Keep, 0},
        AnovaCase{"TypedZeroStandardDeviation",
                  boxesOf({"10", "2", "5", "12", "0", "5", "15", "2", "5"}), "", nullptr, nullptr,
                  Keep, 0},
        AnovaCase{"NotANumber", boxesOf({"10", "2", "5", "12", "2", "5", "abc", "2", "5"}), "",
                  nullptr, nullptr, Keep, 0},
        AnovaCase{"BlankText", boxesOf({"10", "2", "5", "12", "2", "  ", "15", "2", "5"}), "",
                  nullptr, nullptr, Keep, 0},
        // Undefined F: every group of size 1 leaves no degree of freedom.
        AnovaCase{"SizesOfOne", boxesOf({"10", "2", "1", "12", "2", "1", "15", "2", "1"}), "",
                  nullptr, nullptr, 0, 0},
        AnovaCase{"DfBelowOneHasNoRow", boxesOf({"10", "2", "1", "12", "2", "1", "15", "2", "1.5"}),
                  "", nullptr, nullptr, 2, 0.5},
        AnovaCase{"NegativeDf", boxesOf({"10", "2", "1", "12", "2", "1", "15", "2", "-2"}), "",
                  nullptr, nullptr, -12, -3},
        // Sizes below 1 make the within mean square vanish: the row exists, F does not.
        AnovaCase{"WithinMeanSquareZero",
                  boxesOf({"10", "5", "0.5", "12", "1", "1.5", "15", "2", "4"}), "", "9.56",
                  "30.82", 0, 3},
        AnovaCase{"WithinMeanSquareNegative",
                  boxesOf({"10", "6", "0.5", "12", "1", "1.5", "15", "2", "4"}), "", "9.56",
                  "30.82", -5.5, 3},
        AnovaCase{"Overflow", boxesOf({"1e200", "2", "5", "12", "2", "5", "15", "2", "5"}), "",
                  "3.89", "6.93", 48, 12}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
