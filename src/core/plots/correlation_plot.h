#pragma once

#include "core/plots/plot_basics.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quarbel {

// Many pairs are drawn as counts over a grid of cells instead of single dots.
inline constexpr std::size_t MaxScatterDots = 5000;
inline constexpr int DensityCells = 60;

struct DensityGrid {
    double xStart{0}, xWidth{0}, yStart{0}, yWidth{0};
    int columns{0}, rows{0};
    std::vector<double> counts; // row-major: counts[row * columns + column]
};

// One point of the 95% confidence band of the mean response.
struct BandPoint {
    double x{0};
    double fit{0};
    double low{0};
    double high{0};
};

// Linear correlation: the scatter (or its density), the least-squares line of Y on X and its
// 95% confidence band for the mean at BandPoints evenly spaced X from the smallest to the
// largest. The line needs two pairs with different X, the band three.
inline constexpr int BandPoints = 50;
struct CorrelationPicture {
    std::vector<PlotPoint> dots;
    std::optional<DensityGrid> density;
    std::optional<double> intercept;
    std::optional<double> slope;
    std::vector<BandPoint> band;
};
CorrelationPicture correlationPicture(std::span<const std::int64_t> x,
                                      std::span<const std::int64_t> y);

} // namespace quarbel
