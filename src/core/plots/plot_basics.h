#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quarbel {

// The numbers behind a picture, kept apart from any drawing so they can be checked.
struct PlotPoint {
    double x{0};
    double y{0};
    bool operator==(const PlotPoint &) const = default;
};

// An estimate with its two-sided 95% interval (low and high as in the tests' intervals).
struct Estimate {
    double estimate{0};
    double low{0};
    double high{0};
    bool operator==(const Estimate &) const = default;
};

// Equal-width bins: bin i holds the values in [start + i·width, start + (i + 1)·width), the
// last bin also its upper end.
struct Histogram {
    double start{0};
    double width{0};
    std::vector<double> counts;
    double edge(std::size_t i) const { return start + double(i) * width; }
};

// Groups with more values than this are drawn as a histogram, not as single dots.
inline constexpr std::size_t MaxDots = 2000;
inline constexpr int MaxBins = 60;

// The present values of a column's parsed entries (missing entries skipped), as doubles.
std::vector<double> presentValues(std::span<const std::int64_t> ticks);

// Sturges' number of bins (at most `maxBins`) spread evenly from the smallest to the largest
// value; all values equal give one bin of width 1 around them. Empty input gives no bins.
Histogram histogram(std::span<const double> values, int maxBins = MaxBins);
// The same with the bins fixed by the caller.
Histogram histogram(std::span<const double> values, double start, double width, int bins);

// Horizontal offsets in [−halfWidth, halfWidth] that spread n dots evenly and the same way on
// every redraw, so the dots stay put while the user types.
std::vector<double> jitterOffsets(std::size_t n, double halfWidth);

// Mean ± t(0.975, n − 1)·sd/√n; none when n < 2, sd < 0 or a value is not finite.
std::optional<Estimate> meanInterval(double mean, double sd, double n);
// The proportion x/n with Wilson's score interval; none unless 0 ≤ x ≤ n and n > 0.
std::optional<Estimate> wilsonEstimate(double x, double n);

} // namespace quarbel
