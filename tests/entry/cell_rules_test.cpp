#include "core/entry/cell_rules.h"

#include <gtest/gtest.h>

using namespace quarbel;

namespace {

TEST(CellRules, FullStopBecomesPoint) {
    EXPECT_EQ(replaceFullStops(QStringLiteral("3。14")), "3.14");
    EXPECT_EQ(replaceFullStops(QStringLiteral("。5。")), ".5.");
}

TEST(CellRules, TrailingFilterRemovesUnwantedEndsOneByOne) {
    EXPECT_EQ(filterTrailing(QStringLiteral("12ab")), "12");
    EXPECT_EQ(filterTrailing(QStringLiteral("5 kg")), "5");
    EXPECT_EQ(filterTrailing(QStringLiteral("1a2")), "1a2");
    EXPECT_EQ(filterTrailing(QStringLiteral("3/")), "3");
    EXPECT_EQ(filterTrailing(QStringLiteral("3+")), "3");
    EXPECT_EQ(filterTrailing(QStringLiteral("3-")), "3-");
    EXPECT_EQ(filterTrailing(QStringLiteral("3.")), "3.");
    EXPECT_EQ(filterTrailing(QStringLiteral("7中文")), "7");
    EXPECT_EQ(filterTrailing(QStringLiteral("7０")), "7"); // full-width digit
    EXPECT_EQ(filterTrailing(QStringLiteral("8😀")), "8");
    EXPECT_EQ(filterTrailing(QStringLiteral("abc")), "");
    EXPECT_EQ(filterTrailing(QString()), "");
}

TEST(CellRules, FamiliesApplyOnlyTheirRules) {
    const CellRules grid{true, true, true};
    const CellRules table{false, true, true};
    const CellRules box{true, false, false};
    EXPECT_EQ(applyCellRules(QStringLiteral("3。"), grid), "3.");
    EXPECT_EQ(applyCellRules(QStringLiteral("3。"), table), "3");
    EXPECT_EQ(applyCellRules(QStringLiteral("3。x"), box), "3.x");
}

} // namespace
