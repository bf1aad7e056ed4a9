#pragma once

#include "core/entry/details.h"
#include "core/shell/methods.h"

#include <array>
#include <cstdint>
#include <span>

// The "秩和检验与正态性" values of the four grid methods, from the raw grid lists: medians and
// quartiles, the rank test with its location shift, and Shapiro–Wilk of every group. Each takes
// the lists' ticks (ColumnList::Missing where a cell is empty or not a number).
namespace quarbel {

struct RankDetails {
    // Every item of the method's layout, in order; the note names the reason for an empty value
    // or, when a group is not normal, asks for the rank test.
    Details details;
    // A Shapiro–Wilk P below 0.05: the report gives the rank test (or Spearman's ρ) with
    // M (P25, P75) instead of the t-test, the analysis of variance or Pearson's r.
    bool reportRankTest{false};
    friend bool operator==(const RankDetails &, const RankDetails &) = default;
};

// The items of each method with every text empty (what a panel lays its box out from).
Details rankTwoSampleLayout();
Details rankPairedLayout();
Details rankAnovaLayout();
Details rankCorrelationLayout();

// Method 0: column 1 against column 2 (Mann–Whitney, shift of column 1 − column 2).
RankDetails rankTwoSample(std::span<const std::int64_t> x, std::span<const std::int64_t> y);
// Method 1: the differences column 1 − column 2 over the complete pairs (signed-rank test).
RankDetails rankPaired(std::span<const std::int64_t> x, std::span<const std::int64_t> y);
// Method 2: the three groups (Kruskal–Wallis and Dunn).
RankDetails rankAnova(const std::array<std::span<const std::int64_t>, 3> &groups);
// Method 6: Spearman's ρ of X and Y over the complete pairs.
RankDetails rankCorrelation(std::span<const std::int64_t> x, std::span<const std::int64_t> y);

// The four methods with these values, chosen by the method: its grid lists in column order
// (two for TwoSampleT, PairedT and Correlation, three for Anova).
bool hasRankDetails(Method method);
// The layout of `method`; no items for a method without rank details.
Details rankLayout(Method method);
// The values of `method` from its lists; an empty result for a method without rank details or
// with fewer lists than it takes.
RankDetails rankDetails(Method method, std::span<const std::span<const std::int64_t>> lists);

} // namespace quarbel
