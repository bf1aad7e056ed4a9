#include "core/rank/rank_details.h"
#include "core/rank/rank_tests.h"
#include "support/test_support.h"
#include "tables/data_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace quarbel {
void PrintTo(const RankDetails &r, std::ostream *os) {
    PrintTo(r.details, os);
    *os << " rankTest=" << r.reportRankTest;
}
} // namespace quarbel

using namespace quarbel;

namespace {

// A column of the reference file: values separated by spaces, NA for an empty cell.
std::vector<std::int64_t> column(const QString &field) {
    QStringList texts = field.split(u' ', Qt::SkipEmptyParts);
    for (QString &t : texts)
        if (t == u"NA")
            t.clear();
    return test::ticksOf(texts);
}

// The layout with the row's texts from `first` on ("-" for empty) and its note flag last.
RankDetails expected(Details layout, const DataRow &row, qsizetype first) {
    for (qsizetype i = 0; i < layout.items.size(); ++i) {
        const QString &t = row.fields.at(first + i);
        layout.items[i].text = t == u"-" ? QString() : t;
    }
    return {layout, row.fields.at(first + layout.items.size()) == u"1"};
}

// The note is ours, not R's: compare everything else.
RankDetails withoutNote(RankDetails r) {
    r.details.note.clear();
    return r;
}

std::string rowName(const testing::TestParamInfo<DataRow> &info) {
    return info.param.name;
}

class TwoSample : public testing::TestWithParam<DataRow> {};
class Paired : public testing::TestWithParam<DataRow> {};
class Anova : public testing::TestWithParam<DataRow> {};
class Correlation : public testing::TestWithParam<DataRow> {};

// R: data/rank_reference.R — quantile(type = 2), wilcox.test(conf.int = TRUE), shapiro.test.
TEST_P(TwoSample, AgreesWithR) {
    const DataRow &row = GetParam();
    const auto x = column(row.fields[0]), y = column(row.fields[1]);
    EXPECT_EQ(withoutNote(rankTwoSample(x, y)), expected(rankTwoSampleLayout(), row, 2));
}
INSTANTIATE_TEST_SUITE_P(R, TwoSample, testing::ValuesIn(dataRows("two_sample.txt")), rowName);

// R: wilcox.test(x, y, paired = TRUE, conf.int = TRUE) on the complete pairs.
TEST_P(Paired, AgreesWithR) {
    const DataRow &row = GetParam();
    const auto x = column(row.fields[0]), y = column(row.fields[1]);
    EXPECT_EQ(withoutNote(rankPaired(x, y)), expected(rankPairedLayout(), row, 2));
}
INSTANTIATE_TEST_SUITE_P(R, Paired, testing::ValuesIn(dataRows("paired.txt")), rowName);

// R: kruskal.test, and Dunn's z with Bonferroni's P from their formula.
TEST_P(Anova, AgreesWithR) {
    const DataRow &row = GetParam();
    const auto a = column(row.fields[0]), b = column(row.fields[1]), c = column(row.fields[2]);
    EXPECT_EQ(withoutNote(rankAnova({a, b, c})), expected(rankAnovaLayout(), row, 3));
}
INSTANTIATE_TEST_SUITE_P(R, Anova, testing::ValuesIn(dataRows("anova.txt")), rowName);

// R: cor.test(method = "spearman"), the interval by Fisher's z with the Bonett–Wright SE.
TEST_P(Correlation, AgreesWithR) {
    const DataRow &row = GetParam();
    const auto x = column(row.fields[0]), y = column(row.fields[1]);
    EXPECT_EQ(withoutNote(rankCorrelation(x, y)), expected(rankCorrelationLayout(), row, 2));
}
INSTANTIATE_TEST_SUITE_P(R, Correlation, testing::ValuesIn(dataRows("correlation.txt")), rowName);

// The selection must give exactly the sorted list's order statistics, through its sampling
// rounds (far more pairs than rows) and with heavy ties, without listing the pairs.
TEST(Selection, MatchesTheSortedPairs) {
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> few(-20, 20),
        wide(-9'000'000'000'000'000'000, 9'000'000'000'000'000'000);
    for (int round = 0; round < 2; ++round) {
        auto &draw = round == 0 ? few : wide;
        std::vector<std::int64_t> x(400), y(300);
        for (auto &v : x)
            v = draw(random);
        for (auto &v : y)
            v = draw(random);
        std::sort(x.begin(), x.end());
        std::sort(y.begin(), y.end());
        std::vector<WideInt> all, walsh;
        for (auto a : x)
            for (auto b : y)
                all.push_back(WideInt(a) - b);
        std::vector<WideInt> d(x.begin(), x.end());
        for (std::size_t i = 0; i < d.size(); ++i)
            for (std::size_t j = i; j < d.size(); ++j)
                walsh.push_back(d[i] + d[j]);
        std::sort(all.begin(), all.end());
        std::sort(walsh.begin(), walsh.end());
        for (std::uint64_t k : {std::uint64_t(1), std::uint64_t(2), std::uint64_t(all.size() / 3),
                                std::uint64_t(all.size() / 2 + 1), std::uint64_t(all.size())}) {
            EXPECT_TRUE(rank::kthDifference(x, y, k) == all[k - 1]) << "difference k=" << k;
            const std::uint64_t kw = std::min<std::uint64_t>(k, walsh.size());
            EXPECT_TRUE(rank::kthWalshSum(d, kw) == walsh[kw - 1]) << "Walsh k=" << kw;
        }
        // The rank-sum shift narrows one band for its median and both limits first: its limits
        // must still be the order statistics D(k) and D(N + 1 − k) of one k.
        const auto t = rank::rankSumTest(x, y);
        ASSERT_TRUE(t && t->shift.low && t->shift.high);
        const std::size_t n = all.size();
        EXPECT_TRUE(t->shift.estimate == 2 * (all[n / 2 - 1] + all[n / 2]));
        const auto [first, last] = std::equal_range(all.begin(), all.end(), *t->shift.low / 4);
        bool matched = false;
        for (auto it = first; it != last; ++it)
            matched = matched || all[n - 1 - std::size_t(it - all.begin())] * 4 == *t->shift.high;
        EXPECT_TRUE(matched);
    }
}

} // namespace
