#include "core/plots/means_plots.h"

#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/entry/wide_int.h"

#include <cmath>

namespace quarbel {

GroupPicture groupPicture(std::span<const std::int64_t> ticks, const QString &mean,
                          const QString &sd, const QString &n) {
    GroupPicture picture;
    std::vector<double> values = presentValues(ticks);
    if (values.size() > MaxDots) {
        picture.density = histogram(values);
    } else {
        picture.dotOffsets = jitterOffsets(values.size(), 0.3);
        picture.dots = std::move(values);
    }
    // The boxes are read as the test reads them: a whole number text each.
    const auto m = Fixed4::parse(mean), s = Fixed4::parse(sd), count = Fixed4::parse(n);
    if (m && s && count)
        picture.mean = meanInterval(m->toDouble(), s->toDouble(), count->toDouble());
    return picture;
}

PairedPicture pairedPicture(std::span<const std::int64_t> first,
                            std::span<const std::int64_t> second) {
    PairedPicture picture;
    std::vector<PlotPoint> pairs;
    std::vector<double> differences;
    const std::size_t rows = std::min(first.size(), second.size());
    for (std::size_t i = 0; i < rows; ++i) {
        if (first[i] == ColumnList::Missing || second[i] == ColumnList::Missing)
            continue;
        const double x = Fixed4::fromTicks(first[i]).toDouble();
        const double y = Fixed4::fromTicks(second[i]).toDouble();
        if (pairs.size() <= MaxPairLines)
            pairs.push_back({x, y});
        // In ticks, so the difference is exact to four decimals; wide enough not to overflow.
        differences.push_back(static_cast<double>(WideInt(second[i]) - WideInt(first[i])) /
                              double(Fixed4::Scale));
    }
    const double n = double(differences.size());
    if (n >= 2) {
        // About the mean, so large values with their spread in the decimals keep their digits.
        double sum = 0;
        for (double d : differences)
            sum += d;
        const double mean = sum / n;
        double squares = 0;
        for (double d : differences)
            squares += (d - mean) * (d - mean);
        picture.meanDifference = meanInterval(mean, std::sqrt(squares / (n - 1)), n);
    }
    if (differences.size() > MaxPairLines)
        picture.differences = histogram(differences);
    else
        picture.pairs = std::move(pairs);
    return picture;
}

} // namespace quarbel
