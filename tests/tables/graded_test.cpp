#include "core/tables/graded.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace quarbel;

namespace {

struct GradedCase {
    const char *name;
    GradedTexts cells;
    const char *testTotal;
    const char *controlTotal;
    std::array<const char *, 4> gradeTotals;
    const char *grandTotal;
    const char *rankSumZ;
    const char *rankSumJudgment;
    const char *riditZ;
    const char *riditJudgment;
};
QUARBEL_PRINT_ROW_NAME(GradedCase)

class GradedAnalysis : public testing::TestWithParam<GradedCase> {};

TEST_P(GradedAnalysis, ShowsEveryField) {
    const GradedCase &c = GetParam();
    const GradedResult r = gradedAnalysis(c.cells);
    EXPECT_EQ(r.testTotal, c.testTotal);
    EXPECT_EQ(r.controlTotal, c.controlTotal);
    for (std::size_t j = 0; j < 4; ++j)
        EXPECT_EQ(r.gradeTotals[j], c.gradeTotals[j]) << "grade " << j;
    EXPECT_EQ(r.grandTotal, c.grandTotal);
    EXPECT_EQ(r.rankSumZ, c.rankSumZ);
    EXPECT_EQ(r.rankSumJudgment, c.rankSumJudgment);
    EXPECT_EQ(r.riditZ, c.riditZ);
    EXPECT_EQ(r.riditJudgment, c.riditJudgment);
}

// Rank-sum statistics agree with a tie-corrected normal approximation computed in R from the
// expanded observations (rank(), and wilcox.test(exact = FALSE, correct = FALSE)); Ridit
// statistics with mean ridits computed there the same way.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tables, GradedAnalysis,
    testing::Values(
        GradedCase{"WorkedExample", {"10", "5", "3", "2", "3", "5", "7", "5"}, "20", "20",
            {"13", "10", "10", "7"}, "40", "2.4688", "p < 0.05", "2.4100", "p < 0.05"},
        GradedCase{"BothHighlySignificant", {"15", "20", "10", "5", "8", "12", "18", "12"}, "50",
            "50", {"23", "32", "28", "17"}, "100", "2.8621", "p < 0.01", "2.7713", "p < 0.01"},
        GradedCase{"UnequalGroups", {"25", "12", "6", "2", "20", "15", "10", "8"}, "45", "53",
            {"45", "27", "16", "10"}, "98", "2.0897", "p < 0.05", "1.9669", "p < 0.05"},
        GradedCase{"SmallerControlGroupIsRanked", {"20", "15", "10", "8", "25", "12", "6", "2"},
            "53", "45", {"45", "27", "16", "10"}, "98", "2.0897", "p < 0.05", "1.9669", "p < 0.05"},
        GradedCase{"SameDistribution", {"4", "3", "2", "1", "8", "6", "4", "2"}, "10", "20",
            {"12", "9", "6", "3"}, "30", "0.0000", "p > 0.05", "0.0000", "p > 0.05"},
        GradedCase{"ThreeGradesHideTheFourthTotal", {"12", "9", "4", "", "6", "10", "9", ""}, "25",
            "25", {"18", "19", "13", ""}, "50", "1.9739", "p < 0.05", "1.8714", "p > 0.05"},
        GradedCase{"AllInOneGrade", {"5", "", "", "", "5", "", "", ""}, "5", "5",
            {"10", "0", "0", "0"}, "10", "", "", "", ""},
        GradedCase{"EmptyTableKeepsTheFourthTotal", {}, "0", "0", {"0", "0", "0", "0"}, "0", "", "",
            "", ""},
        GradedCase{"EmptyControlGroup", {"5", "3", "2", "1", "", "", "", ""}, "11", "0",
            {"5", "3", "2", "1"}, "11", "", "", "", ""},
        GradedCase{"SingleSubject", {"1"}, "1", "0", {"1", "0", "0", "0"}, "1", "", "", "", ""},
        GradedCase{"LeadingNumbersAreRead", {"10abc", "5-1", "3", "2", "3", "5", "7", "5."}, "20",
            "20", {"13", "10", "10", "7"}, "40", "2.4688", "p < 0.05", "2.4100", "p < 0.05"},
        GradedCase{"FractionalCounts", {"10.5", "5", "3", "2", "3", "5", "7", "5"}, "20.5", "20",
            {"13.5", "10", "10", "7"}, "40.5", "2.5428", "p < 0.05", "2.4799", "p < 0.05"},
        GradedCase{"NegativeCountShowsOnlyTotals", {"10", "-5", "3", "", "3", "5", "7", ""}, "8",
            "15", {"13", "0", "10", ""}, "23", "", "", "", ""}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

TEST(GradedAnalysis, SwappingTheGroupsLeavesBothStatistics) {
    const GradedTable table{{15, 20, 10, 5}, {8, 12, 18, 12}};
    const GradedTable swapped{table.control, table.test};
    ASSERT_TRUE(rankSumZ(table) && rankSumZ(swapped));
    ASSERT_TRUE(riditZ(table) && riditZ(swapped));
    EXPECT_NEAR(*rankSumZ(table), *rankSumZ(swapped), 1e-12);
    EXPECT_NEAR(*riditZ(table), *riditZ(swapped), 1e-12);
}

TEST(GradedAnalysis, RiditAloneIsDefinedWhereTheRankSumTestIsNot) {
    const GradedTable oneGrade{{5, 0, 0, 0}, {5, 0, 0, 0}};
    EXPECT_FALSE(rankSumZ(oneGrade).has_value());
    EXPECT_TRUE(riditZ(oneGrade).has_value());
}

struct JudgmentCase {
    const char *name;
    double z;
    const char *judgment;
};
QUARBEL_PRINT_ROW_NAME(JudgmentCase)

class NormalJudgment : public testing::TestWithParam<JudgmentCase> {};

TEST_P(NormalJudgment, ReachingACriticalValueCounts) {
    EXPECT_EQ(judgeNormal(GetParam().z), GetParam().judgment);
}

INSTANTIATE_TEST_SUITE_P(Bounds, NormalJudgment,
                         testing::Values(JudgmentCase{"BelowFivePercent", 1.95999, "p > 0.05"},
                                         JudgmentCase{"AtFivePercent", 1.96, "p < 0.05"},
                                         JudgmentCase{"BelowOnePercent", 2.57599, "p < 0.05"},
                                         JudgmentCase{"AtOnePercent", 2.576, "p < 0.01"}),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
