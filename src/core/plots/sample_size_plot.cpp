#include "core/plots/sample_size_plot.h"

#include <algorithm>
#include <cmath>

namespace quarbel {
namespace {

constexpr int Points = 40;

} // namespace

SampleSizePicture sampleSizePicture(const SampleSizeResult &result) {
    SampleSizePicture picture;
    if (!result.parameters || result.achievedPower.isEmpty())
        return picture;
    const SizeParameters &s = *result.parameters;
    const double n = s.n1;
    const double power = powerAtSize(s, n);
    if (!std::isfinite(power))
        return picture;
    picture.answer = {n, power};
    if (!s.solveForPower)
        picture.target = s.power;
    const double first = std::max(leastSampleSize(s.design), std::floor(n / 3));
    const double last = std::max(first, 2 * n);
    const double step = std::max(1.0, (last - first) / (Points - 1));
    double previous = -1;
    for (int i = 0; i < Points; ++i) {
        const double x = std::min(last, std::round(first + i * step));
        if (x == previous)
            continue;
        previous = x;
        const double y = powerAtSize(s, x);
        if (std::isfinite(y))
            picture.curve.push_back({x, y});
    }
    return picture;
}

} // namespace quarbel
