#include "core/entry/number_rules.h"
#include "core/entry/t_table.h"
#include "support/test_support.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace quarbel;

namespace {

TEST(TTable, HoldsThePrintedLinesExactly) {
    const QString rule(15, QChar(0x2014));
    EXPECT_EQ(tTableLine(0), QStringLiteral("          t界值表"));
    EXPECT_EQ(tTableLine(1), rule);
    EXPECT_EQ(tTableLine(2), QStringLiteral("双侧   0.05     0.01     0.001"));
    EXPECT_EQ(tTableLine(3), rule);
    EXPECT_EQ(tTableLine(4), QStringLiteral("1      12.70    63.65    636.6"));
    EXPECT_EQ(tTableLine(43), QStringLiteral("40     2.021    2.704    3.551"));
    EXPECT_EQ(tTableLine(52), QStringLiteral("1000   1.962    2.581    3.300"));
    EXPECT_EQ(tTableLine(53), QStringLiteral("∝     1.960    2.575    3.291"));
    EXPECT_EQ(tTableLine(54), rule);
    EXPECT_EQ(tTableLine(55), QString());
    EXPECT_EQ(tTableLine(56), QString());
    EXPECT_EQ(tTableLine(-1), QString());
}

TEST(TTable, TextEndsWithALineBreakBeforeTheEmptyLastLine) {
    const QString text = tTableText();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), TTableLineCount);
    for (int i = 0; i < TTableLineCount; ++i)
        EXPECT_EQ(lines[i], tTableLine(i)) << "line " << i;
    for (int line = 4; line <= 52; ++line)
        EXPECT_EQ(tTableLine(line).size(), 30) << "line " << line;
}

struct LookupCase {
    const char *name;
    double df;
    const char *p05, *p01, *p001;
};
QUARBEL_PRINT_ROW_NAME(LookupCase)

class CriticalTLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(CriticalTLookup, TakesTheLargestTabulatedDfNotAbove) {
    const LookupCase &c = GetParam();
    const CriticalT t = lookupCriticalT(c.df);
    EXPECT_EQ(t.p05, QString::fromUtf8(c.p05));
    EXPECT_EQ(t.p01, QString::fromUtf8(c.p01));
    EXPECT_EQ(t.p001, QString::fromUtf8(c.p001));
}

INSTANTIATE_TEST_SUITE_P(
    Dfs, CriticalTLookup,
    testing::Values(LookupCase{"One", 1, "12.70", "63.65", "636.6"},
                    LookupCase{"Two", 2, "4.303", "9.925", "31.59"},
                    LookupCase{"Eighteen", 18, "2.101", "2.878", "3.922"},
                    LookupCase{"FractionalBetweenRows", 30.5, "2.042", "2.750", "3.646"},
                    LookupCase{"JustBelowForty", 39.9999, "2.023", "2.708", "3.558"},
                    LookupCase{"Forty", 40, "2.021", "2.704", "3.551"},
                    LookupCase{"FortyOne", 41, "2.021", "2.704", "3.551"},
                    LookupCase{"FortyFive", 45, "2.021", "2.704", "3.551"},
                    LookupCase{"FortyNine", 49, "2.021", "2.704", "3.551"},
                    LookupCase{"Fifty", 50, "2.009", "2.678", "3.496"},
                    LookupCase{"Hundred", 100, "1.984", "2.626", "3.390"},
                    LookupCase{"NineNineNine", 999, "1.965", "2.586", "3.310"},
                    LookupCase{"JustBelowThousand", 999.9999, "1.965", "2.586", "3.310"},
                    LookupCase{"Thousand", 1000, "1.962", "2.581", "3.300"},
                    LookupCase{"JustAboveThousand", 1000.0001, "1.960", "2.575", "3.291"},
                    LookupCase{"ThousandOne", 1001, "1.960", "2.575", "3.291"},
                    LookupCase{"FiveThousand", 5000, "1.960", "2.575", "3.291"},
                    // Below the first row the rule line is cut: five dashes, then nothing.
                    LookupCase{"BelowOne", 0.5, "—————", "", ""},
                    LookupCase{"Zero", 0, "—————", "", ""},
                    LookupCase{"Negative", -3, "—————", "", ""}),
    [](const auto &row) { return std::string(row.param.name); });

struct JudgeCase {
    const char *name;
    double t;
    double df;
    const char *label;
};
QUARBEL_PRINT_ROW_NAME(JudgeCase)

class JudgeT : public testing::TestWithParam<JudgeCase> {};

TEST_P(JudgeT, ReachingACriticalValueCounts) {
    const JudgeCase &c = GetParam();
    EXPECT_EQ(judgeT(c.t, lookupCriticalT(c.df)), QString::fromUtf8(c.label));
}

INSTANTIATE_TEST_SUITE_P(Levels, JudgeT,
                         testing::Values(JudgeCase{"Small", 0.5, 18, "p > 0.05"},
                                         JudgeCase{"ShownAsCriticalButBelow", 2.10098, 18,
                                                   "p > 0.05"},
                                         JudgeCase{"EqualTo05", 2.101, 18, "p < 0.05"},
                                         JudgeCase{"Between05And01", 2.5, 18, "p < 0.05"},
                                         JudgeCase{"EqualTo01", 2.878, 18, "p < 0.01"},
                                         JudgeCase{"EqualTo001", 3.922, 18, "p < 0.001"},
                                         JudgeCase{"Huge", 1e9, 1, "p < 0.001"},
                                         JudgeCase{"Infinity05", 1.96, 5000, "p < 0.05"}),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
