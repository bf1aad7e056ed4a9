#include "core/tables/graded.h"

#include "support/test_support.h"
#include "tables/data_rows.h"

#include <gtest/gtest.h>

using namespace quarbel;

namespace quarbel {
void PrintTo(const GradedResult &r, std::ostream *os) {
    *os << "z=" << r.rankSumZ.toStdString() << " " << r.rankSumJudgment.toStdString()
        << " ridit z=" << r.riditZ.toStdString() << " " << r.riditJudgment.toStdString() << ' ';
    PrintTo(r.details, os);
}
} // namespace quarbel

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

// The details agree with R (data/graded_details.R): wilcox.test's normal approximation for the
// rank-sum P, and the ridit formulas written out there.
class GradedDetailsAgreeWithR : public testing::TestWithParam<DataRow> {};

TEST_P(GradedDetailsAgreeWithR, PValuesAndMeanRidits) {
    const QStringList &f = GetParam().fields;
    ASSERT_EQ(f.size(), 16);
    GradedTexts cells;
    for (std::size_t k = 0; k < 8; ++k)
        cells[k] = f[qsizetype(k)];
    const Details d = gradedAnalysis(cells).details;
    const std::array<const char *, 8> names{"RankSumP",      "RiditP",         "RiditMean1",
                                            "RiditMean1Low", "RiditMean1High", "RiditMean2",
                                            "RiditMean2Low", "RiditMean2High"};
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(d.text(QString::fromLatin1(names[i])), f[qsizetype(8 + i)]) << names[i];
}

INSTANTIATE_TEST_SUITE_P(R, GradedDetailsAgreeWithR,
                         testing::ValuesIn(dataRows("graded_details.txt")),
                         [](const auto &row) { return row.param.name; });

TEST(GradedDetailsAgreeWithR, EveryReferenceTableIsRead) {
    EXPECT_GE(dataRows("graded_details.txt").size(), 5u);
}

struct GradedDetailsCase {
    const char *name;
    GradedTexts cells;
    const char *rankSumP;
    const char *riditP;
    const char *mean1;
    const char *low1;
    const char *high1;
    const char *note;
    bool shown; // the panel's own statistics
};
QUARBEL_PRINT_ROW_NAME(GradedDetailsCase)

class GradedDetails : public testing::TestWithParam<GradedDetailsCase> {};

TEST_P(GradedDetails, ValuesAndNote) {
    const GradedDetailsCase &c = GetParam();
    const GradedResult r = gradedAnalysis(c.cells);
    EXPECT_EQ(r.details.text(u"RankSumP"), c.rankSumP);
    EXPECT_EQ(r.details.text(u"RiditP"), c.riditP);
    EXPECT_EQ(r.details.text(u"RiditMean1"), c.mean1);
    EXPECT_EQ(r.details.text(u"RiditMean1Low"), c.low1);
    EXPECT_EQ(r.details.text(u"RiditMean1High"), c.high1);
    EXPECT_EQ(r.details.note, QString::fromUtf8(c.note));
    EXPECT_EQ(!r.rankSumZ.isEmpty(), c.shown);
    EXPECT_EQ(!r.riditJudgment.isEmpty(), c.shown);
}

const char *const OutOfRange = "有计数过大，无法精确计算，不作检验。";

// Values from R as above; the 70-digit negative count and the count beyond a double were once
// read as 0, so that the panel showed the analyses of another table.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Edges, GradedDetails,
    testing::Values(
        GradedDetailsCase{"ManyTies", {"10", "5", "3", "2", "3", "5", "7", "5"}, "0.014", "0.016",
            "0.3900", "0.2635", "0.5165",
            "相同等级的观察值很多：z已作校正（校正系数C = 0.9296），P值由正态近似求得。", true},
        GradedDetailsCase{"SmallGroups", {"3", "4", "2", "1", "1", "2", "4", "3"}, "0.085", "0.088",
            "0.3900", "0.2111", "0.5689",
            "例数较少（较小组n≤10且两组例数之差≤10）：P值为正态近似，仅供参考，宜查T界值表。",
            true},
        GradedDetailsCase{"FractionalCount", {"10.5", "5", "3", "2", "3", "5", "7", "5"}, "0.011",
            "0.013", "0.3889", "0.2639", "0.5139", "有非整数的计数，请核对。", true},
        GradedDetailsCase{"AllInOneGradeKeepsTheRidits", {"5", "", "", "", "5", "", "", ""}, "",
            "1.000", "0.5000", "0.2470", "0.7530",
            "全部观察值在同一等级，无法作秩和检验；两组平均Ridit相同。", false},
        GradedDetailsCase{"EmptyControlGroup", {"5", "3", "2", "1", "", "", "", ""}, "", "", "",
            "", "", "两组都须有观察例数。", false},
        GradedDetailsCase{"EmptyTableSaysNothing", {}, "", "", "", "", "", "", false},
        GradedDetailsCase{"NegativeCount", {"10", "-5", "3", "", "3", "5", "7", ""}, "", "", "",
            "", "", "有计数为负数，不作检验。", false},
        GradedDetailsCase{"SeventyDigitNegativeCount",
            {"10", "-010000000000000000000000000000000000000000000000000000000000000000000", "3",
             "2", "3", "5", "7", "5"}, "", "", "", "", "", OutOfRange, false},
        GradedDetailsCase{"CountBeyondADouble", {"10", "5", "3", "2", "3", "5", "7", "1e400"}, "",
            "", "", "", "", OutOfRange, false}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

TEST(GradedAnalysis, TrailingTextChangesNothing) {
    EXPECT_EQ(gradedAnalysis({"35", "28x", "12", "5", "20", "25-1", "18", "17."}),
              gradedAnalysis({"35", "28", "12", "5", "20", "25", "18", "17"}));
}

TEST(GradedAnalysis, CountThatCannotBeHeldEmptiesTheTotalsItEnters) {
    const GradedResult r = gradedAnalysis({"10", "5", "3", "2", "3", "5", "7", "1e400"});
    EXPECT_EQ(r.testTotal, "20");
    EXPECT_EQ(r.controlTotal, "");
    EXPECT_EQ(r.gradeTotals[0], "13");
    EXPECT_EQ(r.gradeTotals[3], "");
    EXPECT_EQ(r.grandTotal, "");
    EXPECT_EQ(r.rankSumZ, "");
    EXPECT_EQ(r.riditZ, "");
}

} // namespace
