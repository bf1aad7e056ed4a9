#pragma once

#include "core/entry/wide_int.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The rank tests and the normality check on raw fixed-point values, as building blocks that any
// grid method can combine. Every input is sorted ascending and holds no missing entry; every
// result is exact where the data allow it (quartiles and location shifts are order statistics of
// tick values, kept in quarter ticks) and never throws.
namespace quarbel::rank {

// A value held in quarter ticks (value × 4·10⁴): the mean of two tick values, and the median of
// Walsh averages, are exact in it.
using QuarterTicks = WideInt;

// Four-decimal display form of a quarter-tick value, rounded half away from zero without a
// double, so huge values keep every digit.
QString quarterTicksForm(QuarterTicks value);
double quarterTicksValue(QuarterTicks value);

// The present entries of a column (ColumnList::Missing dropped), sorted.
std::vector<std::int64_t> sortedPresent(std::span<const std::int64_t> ticks);
// Sorts paired differences (radix sort whenever they fit 64 bits, as all but extremes do).
void sortDifferences(std::vector<WideInt> &d);

// Quartiles by the textbook rule for raw data (R's quantile type 2): with np = n·p, the mean of
// X(np) and X(np + 1) when np is whole, otherwise X(⌊np⌋ + 1).
struct Quartiles {
    QuarterTicks p25{0}, median{0}, p75{0};
};
std::optional<Quartiles> quartiles(std::span<const std::int64_t> sorted);
std::optional<Quartiles> quartiles(std::span<const WideInt> sorted);

// Shapiro–Wilk W and its P by Royston's approximation (AS R94), for 3 ≤ n ≤ 5000 values with
// spread; nothing otherwise.
struct ShapiroWilk {
    double w{0}, p{0};
};
std::optional<ShapiroWilk> shapiroWilk(std::span<const double> sorted);
std::optional<ShapiroWilk> shapiroWilk(std::span<const std::int64_t> sorted);
std::optional<ShapiroWilk> shapiroWilk(std::span<const WideInt> sorted);

// Why a Shapiro–Wilk result is missing, for the notes.
enum class NormalityGap { None, TooFew, TooMany, NoSpread };
NormalityGap normalityGap(std::size_t n, bool spread);

// The location shift of a rank test: the Hodges–Lehmann estimate and its 95% interval, the
// order statistics D(k) and D(N + 1 − k) of the N pairwise values.
struct Shift {
    QuarterTicks estimate{0};
    std::optional<QuarterTicks> low, high; // absent when the statistic has no spread
};

// Wilcoxon rank-sum (Mann–Whitney) test of x against y, both non-empty, as R's
// wilcox.test(x, y, conf.int = TRUE). z and p are NaN when every value is tied.
struct RankSum {
    double u{0}; // rank sum of x − n1(n1 + 1)/2, R's W
    double z{0}; // with the tie and continuity corrections
    double p{0}; // two-sided
    bool exact{false};
    Shift shift; // of x − y
    double rankBiserial{0};
};
std::optional<RankSum> rankSumTest(std::span<const std::int64_t> x,
                                   std::span<const std::int64_t> y);

// Wilcoxon signed-rank test of sorted differences (in ticks) against zero, as R's
// wilcox.test(d, conf.int = TRUE): zeros are dropped; nothing when every difference is zero.
struct SignedRank {
    double v{0}; // sum of the ranks of |d| over the positive differences
    double z{0};
    double p{0};
    bool exact{false};
    std::size_t n{0}; // non-zero differences
    Shift shift;      // the pseudo-median of the Walsh averages
    double r{0};      // (T+ − T−)/(T+ + T−)
};
std::optional<SignedRank> signedRankTest(std::span<const WideInt> sortedDifferences);

// Kruskal–Wallis test over k ≥ 2 non-empty groups, as R's kruskal.test, with Dunn's pairwise
// z (tie-corrected, mean rank i − mean rank j) and Bonferroni P for every pair i < j in the
// order (0,1), (0,2), …, (1,2), …. h, p, z and the Dunn P are NaN when every value is tied.
struct KruskalWallis {
    double h{0};
    int df{0};
    double p{0};
    double epsilonSquared{0}; // H·(n + 1)/(n² − 1)
    struct Pair {
        std::size_t i{0}, j{0};
        double z{0}, p{0};
    };
    std::vector<Pair> dunn;
};
std::optional<KruskalWallis> kruskalWallis(std::span<const std::span<const std::int64_t>> groups);

// Spearman's ρ of complete pairs (unsorted, in pair order) with P as R's
// cor.test(method = "spearman") and a 95% interval by Fisher's z with the Bonett–Wright SE.
// rho and p are NaN when either column has no spread; low and high NaN when n < 4 or |ρ| = 1.
struct Spearman {
    double rho{0}, p{0}, low{0}, high{0};
};
std::optional<Spearman> spearman(std::span<const std::int64_t> x, std::span<const std::int64_t> y);

// Exact null distributions (R's pwilcox/qwilcox, psignrank/qsignrank), for n1, n2, n below 50.
double rankSumCdf(std::int64_t u, int n1, int n2);
std::int64_t rankSumQuantile(double p, int n1, int n2);
double signedRankCdf(std::int64_t v, int n);
std::int64_t signedRankQuantile(double p, int n);
// P[S ≥ s] (upper) or P[S < s] for Spearman's S = Σ d² under independence (AS 89: exact up to
// nine pairs, the Edgeworth series beyond).
double spearmanS(double s, int n, bool lowerTail);

// The k-th smallest (1-based) of the n1·n2 differences x_i − y_j, and of the n(n + 1)/2 Walsh
// sums d_i + d_j (i ≤ j), by selection in O((n1 + n2) log) time without listing them.
WideInt kthDifference(std::span<const std::int64_t> x, std::span<const std::int64_t> y,
                      std::uint64_t k);
WideInt kthWalshSum(std::span<const WideInt> d, std::uint64_t k);

} // namespace quarbel::rank
