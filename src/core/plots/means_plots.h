#pragma once

#include "core/plots/plot_basics.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quarbel {

// One group of the two-sample t-test or the analysis of variance: its values from the grid
// (dots, or a histogram when there are many) and its mean with the 95% interval from the
// summary boxes the test itself reads.
struct GroupPicture {
    std::vector<double> dots;
    std::vector<double> dotOffsets; // horizontal jitter of each dot, within ±0.3
    std::optional<Histogram> density;
    std::optional<Estimate> mean;
};

// `ticks` are the group's grid entries; the texts are its mean, SD and n boxes as shown.
GroupPicture groupPicture(std::span<const std::int64_t> ticks, const QString &mean,
                          const QString &sd, const QString &n);

// The paired t-test: each pair as a line from column 1 to column 2 while there are at most
// MaxPairLines pairs, else the differences (column 2 − column 1) as a histogram; the mean
// difference with its 95% interval either way.
inline constexpr std::size_t MaxPairLines = 500;
struct PairedPicture {
    std::vector<PlotPoint> pairs; // x = column 1, y = column 2
    std::optional<Histogram> differences;
    std::optional<Estimate> meanDifference;
};
PairedPicture pairedPicture(std::span<const std::int64_t> first,
                            std::span<const std::int64_t> second);

} // namespace quarbel
