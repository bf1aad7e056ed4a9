#include "core/entry/number_rules.h"
#include "core/tables/exact_tests.h"
#include "core/tables/four_fold.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTextStream>

#include <chrono>
#include <cmath>

using namespace quarbel;

namespace {

// One row of data/four_fold_details.txt: R's values for every detail of a table.
struct RRow {
    std::string method; // "fourfold" or "paired"
    std::string name;
    FourFoldTexts cells;
    QList<double> values; // NaN where R has NA
};
QUARBEL_PRINT_ROW_NAME(RRow)

const QStringList FourFoldNames{"OddsRatio",    "OddsRatioLow",  "OddsRatioHigh", "RiskRatio",
                                "RiskRatioLow", "RiskRatioHigh", "RiskDiff",      "RiskDiffLow",
                                "RiskDiffHigh", "FourFoldP",     "FisherP"};
const QStringList PairedNames{"PairedOddsRatio", "PairedOddsRatioLow", "PairedOddsRatioHigh",
                              "PairedPropDiff",  "PairedPropDiffLow",  "PairedPropDiffHigh",
                              "McNemarP",        "McNemarExactP"};

std::vector<RRow> readRows() {
    std::vector<RRow> rows;
    QFile file(QStringLiteral(QUARBEL_TEST_DATA "/four_fold_details.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(u' ', Qt::SkipEmptyParts);
        if (f.size() < 6 || f[0].startsWith(u'#'))
            continue;
        RRow row{f[0].toStdString(), f[1].toStdString(), {f[2], f[3], f[4], f[5]}, {}};
        for (qsizetype i = 6; i < f.size(); ++i)
            row.values.append(f[i] == "NA" ? std::nan("") : f[i].toDouble());
        rows.push_back(row);
    }
    return rows;
}

// R's value as the box shows it: P values in the P form, the rest in the display form.
QString shownAs(const QString &name, double value) {
    return name.endsWith(u'P') ? pValueForm(value) : displayForm(value);
}

class DetailsAgreeWithR : public testing::TestWithParam<RRow> {};

TEST_P(DetailsAgreeWithR, ToTheShownDigits) {
    const RRow &row = GetParam();
    const bool paired = row.method == "paired";
    const Details details =
        paired ? pairedFourFoldChiSquare(row.cells).details : fourFoldChiSquare(row.cells).details;
    const QStringList &names = paired ? PairedNames : FourFoldNames;
    ASSERT_EQ(row.values.size(), names.size());
    ASSERT_EQ(details.items.size(), names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        EXPECT_EQ(details.text(names[i]), shownAs(names[i], row.values[i]))
            << names[i].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Tables, DetailsAgreeWithR, testing::ValuesIn(readRows()),
                         [](const auto &row) { return row.param.method + row.param.name; });

TEST(DetailsAgreeWithR, DataFileIsRead) {
    EXPECT_EQ(readRows().size(), 21u);
}

// What the note says, and which values a table leaves empty.
struct NoteCase {
    const char *name;
    bool paired;
    FourFoldTexts cells;
    const char *note;
    QStringList empty; // detail items that must be empty; every other one is filled
};
QUARBEL_PRINT_ROW_NAME(NoteCase)

const QString Fisher = fourFoldNotes::Fisher;
const QString Whole = fourFoldNotes::WholeCounts;
const QString Zero = fourFoldNotes::ZeroCell;
const QString Few = fourFoldNotes::FewDiscordant;
const QString NoC = fourFoldNotes::NoDiscordantC;

class DetailsNote : public testing::TestWithParam<NoteCase> {};

TEST_P(DetailsNote, SaysWhatDecided) {
    const NoteCase &c = GetParam();
    const Details details =
        c.paired ? pairedFourFoldChiSquare(c.cells).details : fourFoldChiSquare(c.cells).details;
    EXPECT_EQ(details.note, QString::fromUtf8(c.note));
    const bool allEmpty = c.empty == QStringList{"*"};
    for (const DetailItem &item : details.items)
        EXPECT_EQ(item.text.isEmpty(), allEmpty || c.empty.contains(item.name))
            << item.name.toStdString() << " = " << item.text.toStdString();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tables, DetailsNote,
    testing::Values(
        NoteCase{"LargeTableSaysNothing", false, {"120", "380", "85", "415"}, "", {}},
        NoteCase{"BelowFortySendsToFisher", false, {"12", "3", "5", "10"},
            "n < 40 或 T < 1：应报告 Fisher 确切概率法的 P", {}},
        NoteCase{"SmallTheoreticalCount", false, {"2", "60", "0", "58"},
            "n < 40 或 T < 1：应报告 Fisher 确切概率法的 P；有格子为 0：OR 和 RR 按每格加 0.5 计算", {}},
        NoteCase{"ZeroCellCorrects", false, {"6", "34", "0", "40"},
            "有格子为 0：OR 和 RR 按每格加 0.5 计算", {}},
        NoteCase{"FractionalHasNoExactTest", false, {"10.5", "10", "11", "10"},
            "例数含小数：确切概率法需要整数例数", {"FisherP"}},
        NoteCase{"BeyondTheExactWalk", false, {"3000000000", "3000000000", "2000000000", "2000000001"},
            "n > 10¹⁰：不计算 Fisher 确切概率，χ² 检验的 P 已足够准确", {"FisherP"}},
        NoteCase{"EmptyColumnLeavesAllEmpty", false, {"20", "", "30", ""}, "", {"*"}},
        NoteCase{"FirstDigitLeavesAllEmpty", false, {"5", "", "", ""}, "", {"*"}},
        NoteCase{"NegativeLeavesAllEmpty", false, {"30", "-5", "20", "25"}, "", {"*"}},
        NoteCase{"PairedLargeSaysNothing", true, {"400", "130", "90", "380"}, "", {}},
        NoteCase{"PairedFewDiscordant", true, {"30", "12", "4", "20"},
            "b + c < 25：应报告确切概率法（二项分布）的 P", {}},
        NoteCase{"PairedNoC", true, {"20", "7", "0", "13"},
            "b + c < 25：应报告确切概率法（二项分布）的 P；c = 0：配对 OR 及其上限无定义",
            {"PairedOddsRatio", "PairedOddsRatioHigh"}},
        NoteCase{"PairedFractional", true, {"20", "7.5", "3", "10"},
            "例数含小数：确切概率法需要整数例数",
            {"McNemarExactP", "PairedOddsRatioLow", "PairedOddsRatioHigh"}},
        NoteCase{"PairedNoDiscordantPairs", true, {"30", "", "", "20"}, "", {"*"}},
        NoteCase{"PairedNegative", true, {"-3", "30", "10", ""}, "", {"*"}}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

TEST(DetailsLayout, EmptyInputsGiveEveryItemOnce) {
    const Details four = fourFoldChiSquare({}).details;
    const Details paired = pairedFourFoldChiSquare({}).details;
    QStringList names;
    for (const DetailItem &item : four.items + paired.items) {
        EXPECT_TRUE(item.text.isEmpty());
        EXPECT_FALSE(item.caption.isEmpty());
        names << item.name;
    }
    EXPECT_EQ(names, FourFoldNames + PairedNames);
}

// A number too long to hold exactly is out of range, not a missing value read as 0: the
// results empty as they do for a negative count, and the sums it enters stay empty.
struct OutOfRangeCase {
    const char *name;
    QString text;
};
QUARBEL_PRINT_ROW_NAME(OutOfRangeCase)

class OutOfRangeCell : public testing::TestWithParam<OutOfRangeCase> {};

TEST_P(OutOfRangeCell, EmptiesEveryResult) {
    const QString huge = GetParam().text;
    const FourFoldResult r = fourFoldChiSquare({"18", huge, "10", "10"});
    EXPECT_EQ(r.margins.negative, "");
    EXPECT_EQ(r.margins.row1, "");
    EXPECT_EQ(r.margins.positive, "28");
    EXPECT_EQ(r.margins.row2, "20");
    EXPECT_EQ(r.margins.total, "");
    FourFoldResult expected;
    expected.margins = r.margins;
    expected.details = fourFoldChiSquare({}).details;
    EXPECT_EQ(r, expected);

    const PairedFourFoldResult p = pairedFourFoldChiSquare({"50", huge, "10", "40"});
    PairedFourFoldResult pairedExpected;
    pairedExpected.margins = p.margins;
    pairedExpected.details = pairedFourFoldChiSquare({}).details;
    EXPECT_EQ(p, pairedExpected);
}

INSTANTIATE_TEST_SUITE_P(Cells, OutOfRangeCell,
                         testing::Values(OutOfRangeCase{"SeventyDigits", QString(70, u'9')},
                                         OutOfRangeCase{"NegativeWithLeadingZero",
                                                        "-01" + QString(40, u'0')},
                                         OutOfRangeCase{"SixteenWholeDigits", "1000000000000000"},
                                         OutOfRangeCase{"Exponent", "2e300"}),
                         [](const auto &row) { return std::string(row.param.name); });

TEST(OutOfRangeCell, IsNotAnIncompleteNumber) {
    EXPECT_FALSE(Fixed4::outOfRange(u"-"));
    EXPECT_FALSE(Fixed4::outOfRange(u"1-2"));
    EXPECT_FALSE(Fixed4::outOfRange(u""));
    EXPECT_FALSE(Fixed4::outOfRange(u"900000000000000.9999"));
    EXPECT_TRUE(Fixed4::outOfRange(u"999999999999999.9999"));
    EXPECT_TRUE(Fixed4::outOfRange(u" 99999999999999999999 "));
}

// The unsuitability message of a total too large to hold would judge a table it cannot see.
TEST(FourFoldJudgment, NeverStandsWithoutItsStatistic) {
    const FourFoldResult r = fourFoldChiSquare({"900000000000000", "900000000000000", "1", "1"});
    EXPECT_EQ(r.chiSquare, "");
    EXPECT_EQ(r.judgment, "");
}

// The exact tests at their edges, against values R gives for the same calls.
TEST(FisherExactP, FarTailAndSingleTable) {
    // fisher.test(matrix(c(500, 0, 0, 500), 2))$p.value is 2.7e-299.
    EXPECT_LT(fisherExactP(500, 0, 0, 500), 1e-12);
    EXPECT_EQ(fisherExactP(20, 0, 30, 0), 1.0); // one table has these margins
    EXPECT_TRUE(std::isnan(fisherExactP(2.5, 1, 1, 1)));
    EXPECT_TRUE(std::isnan(fisherExactP(0, 0, 0, 0)));
}

TEST(FisherExactP, TiedTablesCountTogether) {
    // Symmetric margins: the mirror table has the same probability and is counted with it;
    // R: fisher.test(matrix(c(3, 7, 7, 3), 2))$p.value = 0.178895408.
    EXPECT_NEAR(fisherExactP(3, 7, 7, 3), 0.178895408, 1e-9);
    EXPECT_NEAR(fisherExactP(7, 3, 3, 7), 0.178895408, 1e-9);
}

TEST(BinomialHalfP, MatchesBinomTest) {
    // binom.test(k, n)$p.value for each pair.
    EXPECT_NEAR(binomialHalfP(3, 13), 0.09228515625, 1e-12);
    EXPECT_NEAR(binomialHalfP(10, 13), 0.09228515625, 1e-12);
    EXPECT_EQ(binomialHalfP(6, 12), 1.0);
    EXPECT_EQ(binomialHalfP(6, 13), 1.0);
    EXPECT_NEAR(binomialHalfP(0, 1), 1.0, 1e-15);
    EXPECT_NEAR(binomialHalfP(480, 1000), 0.2174, 1e-4);
}

// Boost gives up on the beta quantile for trillions of discordant pairs; the keystroke must
// get empty fields, not an exception that ends the program (found by the fuzzer).
TEST(PairedFourFold, CountsBeyondAnyStudyEmptyTheExactFieldsWithoutThrowing) {
    PairedFourFoldResult r;
    EXPECT_NO_THROW(
        r = pairedFourFoldChiSquare({QStringLiteral("10"), QStringLiteral("2000000000000"),
                                     QStringLiteral("9000000000000"), QString()}));
    EXPECT_FALSE(r.chiSquare.isEmpty());
}

TEST(FisherExactP, HundredThousandIsFast) {
    const auto start = std::chrono::steady_clock::now();
    const double p = fisherExactP(25000, 25000, 24500, 25500);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(p, 0.0);
    EXPECT_LT(ms, 50.0); // the bench holds the 5 ms figure; this only catches a runaway walk
}

} // namespace
