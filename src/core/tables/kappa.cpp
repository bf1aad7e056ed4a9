#include "core/tables/kappa.h"

#include "core/entry/number_rules.h"
#include "core/entry/wide_int.h"
#include "core/tables/exact_tests.h"

#include <QCoreApplication>

#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace quarbel {
namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("Kappa", text);
}

constexpr std::array<std::pair<const char *, const char *>, 5> Items{{
    {"KappaAgreement", "观察一致率"},
    {"Kappa", "Kappa 值 κ"},
    {"KappaLow", "95%CI 下限"},
    {"KappaHigh", "95%CI 上限"},
    {"KappaP", "κ 检验 P"},
}};
enum Item { Agreement, Kappa, Low, High, P };

double twoSidedP(double z) {
    return 2 * boost::math::cdf(boost::math::normal_distribution<double>(), -std::abs(z));
}

} // namespace

Details pairedKappa(const FourFoldTexts &cells) {
    Details details = emptyDetails(Items);
    auto put = [&](Item item, const QString &text) { details.items[item].text = text; };

    // The paired table's reading: not a complete number counts 0, and a count too large to
    // hold, a negative one or a total beyond range leaves every value empty.
    std::array<Fixed4, 4> x{};
    std::int64_t total = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        if (Fixed4::outOfRange(cells[i])) {
            details.note = tr("例数过大，无法准确计算");
            return details;
        }
        x[i] = Fixed4::parse(cells[i]).value_or(Fixed4{});
        if (x[i].ticks() < 0) {
            details.note = tr("例数不能为负数");
            return details;
        }
        if (addOverflows(total, x[i].ticks())) {
            details.note = tr("例数过大，无法准确计算");
            return details;
        }
    }
    if (total == 0)
        return details;

    // κ = 2(ad − bc) / (r1·c2 + r2·c1) and 1 − pe = (r1·c2 + r2·c1) / n², so neither is a
    // difference of two numbers near 1: ad − bc is exact on the ticks, the rest are sums.
    const double n = Fixed4::fromTicks(total).toDouble();
    const double a = x[0].toDouble(), b = x[1].toDouble(), c = x[2].toDouble(), d = x[3].toDouble();
    const double r1 = a + b, r2 = c + d, c1 = a + c, c2 = b + d;
    put(Agreement, displayForm((a + d) / n));
    const double spread = r1 * c2 + r2 * c1;
    // All pairs in one cell: agreement by chance is certain and κ is 0/0.
    if (spread == 0) {
        details.note = tr("全部对子在同一格：κ 无定义");
        return details;
    }
    const WideInt cross =
        WideInt(x[0].ticks()) * x[3].ticks() - WideInt(x[1].ticks()) * x[2].ticks();
    const double scale = double(Fixed4::Scale) * double(Fixed4::Scale);
    const double adMinusBc = toDouble(cross) / scale;
    const double kappa = 2 * adMinusBc / spread;
    put(Kappa, displayForm(kappa));

    // Fleiss, Cohen and Everitt (1969): the large-sample variance of κ about its estimate, in
    // proportions.
    const double pa = a / n, pb = b / n, pc = c / n, pd = d / n;
    const double pr1 = r1 / n, pr2 = r2 / n, pc1 = c1 / n, pc2 = c2 / n;
    const double chance = pr1 * pc1 + pr2 * pc2, chanceDiscord = spread / n / n;
    const double w = 1 - kappa;
    const double diagonal =
        pa * std::pow(1 - (pr1 + pc1) * w, 2) + pd * std::pow(1 - (pr2 + pc2) * w, 2);
    const double offDiagonal = w * w * (pb * std::pow(pc1 + pr2, 2) + pc * std::pow(pc2 + pr1, 2));
    const double bias = kappa - chance * w;
    const double variance =
        std::max(0.0, diagonal + offDiagonal - bias * bias) / (n * chanceDiscord * chanceDiscord);
    const double half = normal975() * std::sqrt(variance);
    put(Low, displayForm(std::clamp(kappa - half, -1.0, 1.0)));
    put(High, displayForm(std::clamp(kappa + half, -1.0, 1.0)));

    // Under κ = 0 the variance is 4·r1·r2·c1·c2 / (n (1 − pe)²) in proportions, so z = κ / SE₀
    // is (ad − bc)·√n / √(r1·r2·c1·c2) in counts; it is 0 only when one classification has a
    // single class.
    if (r1 > 0 && r2 > 0 && c1 > 0 && c2 > 0) {
        const double z = adMinusBc * std::sqrt(n) / (std::sqrt(r1 * r2) * std::sqrt(c1 * c2));
        put(P, pValueForm(twoSidedP(z)));
    } else {
        details.note = tr("有一种分类只有一类（SE₀ = 0）：不计算 P");
    }
    return details;
}

} // namespace quarbel
