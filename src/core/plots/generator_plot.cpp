#include "core/plots/generator_plot.h"

#include <boost/math/distributions/normal.hpp>

#include <cmath>

namespace quarbel {

GeneratorPicture generatorPicture(std::span<const std::int64_t> units, int decimals, double mean,
                                  double sd) {
    GeneratorPicture picture;
    const double scale = std::pow(10.0, -decimals);
    std::vector<double> values(units.size());
    for (std::size_t i = 0; i < units.size(); ++i)
        values[i] = double(units[i]) * scale;
    picture.histogram = histogram(values);
    if (values.empty() || !(sd > 0) || !std::isfinite(mean) || !std::isfinite(sd))
        return picture;
    const boost::math::normal density(mean, sd);
    const double area = double(values.size()) * picture.histogram.width;
    for (int i = 0; i < CurvePoints; ++i) {
        const double x = mean - 4 * sd + 8 * sd * i / (CurvePoints - 1);
        picture.curve.push_back({x, area * boost::math::pdf(density, x)});
    }
    return picture;
}

} // namespace quarbel
