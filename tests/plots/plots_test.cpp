#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/plots/correlation_plot.h"
#include "core/plots/generator_plot.h"
#include "core/plots/means_plots.h"
#include "core/plots/tables_plots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

using namespace quarbel;

namespace {

// Reference values from tests/plots/data/plots_reference.R, one "key: values" line each.
const std::map<std::string, std::vector<double>> &reference() {
    static const auto values = [] {
        std::map<std::string, std::vector<double>> map;
        std::ifstream in(QUARBEL_TEST_DATA "/plots_reference.txt");
        std::string line;
        while (std::getline(in, line)) {
            const auto colon = line.find(": ");
            std::istringstream rest(line.substr(colon + 2));
            std::vector<double> v;
            for (double x; rest >> x;)
                v.push_back(x);
            map[line.substr(0, colon)] = v;
        }
        return map;
    }();
    return values;
}

std::vector<double> refValues(const std::string &key) {
    const auto it = reference().find(key);
    EXPECT_NE(it, reference().end()) << key;
    return it == reference().end() ? std::vector<double>{} : it->second;
}

std::vector<std::int64_t> ticksOf(const std::vector<double> &values) {
    std::vector<std::int64_t> ticks;
    for (double v : values)
        ticks.push_back(std::llround(v * Fixed4::Scale));
    return ticks;
}

QString text(double v) {
    return plainForm(v);
}

constexpr double Tol = 0.5e-4; // agreement to four decimals

void expectInterval(const std::optional<Estimate> &got, const std::vector<double> &want,
                    bool withEstimate) {
    ASSERT_TRUE(got.has_value());
    const std::size_t o = withEstimate ? 1 : 0;
    if (withEstimate)
        EXPECT_NEAR(got->estimate, want[0], Tol);
    EXPECT_NEAR(got->low, want[o], Tol);
    EXPECT_NEAR(got->high, want[o + 1], Tol);
}

void expectShares(std::span<const double> got, const std::vector<double> &want, std::size_t at) {
    for (std::size_t j = 0; j < got.size(); ++j)
        EXPECT_NEAR(got[j], want[at + j], Tol) << "share " << at + j;
}

void groupAgainstR(const std::string &key) {
    const std::vector<double> values = refValues(key), boxes = refValues(key + ".boxes");
    const GroupPicture p =
        groupPicture(ticksOf(values), text(boxes[0]), text(boxes[1]), text(boxes[2]));
    EXPECT_EQ(p.dots, values);
    ASSERT_EQ(p.dotOffsets.size(), values.size());
    for (double o : p.dotOffsets)
        EXPECT_LE(std::abs(o), 0.3);
    EXPECT_FALSE(p.density);
    expectInterval(p.mean, refValues(key + ".ci"), false);
}

struct ReferenceCase {
    const char *name;
    std::function<void()> check;
};
void PrintTo(const ReferenceCase &c, std::ostream *os) {
    *os << c.name;
}

class PictureAgainstR : public testing::TestWithParam<ReferenceCase> {};

TEST_P(PictureAgainstR, AgreesToFourDecimals) {
    GetParam().check();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Methods, PictureAgainstR, testing::Values(
    ReferenceCase{"TwoSampleGroups", [] { groupAgainstR("two.g1"); groupAgainstR("two.g2"); }},
    ReferenceCase{"AnovaGroups", [] {
        for (const char *g : {"anova.g1", "anova.g2", "anova.g3"}) groupAgainstR(g);
    }},
    ReferenceCase{"PairedLines", [] {
        const auto before = refValues("paired.before"), after = refValues("paired.after");
        const PairedPicture p = pairedPicture(ticksOf(before), ticksOf(after));
        ASSERT_EQ(p.pairs.size(), before.size());
        EXPECT_EQ(p.pairs.back(), (PlotPoint{before.back(), after.back()}));
        EXPECT_FALSE(p.differences);
        ASSERT_TRUE(p.meanDifference);
        EXPECT_NEAR(p.meanDifference->estimate, refValues("paired.mean")[0], Tol);
        expectInterval(p.meanDifference, refValues("paired.ci"), false);
    }},
    ReferenceCase{"FourFoldWilson", [] {
        const auto c = refValues("fourfold.cells");
        const auto p = fourFoldPicture({text(c[0]), text(c[1]), text(c[2]), text(c[3])});
        expectInterval(p[0], refValues("fourfold.test"), true);
        expectInterval(p[1], refValues("fourfold.control"), true);
    }},
    ReferenceCase{"PairedFourFoldWilson", [] {
        const auto c = refValues("paired4.cells");
        const auto p = pairedFourFoldPicture({text(c[0]), text(c[1]), text(c[2]), text(c[3])});
        expectInterval(p[0], refValues("paired4.row"), true);
        expectInterval(p[1], refValues("paired4.column"), true);
    }},
    ReferenceCase{"RxCRowShares", [] {
        const auto c = refValues("rxc.cells");
        RxCTexts cells;
        for (std::size_t r = 0; r < 3; ++r)
            for (std::size_t k = 0; k < 3; ++k)
                cells[4 * r + k] = text(c[3 * r + k]);
        const RxCPicture p = rxcPicture(cells);
        EXPECT_EQ(p.rows, (std::vector<int>{0, 1, 2}));
        EXPECT_EQ(p.columns, (std::vector<int>{0, 1, 2}));
        for (std::size_t r = 0; r < 3; ++r)
            expectShares(p.shares[r], refValues("rxc.shares"), 3 * r);
    }},
    ReferenceCase{"CorrelationBand", [] {
        const CorrelationPicture p =
            correlationPicture(ticksOf(refValues("corr.x")), ticksOf(refValues("corr.y")));
        EXPECT_EQ(p.dots.size(), refValues("corr.x").size());
        ASSERT_TRUE(p.intercept && p.slope);
        EXPECT_NEAR(*p.intercept, refValues("corr.coef")[0], Tol);
        EXPECT_NEAR(*p.slope, refValues("corr.coef")[1], Tol);
        ASSERT_EQ(p.band.size(), std::size_t(BandPoints));
        const auto x = refValues("corr.band.x"), fit = refValues("corr.band.fit"), low = refValues("corr.band.low"),
                   high = refValues("corr.band.high");
        for (std::size_t i = 0; i < p.band.size(); ++i) {
            EXPECT_NEAR(p.band[i].x, x[i], Tol) << i;
            EXPECT_NEAR(p.band[i].fit, fit[i], Tol) << i;
            EXPECT_NEAR(p.band[i].low, low[i], Tol) << i;
            EXPECT_NEAR(p.band[i].high, high[i], Tol) << i;
        }
    }},
    ReferenceCase{"GradedShares", [] {
        const auto c = refValues("graded.cells");
        GradedTexts cells;
        for (std::size_t i = 0; i < 8; ++i)
            cells[i] = text(c[i]);
        const auto p = gradedPicture(cells);
        ASSERT_TRUE(p[0] && p[1]);
        expectShares(*p[0], refValues("graded.test"), 0);
        expectShares(*p[1], refValues("graded.control"), 0);
    }},
    ReferenceCase{"GeneratorHistogramAndDensity", [] {
        std::vector<std::int64_t> units;
        for (double v : refValues("gen.values"))
            units.push_back(std::llround(v * 10));
        const GeneratorPicture p = generatorPicture(units, 1, 120, 15);
        const auto breaks = refValues("gen.breaks"), counts = refValues("gen.counts");
        ASSERT_EQ(p.histogram.counts.size(), counts.size());
        for (std::size_t i = 0; i < counts.size(); ++i) {
            EXPECT_NEAR(p.histogram.edge(i), breaks[i], Tol) << i;
            EXPECT_EQ(p.histogram.counts[i], counts[i]) << i;
        }
        const auto curve = refValues("gen.curve.y");
        ASSERT_EQ(p.curve.size(), curve.size());
        for (std::size_t i = 0; i < curve.size(); ++i)
            EXPECT_NEAR(p.curve[i].y, curve[i], Tol) << i;
    }}),
    [](const testing::TestParamInfo<ReferenceCase> &row) { return std::string(row.param.name); });
// clang-format on

// Nothing to draw must come back as nothing, never as numbers left from other data.
TEST(PictureWithoutData, GivesNoMarks) {
    const GroupPicture group = groupPicture({}, "", "0.0000", "0");
    EXPECT_TRUE(group.dots.empty());
    EXPECT_FALSE(group.mean || group.density);
    // One value: a dot, but no interval (no SD yet).
    const std::vector<std::int64_t> one{45000, ColumnList::Missing};
    const GroupPicture single = groupPicture(one, "4.5000", "0.0000", "1");
    EXPECT_EQ(single.dots, std::vector<double>{4.5});
    EXPECT_FALSE(single.mean);
    // A box text the test refuses gives no interval either.
    EXPECT_FALSE(groupPicture({}, "12a", "2", "10").mean);

    const std::vector<std::int64_t> x{10000, ColumnList::Missing, 30000};
    const std::vector<std::int64_t> y{20000, 40000, ColumnList::Missing};
    const PairedPicture paired = pairedPicture(x, y);
    EXPECT_EQ(paired.pairs.size(), 1u);
    EXPECT_FALSE(paired.meanDifference);

    const CorrelationPicture sameX =
        correlationPicture(std::vector<std::int64_t>{10000, 10000, 10000},
                           std::vector<std::int64_t>{10000, 20000, 30000});
    EXPECT_FALSE(sameX.slope);
    EXPECT_TRUE(sameX.band.empty());
    const CorrelationPicture twoPairs = correlationPicture(std::vector<std::int64_t>{10000, 20000},
                                                           std::vector<std::int64_t>{10000, 30000});
    ASSERT_TRUE(twoPairs.slope);
    EXPECT_DOUBLE_EQ(*twoPairs.slope, 2.0);
    EXPECT_TRUE(twoPairs.band.empty());

    EXPECT_FALSE(fourFoldPicture({}).at(0));
    // A negative (−) count leaves that group without an interval, the other keeps its own.
    const auto negative = fourFoldPicture({"5", "-2", "5", "5"});
    EXPECT_FALSE(negative[0]);
    EXPECT_TRUE(negative[1]);
    EXPECT_FALSE(pairedFourFoldPicture({"5", "-2", "5", "5"})[0]);
    EXPECT_TRUE(rxcPicture({}).rows.empty());
    EXPECT_FALSE(gradedPicture({"1", "2", "", "", "", "", "", ""})[1]);

    const GeneratorPicture none = generatorPicture({}, 2, 50, 10);
    EXPECT_TRUE(none.histogram.counts.empty());
    EXPECT_TRUE(none.curve.empty());
}

// Large grids are drawn with a bounded number of marks.
TEST(PictureOfLargeData, SwitchesToHistogramsAndGrids) {
    std::vector<std::int64_t> many(100'000), other(100'000);
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i] = std::int64_t(i % 977) * 100;
        other[i] = std::int64_t(i % 613) * 300;
    }
    const GroupPicture group = groupPicture(many, "48.8000", "28.2000", "100000");
    EXPECT_TRUE(group.dots.empty());
    ASSERT_TRUE(group.density);
    EXPECT_LE(group.density->counts.size(), std::size_t(MaxBins));
    double total = 0;
    for (double c : group.density->counts)
        total += c;
    EXPECT_EQ(total, 100'000);

    const PairedPicture paired = pairedPicture(many, other);
    EXPECT_TRUE(paired.pairs.empty());
    ASSERT_TRUE(paired.differences);
    EXPECT_TRUE(paired.meanDifference);

    const CorrelationPicture scatter = correlationPicture(many, other);
    EXPECT_TRUE(scatter.dots.empty());
    ASSERT_TRUE(scatter.density);
    total = 0;
    for (double c : scatter.density->counts)
        total += c;
    EXPECT_EQ(total, 100'000);
    EXPECT_EQ(scatter.band.size(), std::size_t(BandPoints));
}

// Values on a bin edge go to the bin that starts there; the largest value to the last bin.
TEST(HistogramBins, EdgesBelongToTheBinAbove) {
    const std::vector<double> values{0, 1, 2, 3, 4, 4, 0.5};
    const Histogram h = histogram(values, 0, 1, 4);
    EXPECT_EQ(h.counts, (std::vector<double>{2, 1, 1, 3}));
    const Histogram same = histogram(std::vector<double>{7, 7, 7});
    EXPECT_EQ(same.counts, std::vector<double>{3});
    EXPECT_DOUBLE_EQ(same.start, 6.5);
}

} // namespace
