#include "core/plots/correlation_plot.h"

#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"

#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>

namespace quarbel {
namespace {

DensityGrid densityOf(const std::vector<PlotPoint> &points) {
    auto [xlo, xhi] = std::minmax_element(points.begin(), points.end(),
                                          [](auto &p, auto &q) { return p.x < q.x; });
    auto [ylo, yhi] = std::minmax_element(points.begin(), points.end(),
                                          [](auto &p, auto &q) { return p.y < q.y; });
    DensityGrid grid;
    grid.columns = grid.rows = DensityCells;
    grid.xStart = xlo->x;
    grid.yStart = ylo->y;
    grid.xWidth = xhi->x > xlo->x ? (xhi->x - xlo->x) / DensityCells : 1.0;
    grid.yWidth = yhi->y > ylo->y ? (yhi->y - ylo->y) / DensityCells : 1.0;
    grid.counts.assign(std::size_t(DensityCells * DensityCells), 0.0);
    for (const PlotPoint &p : points) {
        const int c = std::clamp(int((p.x - grid.xStart) / grid.xWidth), 0, DensityCells - 1);
        const int r = std::clamp(int((p.y - grid.yStart) / grid.yWidth), 0, DensityCells - 1);
        grid.counts[std::size_t(r * DensityCells + c)] += 1.0;
    }
    return grid;
}

} // namespace

CorrelationPicture correlationPicture(std::span<const std::int64_t> x,
                                      std::span<const std::int64_t> y) {
    std::vector<PlotPoint> points;
    const std::size_t rows = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < rows; ++i)
        if (x[i] != ColumnList::Missing && y[i] != ColumnList::Missing)
            points.push_back(
                {Fixed4::fromTicks(x[i]).toDouble(), Fixed4::fromTicks(y[i]).toDouble()});

    CorrelationPicture picture;
    const double n = double(points.size());
    if (points.size() >= 2) {
        // Sums about the means, so values with their spread in the decimals keep their digits.
        double sx = 0, sy = 0;
        for (const PlotPoint &p : points) {
            sx += p.x;
            sy += p.y;
        }
        const double mx = sx / n, my = sy / n;
        double lxx = 0, lxy = 0, lyy = 0;
        for (const PlotPoint &p : points) {
            lxx += (p.x - mx) * (p.x - mx);
            lxy += (p.x - mx) * (p.y - my);
            lyy += (p.y - my) * (p.y - my);
        }
        if (lxx > 0) {
            const double b = lxy / lxx, a = my - b * mx;
            picture.slope = b;
            picture.intercept = a;
            if (points.size() >= 3) {
                const double residual = std::max(0.0, lyy - b * lxy) / (n - 2);
                const double t = boost::math::quantile(boost::math::students_t(n - 2), 0.975);
                const auto [lo, hi] = std::minmax_element(
                    points.begin(), points.end(), [](auto &p, auto &q) { return p.x < q.x; });
                for (int i = 0; i < BandPoints; ++i) {
                    const double at = lo->x + (hi->x - lo->x) * i / (BandPoints - 1);
                    const double fit = a + b * at;
                    const double half =
                        t * std::sqrt(residual * (1.0 / n + (at - mx) * (at - mx) / lxx));
                    picture.band.push_back({at, fit, fit - half, fit + half});
                }
            }
        }
    }
    if (points.size() > MaxScatterDots)
        picture.density = densityOf(points);
    else
        picture.dots = std::move(points);
    return picture;
}

} // namespace quarbel
