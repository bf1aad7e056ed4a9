#include "core/entry/exact_t.h"

#include "core/entry/number_rules.h"
#include "core/entry/t_table.h"

#include <boost/math/distributions/students_t.hpp>

#include <cmath>

namespace quarbel {

std::optional<double> twoSidedP(double t, double df) {
    if (!(df > 0) || !std::isfinite(t) || !std::isfinite(df))
        return std::nullopt;
    try {
        const boost::math::students_t_distribution<double> dist(df);
        return std::min(1.0, 2 * boost::math::cdf(boost::math::complement(dist, std::fabs(t))));
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

std::optional<double> tFor95(double df) {
    if (!(df > 0) || !std::isfinite(df))
        return std::nullopt;
    try {
        const boost::math::students_t_distribution<double> dist(df);
        return boost::math::quantile(boost::math::complement(dist, 0.025));
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

namespace {

// The label the exact P earns: reaching a level counts, as a t reaching its critical value.
QString labelOf(double p) {
    if (p <= 0.001)
        return labels::P001;
    if (p <= 0.01)
        return labels::P01;
    if (p <= 0.05)
        return labels::P05;
    return labels::NotSignificant;
}

} // namespace

QString tableDisagreementNote(double df, const QString &label, double p) {
    if (label.isEmpty() || labelOf(p) == label)
        return {};
    const double row = tableRowDf(df);
    if (row == df)
        return QStringLiteral(
            "界值表的判断与精确 P 不一致（查表用的是舍入后的数值），请报告精确 P。");
    const QString rowText = std::isinf(row) ? QStringLiteral("∞") : plainForm(row);
    return QStringLiteral("t 界值表没有 ν = %1 这一行，判断借用了 ν = %2 行的界值，与精确 P "
                          "不一致，请报告精确 P。")
        .arg(plainForm(df), rowText);
}

} // namespace quarbel
