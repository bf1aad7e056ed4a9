#pragma once

#include "core/plots/plot_basics.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quarbel {

// The generated values as a histogram with the normal density of the target mean and SD over
// it, scaled to the histogram's counts (n · bin width · density) at CurvePoints X from
// mean − 4 SD to mean + 4 SD.
inline constexpr int CurvePoints = 121;
struct GeneratorPicture {
    Histogram histogram;
    std::vector<PlotPoint> curve;
};
// `units` are the values in units of 10^-decimals, as the generator keeps them.
GeneratorPicture generatorPicture(std::span<const std::int64_t> units, int decimals, double mean,
                                  double sd);

} // namespace quarbel
