#include "core/means/two_sample.h"
#include "core/entry/wide_int.h"

#include "core/entry/number_rules.h"
#include "core/entry/t_table.h"

#include <cmath>

namespace quarbel {

TwoSampleResult twoSampleT(const std::array<QString, 6> &boxes) {
    std::array<WideInt, 6> v{}; // ticks; 128 bits so sums of extreme inputs cannot overflow
    for (const QString &box : boxes)
        if (leadingNumber(box) == 0)
            return {};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto value = Fixed4::parse(boxes[i]);
        if (!value)
            return {};
        v[i] = value->ticks();
    }
    const auto [x1, s1, n1, x2, s2, n2] = v;
    const WideInt dfTicks = n1 + n2 - 2 * Fixed4::Scale;
    if (dfTicks < Fixed4::Scale || n1 == 0 || n2 == 0)
        return {};

    auto real = [](WideInt ticks) { return double(ticks) / Fixed4::Scale; };
    const double df = real(dfTicks);
    const double a = real(n1 - Fixed4::Scale) * real(s1) * real(s1);
    const double b = real(n2 - Fixed4::Scale) * real(s2) * real(s2);
    const double pooled = (b + a) / df;
    const double k = 1 / real(n2) + 1 / real(n1);
    const double variance = pooled * k;
    if (!(variance > 0) || !std::isfinite(variance))
        return {};
    const double t = std::fabs(real(x1 - x2)) / std::sqrt(variance);
    if (!std::isfinite(t))
        return {};

    const CriticalT critical = lookupCriticalT(df);
    return {critical.p05, critical.p01, critical.p001,
            QStringLiteral("t = ") + displayForm(t) + labels::Gap + judgeT(t, critical)};
}

} // namespace quarbel
