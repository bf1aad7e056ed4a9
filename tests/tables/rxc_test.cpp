#include "core/tables/rxc.h"

#include "support/test_support.h"
#include "tables/data_rows.h"

#include <gtest/gtest.h>

using namespace quarbel;

namespace quarbel {
void PrintTo(const RxCResult &r, std::ostream *os) {
    *os << "n=" << r.n.toStdString() << " chi2=" << r.chiSquare.toStdString()
        << " judgment=" << r.judgment.toStdString() << " warning=" << r.warning << ' ';
    PrintTo(r.details, os);
}
} // namespace quarbel

namespace {

// Cells given row by row over the columns that are filled; the rest of the 3×4 grid is empty.
RxCTexts grid(std::initializer_list<std::initializer_list<const char *>> rows) {
    RxCTexts cells;
    int r = 0;
    for (const auto &row : rows) {
        int c = 0;
        for (const char *text : row)
            cells[std::size_t(4 * r + c++)] = QString::fromUtf8(text);
        ++r;
    }
    return cells;
}

struct RxCCase {
    const char *name;
    RxCTexts cells;
    std::array<const char *, 4> columnTotals;
    std::array<const char *, 3> rowTotals;
    const char *grandTotal;
    int df;
    const char *n;
    const char *chiSquare;
    const char *critical05;
    const char *critical01;
    const char *judgment;
    bool warning;
};
QUARBEL_PRINT_ROW_NAME(RxCCase)

class RxCChiSquare : public testing::TestWithParam<RxCCase> {};

TEST_P(RxCChiSquare, ShowsEveryField) {
    const RxCCase &c = GetParam();
    const RxCResult r = rxcChiSquare(c.cells);
    for (std::size_t j = 0; j < 4; ++j)
        EXPECT_EQ(r.columnTotals[j], c.columnTotals[j]) << "column " << j;
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(r.rowTotals[i], c.rowTotals[i]) << "row " << i;
    EXPECT_EQ(r.grandTotal, c.grandTotal);
    EXPECT_EQ(r.degreesOfFreedom, c.df);
    EXPECT_EQ(r.n, c.n);
    EXPECT_EQ(r.chiSquare, c.chiSquare);
    EXPECT_EQ(r.critical05, c.critical05);
    EXPECT_EQ(r.critical01, c.critical01);
    EXPECT_EQ(r.judgment, c.judgment);
    EXPECT_EQ(r.warning, c.warning);
}

// Statistics of the realistic tables agree with R's chisq.test.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tables, RxCChiSquare,
    testing::Values(
        RxCCase{"TwoByTwoShowsNothing", grid({{"10", "20"}, {"20", "10"}}), {}, {}, "", 1, "", "",
            "", "", "", false},
        RxCCase{"EmptyGrid", {}, {}, {}, "", 1, "", "", "", "", "", false},
        RxCCase{"SingleRow", grid({{"10", "20", "30"}}), {}, {}, "", 0, "", "", "", "", "", false},
        RxCCase{"TwoByThree", grid({{"10", "20", "30"}, {"20", "10", "30"}}),
            {"30", "30", "60", "0"}, {"60", "60", "0"}, "120", 2, "120", "6.6667", "5.99", "9.21",
            "p < 0.05", false},
        RxCCase{"TwoSmallCountsAtTwoDf", grid({{"2", "8", "10"}, {"6", "4", "10"}}),
            {"8", "12", "20", "0"}, {"20", "20", "0"}, "40", 2, "", "", "", "", "", true},
        RxCCase{"OneSmallCountTolerated", grid({{"1", "9", "10"}, {"7", "21", "22"}}),
            {"8", "30", "32", "0"}, {"20", "50", "0"}, "70", 2, "70", "1.1550", "5.99", "9.21",
            "p > 0.05", false},
        RxCCase{"MiddleRowEmpty", grid({{"20", "15", "25", "30"}, {}, {"25", "20", "15", "10"}}),
            {"45", "35", "40", "40"}, {"90", "0", "70"}, "160", 3, "160", "11.4487", "7.81",
            "11.34", "p < 0.01", false},
        RxCCase{"FullTable",
            grid({{"25", "15", "10", "5"}, {"20", "20", "10", "10"}, {"10", "25", "15", "15"}}),
            {"55", "60", "35", "30"}, {"55", "60", "65"}, "180", 6, "180", "14.3829", "12.59",
            "16.81", "p < 0.05", false},
        RxCCase{"ThreeByThree", grid({{"30", "20", "10"}, {"25", "25", "15"}, {"15", "30", "30"}}),
            {"70", "75", "55", "0"}, {"60", "65", "75"}, "200", 4, "200", "16.6043", "9.49",
            "13.28", "p < 0.01", false},
        RxCCase{"FullTableToleratesTwoSmallCounts",
            grid({{"30", "30", "20", "10"}, {"10", "15", "14", "1"}, {"5", "5", "9", "1"}}),
            {"45", "50", "43", "12"}, {"90", "40", "20"}, "150", 6, "150", "8.0095", "12.59",
            "16.81", "p > 0.05", false},
        RxCCase{"FullTableWithThreeSmallCounts",
            grid({{"30", "30", "24", "6"}, {"10", "15", "14", "1"}, {"5", "5", "9", "1"}}),
            {"45", "50", "47", "8"}, {"90", "40", "20"}, "150", 6, "", "", "", "", "", true},
        RxCCase{"TinyCountAlwaysWarns", grid({{"1", "0", "20"}, {"0", "30", "20"}}),
            {"1", "30", "40", "0"}, {"21", "50", "0"}, "71", 2, "", "", "", "", "", true},
        RxCCase{"FractionalCounts", grid({{"10.5", "20", "30"}, {"20", "10", "30.5"}}),
            {"30.5", "30", "60.5", "0"}, {"60.5", "60.5", "0"}, "121", 2, "121", "6.2965", "5.99",
            "9.21", "p < 0.05", false},
        RxCCase{"LeadingNumberReading",
            grid({{"10", "20-3", "30"}, {"20", "10", "30abc"}, {".", "-", ""}}),
            {"30", "30", "60", "0"}, {"60", "60", "0"}, "120", 2, "120", "6.6667", "5.99", "9.21",
            "p < 0.05", false},
        RxCCase{"NegativeCountShowsOnlyTotals", grid({{"10", "20", "30"}, {"20", "-10", "30"}}),
            {"30", "10", "60", "0"}, {"60", "40", "0"}, "100", 2, "100", "", "", "", "", false},
        RxCCase{"NegativeCountInASmallTable", grid({{"10", "-20"}, {"20", "10"}}), {}, {}, "", 0,
            "", "", "", "", "", false}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

TEST(RxCChiSquare, KeepsTheTheoreticalCountsOfEveryCell) {
    const RxCResult r = rxcChiSquare(grid({{"10", "20", "30"}, {"20", "10", "30"}}));
    ASSERT_TRUE(r.expected.has_value());
    const std::array<const char *, 12> want{"15", "15", "30", "0", "15", "15",
                                            "30", "0",  "0",  "0", "0",  "0"};
    for (std::size_t k = 0; k < 12; ++k)
        EXPECT_EQ((*r.expected)[k], want[k]) << "cell " << k;
}

TEST(RxCChiSquare, EmptyGridLeavesTheTheoreticalCountsAlone) {
    EXPECT_FALSE(rxcChiSquare({}).expected.has_value());
}

TEST(RxCChiSquare, ShownStatisticDecidesTheJudgment) {
    // A 2×3 table whose statistic, 5.98998, lies just below 5.99 and shows as 5.9900.
    const RxCResult r = rxcChiSquare(grid({{"17", "33", "20"}, {"27", "20", "25"}}));
    EXPECT_EQ(r.chiSquare, "5.9900");
    EXPECT_EQ(r.judgment, "p < 0.05");
}

} // namespace

namespace {

// The details beside the panel's statistic agree with R (data/rxc_details.R): chisq.test's
// statistic and P, and Cramér's V written out there.
class RxCDetailsAgreeWithR : public testing::TestWithParam<DataRow> {};

TEST_P(RxCDetailsAgreeWithR, PAndCramerV) {
    const QStringList &f = GetParam().fields;
    ASSERT_EQ(f.size(), 15);
    RxCTexts cells;
    for (std::size_t k = 0; k < 12; ++k)
        cells[k] = f[qsizetype(k)] == u"-" ? QString() : f[qsizetype(k)];
    const RxCResult r = rxcChiSquare(cells);
    if (!r.warning)
        EXPECT_EQ(r.chiSquare, f[12]);
    EXPECT_EQ(r.details.text(u"RxCP"), f[13]);
    EXPECT_EQ(r.details.text(u"CramerV"), f[14]);
}

INSTANTIATE_TEST_SUITE_P(R, RxCDetailsAgreeWithR, testing::ValuesIn(dataRows("rxc_details.txt")),
                         [](const auto &row) { return row.param.name; });

TEST(RxCDetailsAgreeWithR, EveryReferenceTableIsRead) {
    EXPECT_GE(dataRows("rxc_details.txt").size(), 5u);
}

const QString Huge = QStringLiteral("100000000000000000000000000000");

struct RxCDetailsCase {
    const char *name;
    RxCTexts cells;
    const char *p;
    const char *v;
    const char *note;
    const char *judgment;
};
QUARBEL_PRINT_ROW_NAME(RxCDetailsCase)

class RxCDetails : public testing::TestWithParam<RxCDetailsCase> {};

TEST_P(RxCDetails, ValuesAndNote) {
    const RxCDetailsCase &c = GetParam();
    const RxCResult r = rxcChiSquare(c.cells);
    EXPECT_EQ(r.details.text(u"RxCP"), c.p);
    EXPECT_EQ(r.details.text(u"CramerV"), c.v);
    EXPECT_EQ(r.details.note, QString::fromUtf8(c.note));
    EXPECT_EQ(r.judgment, c.judgment);
    // No judgment without the statistic it judges.
    EXPECT_EQ(r.judgment.isEmpty(), r.chiSquare.isEmpty());
    EXPECT_EQ(r.critical05.isEmpty(), r.chiSquare.isEmpty());
}

// What decides the result, said in the note; the values are chisq.test's.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Edges, RxCDetails,
    testing::Values(
        RxCDetailsCase{"EmptyGridSaysNothing", {}, "", "", "", ""},
        RxCDetailsCase{"PlainTableSaysNothing", grid({{"10", "20", "30"}, {"20", "10", "30"}}),
            "0.036", "0.2357", "", "p < 0.05"},
        RxCDetailsCase{"SmallTheoreticalCountsKeepTheDetails",
            grid({{"2", "8", "10"}, {"6", "4", "10"}}), "0.189", "0.2887",
            "理论数太小，χ²检验的P值不可靠：请合并相邻的行或列，或改用确切概率法。", ""},
        RxCDetailsCase{"FractionalCount", grid({{"10.5", "20", "30"}, {"20", "10", "30.5"}}),
            "0.043", "0.2281", "有非整数的计数：χ²检验要求频数为整数，请核对。", "p < 0.05"},
        RxCDetailsCase{"TwoByTwoPointsToTheFourFoldTest", grid({{"10", "20"}, {"20", "10"}}), "",
            "", "只有两行两列有计数：四格表请用“计数资料卡方检验”。", ""},
        RxCDetailsCase{"SingleRow", grid({{"10", "20", "30"}}), "", "",
            "至少需要两行和两列有计数。", ""},
        RxCDetailsCase{"NegativeCount", grid({{"10", "20", "30"}, {"20", "-10", "30"}}), "", "",
            "有计数为负数，不作检验。", ""},
        RxCDetailsCase{"HugeCountInATwoByThree", grid({{Huge.toUtf8().constData(), "20", "30"},
            {"20", "10", "30"}}), "", "", "有计数过大，无法精确计算，不作检验。", ""},
        RxCDetailsCase{"HugeCountsEverywhere", grid({{"1e200", "1e200", "1e200"},
            {"1e200", "1e200", "1e200"}}), "", "", "有计数过大，无法精确计算，不作检验。", ""}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

TEST(RxCChiSquare, CountBeyondExactRangeInAFullGridShowsNoJudgment) {
    // Row 1 and column 1 lose their totals; the rest still forms a 2×3 table.
    RxCTexts cells =
        grid({{"", "15", "10", "5"}, {"20", "20", "10", "10"}, {"10", "25", "15", "15"}});
    cells[0] = Huge;
    const RxCResult r = rxcChiSquare(cells);
    EXPECT_EQ(r.degreesOfFreedom, 2);
    EXPECT_EQ(r.rowTotals[0], "");
    EXPECT_EQ(r.rowTotals[1], "60");
    EXPECT_EQ(r.columnTotals[0], "");
    EXPECT_EQ(r.grandTotal, "");
    EXPECT_EQ(r.n, "");
    EXPECT_EQ(r.chiSquare, "");
    EXPECT_EQ(r.critical05, "");
    EXPECT_EQ(r.judgment, "");
    EXPECT_EQ(r.details.note, "有计数过大，无法精确计算，不作检验。");
}

TEST(RxCChiSquare, LayoutOfTheDetailsComesFromAnEmptyGrid) {
    const Details layout = rxcChiSquare({}).details;
    ASSERT_EQ(layout.items.size(), 2);
    EXPECT_EQ(layout.items[0].name, "RxCP");
    EXPECT_EQ(layout.items[1].name, "CramerV");
}

TEST(RxCChiSquare, TrailingTextChangesNothing) {
    EXPECT_EQ(rxcChiSquare(grid({{"10", "20", "30abc"}, {"20", "10-5", "30"}})),
              rxcChiSquare(grid({{"10", "20", "30"}, {"20", "10", "30"}})));
}

} // namespace
