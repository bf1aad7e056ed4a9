#include "core/tables/four_fold.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace quarbel;

namespace {

const char *const Unsuitable = "当n < 40或理论数(T)< 1时，不适合使用本法。";

struct FourFoldCase {
    const char *name;
    FourFoldTexts cells;
    std::array<const char *, 5> margins; // a+c, b+d, a+b, c+d, grand total
    std::array<const char *, 4> expected;
    const char *n;
    const char *chiSquare;
    const char *judgment;
};
QUARBEL_PRINT_ROW_NAME(FourFoldCase)

class FourFoldChiSquare : public testing::TestWithParam<FourFoldCase> {};

TEST_P(FourFoldChiSquare, ShowsEveryField) {
    const FourFoldCase &c = GetParam();
    const FourFoldResult r = fourFoldChiSquare(c.cells);
    EXPECT_EQ(r.margins.positive, c.margins[0]);
    EXPECT_EQ(r.margins.negative, c.margins[1]);
    EXPECT_EQ(r.margins.row1, c.margins[2]);
    EXPECT_EQ(r.margins.row2, c.margins[3]);
    EXPECT_EQ(r.margins.total, c.margins[4]);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(r.expected[i], c.expected[i]) << "T of cell " << i;
    EXPECT_EQ(r.n, c.n);
    EXPECT_EQ(r.chiSquare, c.chiSquare);
    EXPECT_EQ(r.judgment, c.judgment);
}

// Statistics of the realistic tables come from R: chisq.test(correct = FALSE) where every T is
// at least 5, chisq.test(correct = TRUE) otherwise.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tables, FourFoldChiSquare,
    testing::Values(
        FourFoldCase{"FirstDigit", {"5", "", "", ""}, {"5", "0", "5", "0", "5"},
            {"5.0000", "0.0000", "0.0000", "0.0000"}, "5", "", Unsuitable},
        FourFoldCase{"Empty", {}, {"0", "0", "0", "0", "0"}, {}, "0", "", Unsuitable},
        FourFoldCase{"BasicAtForty", {"18", "2", "10", "10"}, {"28", "12", "20", "20", "40"},
            {"14.0000", "6.0000", "14.0000", "6.0000"}, "40", "7.6190", "p < 0.01"},
        FourFoldCase{"BasicFivePercent", {"2", "18", "9", "11"}, {"11", "29", "20", "20", "40"},
            {"5.5000", "14.5000", "5.5000", "14.5000"}, "40", "6.1442", "p < 0.05"},
        FourFoldCase{"CorrectedBelowFive", {"1", "19", "6", "14"}, {"7", "33", "20", "20", "40"},
            {"3.5000", "16.5000", "3.5000", "16.5000"}, "40", "2.7706", "p > 0.05"},
        FourFoldCase{"CorrectedDifferenceIsZero", {"1", "9", "2", "8"},
            {"3", "17", "10", "10", "20"}, {"1.5000", "8.5000", "1.5000", "8.5000"}, "20", "0.0000",
            Unsuitable},
        // |ad - bc| = 0 < n/2 = 10: the negative corrected difference is squared, not clamped.
        FourFoldCase{"CorrectedDifferenceNegative", {"2", "8", "2", "8"},
            {"4", "16", "10", "10", "20"}, {"2.0000", "8.0000", "2.0000", "8.0000"}, "20", "0.3125",
            Unsuitable},
        FourFoldCase{"ShownAsCriticalCounts", {"5", "19", "25", "32"},
            {"30", "51", "24", "57", "81"}, {"8.8889", "15.1111", "21.1111", "35.8889"}, "81",
            "3.8400", "p < 0.05"},
        FourFoldCase{"HalfTotalRoundsToEven", {"10.25", "10.25", "10", "10"},
            {"20.25", "20.25", "20.5", "20", "40.5"}, {"10.3781", "10.3781", "10.1250", "10.1250"},
            "40", "0.0000", "p > 0.05"},
        FourFoldCase{"OddHalfRoundsUp", {"10.5", "10", "11", "10"},
            {"21.5", "20", "20.5", "21", "41.5"}, {"10.4940", "9.7619", "10.7500", "10.0000"}, "42",
            "0.0057", "p > 0.05"},
        FourFoldCase{"RExampleBasic", {"45", "15", "30", "30"}, {"75", "45", "60", "60", "120"},
            {"37.5000", "22.5000", "37.5000", "22.5000"}, "120", "8.0000", "p < 0.01"},
        FourFoldCase{"RExampleCorrected", {"2", "38", "7", "33"}, {"9", "71", "40", "40", "80"},
            {"4.5000", "35.5000", "4.5000", "35.5000"}, "80", "2.0031", "p > 0.05"},
        FourFoldCase{"FiftyThousandSubjects", {"12000", "13000", "11500", "13500"},
            {"23500", "26500", "25000", "25000", "50000"},
            {"11750.0000", "13250.0000", "11750.0000", "13250.0000"}, "50000", "20.0723",
            "p < 0.01"},
        FourFoldCase{"EmptyColumnLeavesStatisticUndefined", {"20", "", "30", ""},
            {"50", "0", "20", "30", "50"}, {"20.0000", "0.0000", "30.0000", "0.0000"}, "50", "",
            Unsuitable},
        FourFoldCase{"TotalRoundingToZero", {"0.2", "0.2", "", ""},
            {"0.2", "0.2", "0.4", "0", "0.4"}, {}, "0", "", Unsuitable},
        FourFoldCase{"NegativeCountLeavesStatisticEmpty", {"30", "-5", "20", "25"},
            {"50", "20", "25", "45", "70"}, {}, "70", "", ""},
        FourFoldCase{"IncompleteNumbersCountAsZero", {"-", ".", "1-2", "12.5"},
            {"0", "12.5", "0", "12.5", "12.5"}, {"0.0000", "0.0000", "0.0000", "13.0208"}, "12", "",
            Unsuitable},
        FourFoldCase{"FifthDecimalRoundsToFour", {"1.00005", "0", "0", "0"},
            {"1.0001", "0", "1.0001", "0", "1.0001"}, {"1.0002", "0.0000", "0.0000", "0.0000"}, "1",
            "", Unsuitable}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

struct PairedCase {
    const char *name;
    FourFoldTexts cells;
    const char *total;
    const char *n;
    const char *chiSquare;
    const char *judgment;
};
QUARBEL_PRINT_ROW_NAME(PairedCase)

class PairedFourFoldChiSquare : public testing::TestWithParam<PairedCase> {};

TEST_P(PairedFourFoldChiSquare, ShowsEveryField) {
    const PairedCase &c = GetParam();
    const PairedFourFoldResult r = pairedFourFoldChiSquare(c.cells);
    EXPECT_EQ(r.margins.total, c.total);
    EXPECT_EQ(r.n, c.n);
    EXPECT_EQ(r.chiSquare, c.chiSquare);
    EXPECT_EQ(r.judgment, c.judgment);
}

// Realistic rows agree with R's mcnemar.test (correct = TRUE below 40 discordant pairs,
// FALSE from 40 on).
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tables, PairedFourFoldChiSquare,
    testing::Values(
        PairedCase{"Uncorrected", {"", "30", "15", ""}, "45", "45", "5.0000", "p < 0.05"},
        PairedCase{"Corrected", {"", "12", "4", ""}, "16", "16", "3.0625", "p > 0.05"},
        PairedCase{"CorrectionMatters", {"", "10", "3", ""}, "13", "13", "2.7692", "p > 0.05"},
        PairedCase{"FortyIsUncorrected", {"", "25", "15", ""}, "40", "40", "2.5000", "p > 0.05"},
        PairedCase{"RExampleCorrected", {"50", "25", "10", "40"}, "125", "125", "5.6000",
            "p < 0.05"},
        PairedCase{"RExampleUncorrected", {"80", "40", "22", "60"}, "202", "202", "5.2258",
            "p < 0.05"},
        // Equal discordant cells still lose 1: (0 - 1)² / 14.
        PairedCase{"EqualDiscordantCells", {"", "7", "7", ""}, "14", "14", "0.0714", "p > 0.05"},
        PairedCase{"ShownAsCritical", {"", "7.8195", "1", ""}, "8.8195", "9", "3.8400", "p < 0.05"},
        PairedCase{"StrongEffect", {"", "60", "20", ""}, "80", "80", "20.0000", "p < 0.01"},
        PairedCase{"NoDiscordantPairs", {"30", "", "", "20"}, "50", "50", "", ""},
        PairedCase{"NegativeCount", {"-3", "30", "10", ""}, "37", "37", "", ""},
        PairedCase{"NegativeDiscordantSum", {"", "5", "-5", ""}, "0", "0", "", ""},
        PairedCase{"Empty", {}, "0", "0", "", ""}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

TEST(PairedFourFoldChiSquare, ConcordantCellsChangeOnlyTheTotals) {
    const PairedFourFoldResult before = pairedFourFoldChiSquare({"5", "12", "4", "9"});
    const PairedFourFoldResult after = pairedFourFoldChiSquare({"50", "12", "4", "90"});
    EXPECT_EQ(before.chiSquare, after.chiSquare);
    EXPECT_EQ(before.judgment, after.judgment);
    EXPECT_NE(before.n, after.n);
    EXPECT_NE(before.margins.positive, after.margins.positive);
}

TEST(FourFoldMargins, AreShownWithoutATest) {
    const FourFoldMargins m = fourFoldMargins({"1.5", "2", "", "abc"});
    EXPECT_EQ(m.positive, "1.5");
    EXPECT_EQ(m.negative, "2");
    EXPECT_EQ(m.row1, "3.5");
    EXPECT_EQ(m.row2, "0");
    EXPECT_EQ(m.total, "3.5");
}

TEST(FourFoldMargins, OverflowingTotalIsLeftEmpty) {
    const FourFoldResult r = fourFoldChiSquare({"900000000000000", "900000000000000", "1", "1"});
    EXPECT_EQ(r.margins.positive, "900000000000001");
    EXPECT_EQ(r.margins.row1, "");
    EXPECT_EQ(r.margins.total, "");
    EXPECT_EQ(r.n, "");
    EXPECT_EQ(r.chiSquare, "");
}

} // namespace
