#include "core/plots/plot_basics.h"

#include "core/entry/column_list.h"
#include "core/tables/exact_tests.h"

#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>

namespace quarbel {

std::vector<double> presentValues(std::span<const std::int64_t> ticks) {
    std::vector<double> values;
    values.reserve(ticks.size());
    for (std::int64_t t : ticks)
        if (t != ColumnList::Missing)
            values.push_back(Fixed4::fromTicks(t).toDouble());
    return values;
}

namespace {

// `clampEnds`: every value belongs to the range (the bins were spread over the data itself),
// so one that rounding puts just beyond an end goes to the end bin.
Histogram binned(std::span<const double> values, double start, double width, int bins,
                 bool clampEnds) {
    Histogram h{start, width, std::vector<double>(std::size_t(std::max(bins, 0)), 0.0)};
    if (bins <= 0 || !(width > 0))
        return h;
    for (double v : values) {
        if (!std::isfinite(v))
            continue;
        // The quotient can land one bin off at an edge; the edges themselves decide.
        auto i = std::int64_t(std::floor((v - start) / width));
        if (i > 0 && i <= bins && v < h.edge(std::size_t(i)))
            --i;
        if (i >= 0 && i + 1 < bins && v >= h.edge(std::size_t(i + 1)))
            ++i;
        if (i == bins && v <= h.edge(std::size_t(bins)))
            i = bins - 1;
        if (clampEnds)
            i = std::clamp<std::int64_t>(i, 0, bins - 1);
        if (i < 0 || i >= bins)
            continue;
        h.counts[std::size_t(i)] += 1.0;
    }
    return h;
}

} // namespace

Histogram histogram(std::span<const double> values, int maxBins) {
    if (values.empty())
        return {};
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    if (*lo == *hi)
        return binned(values, *lo - 0.5, 1.0, 1, true);
    const int sturges = int(std::ceil(std::log2(double(values.size())) + 1.0));
    const int bins = std::clamp(sturges, 1, std::max(1, maxBins));
    return binned(values, *lo, (*hi - *lo) / bins, bins, true);
}

Histogram histogram(std::span<const double> values, double start, double width, int bins) {
    return binned(values, start, width, bins, false);
}

std::vector<double> jitterOffsets(std::size_t n, double halfWidth) {
    // The golden-ratio sequence fills the strip evenly without a random source.
    constexpr double phi = 0.6180339887498949;
    std::vector<double> offsets(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double u = std::fmod(0.5 + double(i) * phi, 1.0);
        offsets[i] = (2.0 * u - 1.0) * halfWidth;
    }
    return offsets;
}

std::optional<Estimate> meanInterval(double mean, double sd, double n) {
    if (!(n >= 2.0) || !(sd >= 0.0) || !std::isfinite(mean) || !std::isfinite(sd) ||
        !std::isfinite(n))
        return std::nullopt;
    const boost::math::students_t t(n - 1.0);
    const double half = boost::math::quantile(t, 0.975) * sd / std::sqrt(n);
    return Estimate{mean, mean - half, mean + half};
}

std::optional<Estimate> wilsonEstimate(double x, double n) {
    if (!(n > 0.0) || !(x >= 0.0) || x > n || !std::isfinite(n))
        return std::nullopt;
    const Interval w = wilsonInterval(x, n);
    return Estimate{x / n, std::max(0.0, w.low), std::min(1.0, w.high)};
}

} // namespace quarbel
