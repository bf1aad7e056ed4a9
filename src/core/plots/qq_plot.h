#pragma once

#include "core/plots/plot_basics.h"
#include "core/shell/methods.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quarbel {

// Above this many values a normal Q–Q plot shows QqShownPoints evenly spaced order statistics,
// each still at its own plotting position: the shape is the same, the drawing stays quick.
inline constexpr std::size_t QqAllPointsUpTo = 4000;
inline constexpr std::size_t QqShownPoints = 2000;

// One group's normal Q–Q plot: (theoretical quantile, observed value) at the plotting
// positions of R's ppoints, and the line through the quartiles as qqline draws it.
struct QqSeries {
    QString name;
    std::vector<PlotPoint> points;
    std::optional<double> intercept, slope; // two values or more
    friend bool operator==(const QqSeries &, const QqSeries &) = default;
};

// The groups of a method with rank details, from its grid lists in column order: the two
// columns (TwoSampleT), the differences of the complete pairs (PairedT), the three groups
// (Anova), X and Y of the complete pairs (Correlation). Nothing for another method.
std::vector<QqSeries> qqPicture(Method method,
                                std::span<const std::span<const std::int64_t>> lists);

// One series from sorted values.
QqSeries qqSeries(const QString &name, std::span<const double> sorted);

} // namespace quarbel
