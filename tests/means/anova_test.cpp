#include "core/means/anova.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>

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

namespace {

// The details as the panel would show them: every item of the layout, texts by name.
Details expectedDetails(const std::map<QString, QString> &texts, const char *note) {
    Details d = runAnova(AnovaBoxes{}).details;
    for (DetailItem &item : d.items) {
        const auto it = texts.find(item.name);
        item.text = it == texts.end() ? QString() : it->second;
    }
    d.note = QString::fromUtf8(note);
    return d;
}

// One set of data/anova_details.txt (computed by data/anova_details.R): the nine boxes and
// R's values in the order below.
struct RSet {
    AnovaBoxes boxes;
    std::map<QString, QString> texts;
};

RSet rSet(const std::string &name) {
    static const QStringList order{
        "AnovaTukeyDiff12", "AnovaTukeyLow12", "AnovaTukeyHigh12",  "AnovaTukeyP12",
        "AnovaTukeyDiff13", "AnovaTukeyLow13", "AnovaTukeyHigh13",  "AnovaTukeyP13",
        "AnovaTukeyDiff23", "AnovaTukeyLow23", "AnovaTukeyHigh23",  "AnovaTukeyP23",
        "AnovaP",           "AnovaEta2",       "AnovaBartlettChi2", "AnovaBartlettP",
        "AnovaWelchF",      "AnovaWelchDf2",   "AnovaWelchP"};
    std::ifstream in(QUARBEL_TEST_DATA "/anova_details.txt");
    std::string line;
    while (std::getline(in, line)) {
        const QStringList fields = QString::fromStdString(line).split(u' ', Qt::SkipEmptyParts);
        if (fields.size() != 1 + 9 + 1 + order.size() || fields[0].toStdString() != name)
            continue;
        RSet set;
        for (std::size_t k = 0; k < 9; ++k)
            set.boxes[k] = fields[qsizetype(1 + k)];
        for (qsizetype i = 0; i < order.size(); ++i)
            if (const QString &value = fields[11 + i]; value != u"-")
                set.texts[order[i]] = value;
        return set;
    }
    ADD_FAILURE() << "no set " << name << " in anova_details.txt";
    return {};
}

struct DetailsCase {
    const char *name;
    const char *note;
};

void PrintTo(const DetailsCase &c, std::ostream *os) {
    *os << c.name;
}

class AnovaDetails : public testing::TestWithParam<DetailsCase> {};

TEST_P(AnovaDetails, AgreeWithRToTheDigitsShown) {
    const RSet set = rSet(GetParam().name);
    EXPECT_EQ(runAnova(set.boxes).details, expectedDetails(set.texts, GetParam().note));
}

INSTANTIATE_TEST_SUITE_P(
    R, AnovaDetails,
    testing::Values(
        DetailsCase{"crp", "各组方差相差明显（Bartlett P < 0.05），应报告 Welch 方差分析的结果；"
                           "F 界值表没有 ν = 24 这一行，判断借用了 ν = 20 行的界值，报告时以精确 "
                           "P 为准。"},
        DetailsCase{"crp8", "各组方差相差明显（Bartlett P < 0.05），应报告 Welch 方差分析的结果；"
                            "F 界值表没有 ν = 23 这一行，判断借用了 ν = 20 行的界值，报告时以精确 "
                            "P 为准。"},
        DetailsCase{"worked", ""},
        DetailsCase{"hba1c", "F 界值表没有 ν = 94 这一行，判断借用了 ν = 60 行的界值，报告时以精确 "
                             "P 为准。"},
        DetailsCase{"stay", "各组方差相差明显（Bartlett P < 0.05），应报告 Welch 方差分析的结果；"
                            "F 界值表没有 ν = 38 这一行，判断借用了 ν = 30 行的界值，报告时以精确 "
                            "P 为准。"},
        // F 3.4409 is below the row for 20 (3.49) but above the exact 0.05 value for 25.
        DetailsCase{"between", "F 界值表没有 ν = 25 这一行，判断借用了 ν = 20 行的界值，与精确 P "
                               "不一致，应以精确 P 为准。"},
        DetailsCase{"pairs", "组内自由度小于 5，q 检验不作，两两比较请看 Tukey 校正 P。"},
        DetailsCase{"equal", ""},
        DetailsCase{"huge", "F 界值表没有 ν = 24 这一行，判断借用了 ν = 20 行的界值，报告时以精确 "
                            "P 为准。"},
        DetailsCase{"single", "第 1 组不足 2 个数据，无法检验方差齐性，也无法作 Welch 方差分析；F "
                              "界值表没有 ν = 13 这一行，判断借用了 ν = 12 行的界值，报告时以精确 "
                              "P 为准。"},
        DetailsCase{"large", "F 界值表没有 ν = 130 这一行，判断借用了 ν = ∞ 行的界值，报告时以精确 "
                             "P 为准。"}),
    [](const auto &row) { return std::string(row.param.name); });

struct DetailsEdge {
    const char *name;
    AnovaBoxes boxes;
    std::map<QString, QString> texts;
    const char *note;
};

void PrintTo(const DetailsEdge &c, std::ostream *os) {
    *os << c.name;
}

class AnovaDetailsEdges : public testing::TestWithParam<DetailsEdge> {};

TEST_P(AnovaDetailsEdges, EmptyWhereFIsAndSayWhy) {
    const DetailsEdge &c = GetParam();
    EXPECT_EQ(runAnova(c.boxes).details, expectedDetails(c.texts, c.note));
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, AnovaDetailsEdges,
    testing::Values(
        DetailsEdge{"Empty", AnovaBoxes{}, {}, ""},
        DetailsEdge{"Incomplete", boxesOf({"10", "2", "5", "12", "2", "5", "15", "2", ""}), {}, ""},
        DetailsEdge{
            "NotANumber", boxesOf({"10", "2", "5", "12", "2", "5", "15", "abc", "5"}), {}, ""},
        // A group whose values are all equal: valid data the zero test cannot tell from a blank.
        DetailsEdge{"StandardDeviationZero",
                    boxesOf({"10", "2", "5", "12", "0.0000", "5", "15", "2", "5"}),
                    {},
                    "第 2 组的标准差为 0，面板把 0 当作未填，不作计算。"},
        DetailsEdge{"MeanZero",
                    boxesOf({"0", "2", "5", "12", "2", "5", "15", "2", "5"}),
                    {},
                    "第 1 组的均数为 0，面板把 0 当作未填，不作计算。"},
        // What the grid writes for a group of one value.
        DetailsEdge{"SingleValueFromTheGrid",
                    boxesOf({"4.5000", "0.0000", "1", "12", "2", "5", "15", "2", "5"}),
                    {},
                    "第 1 组只有 1 个数据，标准差记为 0，面板不作计算。"},
        DetailsEdge{"OneValueEachGroup",
                    boxesOf({"10", "2", "1", "12", "2", "1", "15", "2", "1"}),
                    {},
                    "组内自由度不足 1，数据太少，无法作方差分析。"},
        // One within degree of freedom: F and its P exist (R: pf(2.25, 2, 1) upper 0.426401),
        // Tukey's range has no distribution below two; the differences stand.
        DetailsEdge{
            "OneWithinDegree",
            boxesOf({"10", "2", "1", "12", "2", "1", "15", "2", "2"}),
            {{"AnovaP", "0.426"},
             {"AnovaEta2", "0.8182"},
             {"AnovaTukeyDiff12", "-2.0000"},
             {"AnovaTukeyDiff13", "-5.0000"},
             {"AnovaTukeyDiff23", "-3.0000"}},
            "第 1 组不足 2 个数据，无法检验方差齐性，也无法作 Welch 方差分析；组内自由度不足 "
            "2，数据太少，无法给出 Tukey 区间和校正 P。"},
        // F overflows: the details go with it.
        DetailsEdge{"OverflowEmptiesWithF",
                    boxesOf({"1e200", "2", "5", "12", "2", "5", "15", "2", "5"}),
                    {},
                    ""}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(AnovaDetailsLayout, NamesEveryValueOnceInTheBoxOrder) {
    const Details layout = runAnova(AnovaBoxes{}).details;
    ASSERT_EQ(layout.items.size(), 19);
    QStringList names;
    for (const DetailItem &item : layout.items) {
        EXPECT_TRUE(item.text.isEmpty());
        EXPECT_FALSE(item.caption.isEmpty());
        names << item.name;
    }
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 19);
    EXPECT_EQ(names.front(), "AnovaTukeyDiff12");
    EXPECT_EQ(names.back(), "AnovaWelchP");
}

// Means 10^5 apart with an SD of 0.01 on 357 df: a q near 10^8, where the range is certain.
// The chi-square tail behind it once overflowed inside Boost and threw out of the keystroke.
TEST(AnovaDetailsLimits, AHugeRangeIsCertainNotAnOverflow) {
    const AnovaResult r =
        runAnova(boxesOf({"10", "0.01", "120", "20", "0.01", "120", "100000", "0.01", "120"}));
    EXPECT_EQ(r.details.text(u"AnovaTukeyP12"), "<0.001");
    EXPECT_EQ(r.details.text(u"AnovaTukeyP13"), "<0.001");
    EXPECT_EQ(r.details.text(u"AnovaTukeyDiff13"), "-99990.0000");
    EXPECT_FALSE(r.details.text(u"AnovaTukeyLow13").isEmpty());
}

} // namespace
