#include "core/entry/column_list.h"
#include "core/means/group_summary.h"

#include <gtest/gtest.h>

using namespace quarbel;

namespace {

struct GroupCase {
    const char *name;
    std::vector<const char *> entries; // as stored from the grid cells
    const char *mean;
    const char *sd;
    const char *n;
};

void PrintTo(const GroupCase &c, std::ostream *os) {
    *os << c.name;
}

class GroupSummaryTest : public testing::TestWithParam<GroupCase> {};

TEST_P(GroupSummaryTest, FillsTheThreeBoxes) {
    const GroupCase &c = GetParam();
    ColumnList list(QStringLiteral("List3"));
    list.reset(qsizetype(c.entries.size()));
    for (std::size_t i = 0; i < c.entries.size(); ++i)
        list.set(qsizetype(i), QString::fromUtf8(c.entries[i]));
    const GroupSummary s = summariseGroup(list.ticks());
    EXPECT_EQ(s.mean.toStdString(), c.mean);
    EXPECT_EQ(s.sd.toStdString(), c.sd);
    EXPECT_EQ(s.n.toStdString(), c.n);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, GroupSummaryTest,
    testing::Values(
        GroupCase{"ThreeValues", {"5", "6", "7", "", ""}, "6.0000", "1.0000", "3"},
        GroupCase{"OneValue", {"", "4.5", ""}, "4.5000", "0.0000", "1"},
        GroupCase{"Empty", {"", "", ""}, "", "0.0000", "0"},
        GroupCase{"NoEntries", {}, "", "0.0000", "0"},
        GroupCase{"Gaps", {"5", "", "", "6", "", "7"}, "6.0000", "1.0000", "3"},
        GroupCase{"FourDecimalConversion", {"1.23456", "0.00004"}, "0.6173", "0.8730", "2"},
        // Entries that are not complete numbers count toward nothing, like empty ones.
        GroupCase{"IncompleteEntriesSkipped",
                  {"-", "5", ".", "6", "1-2", "7", "1.2.3", "-."},
                  "6.0000",
                  "1.0000",
                  "3"},
        GroupCase{"OnlyIncomplete", {"-", "."}, "", "0.0000", "0"},
        GroupCase{"MeanHalfRoundsUp", {"0.0001", "0.0002"}, "0.0002", "0.0001", "2"},
        GroupCase{"NegativeMeanHalfRoundsAway", {"-0.0001", "-0.0002"}, "-0.0002", "0.0001", "2"},
        GroupCase{"ThirdsOfTicks", {"1", "1", "2"}, "1.3333", "0.5774", "3"},
        GroupCase{"NegativeValues", {"-5", "-6", "-7"}, "-6.0000", "1.0000", "3"},
        // Large values with a tiny spread keep the spread.
        GroupCase{"LargeValuesSmallSpread",
                  {"1000000.0001", "1000000.0002", "1000000.0003"},
                  "1000000.0002",
                  "0.0001",
                  "3"},
        GroupCase{"NearTheLargestValues",
                  {"900000000000000", "900000000000000", "900000000000000"},
                  "900000000000000.0000",
                  "0.0000",
                  "3"},
        GroupCase{"EqualValues", {"3.3", "3.3", "3.3", "3.3"}, "3.3000", "0.0000", "4"}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
