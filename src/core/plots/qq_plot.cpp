#include "core/plots/qq_plot.h"

#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/entry/quiet_policy.h"

#include <QCoreApplication>

#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <cmath>

namespace quarbel {
namespace {

double normalQuantile(double p) {
    static const boost::math::normal_distribution<double, Quiet> standard;
    return boost::math::quantile(standard, p);
}

// R's quantile type 7, the one qqline takes its quartiles by.
double type7(std::span<const double> sorted, double p) {
    const double h = double(sorted.size() - 1) * p;
    const auto lo = std::size_t(std::floor(h));
    const std::size_t hi = std::min(lo + 1, sorted.size() - 1);
    return sorted[lo] + (h - double(lo)) * (sorted[hi] - sorted[lo]);
}

double valueOf(std::int64_t ticks) {
    return double(ticks) / double(Fixed4::Scale);
}

std::vector<double> sortedValues(std::span<const std::int64_t> ticks) {
    std::vector<double> v;
    v.reserve(ticks.size());
    for (std::int64_t t : ticks)
        if (t != ColumnList::Missing)
            v.push_back(valueOf(t));
    std::sort(v.begin(), v.end());
    return v;
}

QString tr(const char *text) {
    return QCoreApplication::translate("QqPicture", text);
}

} // namespace

QqSeries qqSeries(const QString &name, std::span<const double> sorted) {
    QqSeries s{name, {}, std::nullopt, std::nullopt};
    const std::size_t n = sorted.size();
    if (n == 0)
        return s;
    // ppoints: (i − a)/(n + 1 − 2a), a = 3/8 up to ten values, ½ beyond.
    const double a = n <= 10 ? 0.375 : 0.5;
    auto position = [&](std::size_t i) {
        return normalQuantile((double(i + 1) - a) / (double(n) + 1 - 2 * a));
    };
    if (n <= QqAllPointsUpTo) {
        s.points.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            s.points.push_back({position(i), sorted[i]});
    } else {
        s.points.reserve(QqShownPoints);
        for (std::size_t k = 0; k < QqShownPoints; ++k) {
            const std::size_t i = k * (n - 1) / (QqShownPoints - 1);
            s.points.push_back({position(i), sorted[i]});
        }
    }
    if (n >= 2) {
        const double x1 = normalQuantile(0.25), x2 = normalQuantile(0.75);
        const double y1 = type7(sorted, 0.25), y2 = type7(sorted, 0.75);
        s.slope = (y2 - y1) / (x2 - x1);
        s.intercept = y1 - *s.slope * x1;
    }
    return s;
}

std::vector<QqSeries> qqPicture(Method method,
                                std::span<const std::span<const std::int64_t>> lists) {
    std::vector<QqSeries> series;
    if (method == TwoSampleT || method == Anova) {
        const std::size_t groups = method == Anova ? 3 : 2;
        for (std::size_t g = 0; g < groups && g < lists.size(); ++g)
            series.push_back(qqSeries(tr("第%1组").arg(g + 1), sortedValues(lists[g])));
    } else if ((method == PairedT || method == Correlation) && lists.size() >= 2) {
        // Complete pairs only; the difference is taken of the exact ticks, then scaled.
        std::vector<double> first, second;
        const std::size_t n = std::min(lists[0].size(), lists[1].size());
        for (std::size_t i = 0; i < n; ++i) {
            const std::int64_t x = lists[0][i], y = lists[1][i];
            if (x == ColumnList::Missing || y == ColumnList::Missing)
                continue;
            if (method == PairedT) {
                first.push_back((double(x) - double(y)) / double(Fixed4::Scale));
            } else {
                first.push_back(valueOf(x));
                second.push_back(valueOf(y));
            }
        }
        std::sort(first.begin(), first.end());
        std::sort(second.begin(), second.end());
        if (method == PairedT) {
            series.push_back(qqSeries(tr("差值"), first));
        } else {
            series.push_back(qqSeries(QStringLiteral("X"), first));
            series.push_back(qqSeries(QStringLiteral("Y"), second));
        }
    }
    return series;
}

} // namespace quarbel
