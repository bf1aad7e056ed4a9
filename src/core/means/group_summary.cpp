#include "core/means/group_summary.h"
#include "core/entry/wide_int.h"

#include "core/entry/number_rules.h"

#include <cmath>

namespace quarbel {

GroupSummary summariseGroup(const ColumnTotals &totals) {
    const std::int64_t n = totals.n;
    const WideInt sum = totals.sum; // ticks: exact
    GroupSummary s{QString(), QStringLiteral("0.0000"), QString::number(n)};
    if (n == 0)
        return s;
    // The mean in ten-thousandths, rounded half away from zero in integers: exact.
    const WideInt magnitude = sum < 0 ? -sum : sum;
    const WideInt rounded = (2 * magnitude + n) / (2 * WideInt(n));
    s.mean = displayForm(Fixed4::fromTicks(std::int64_t(sum < 0 ? -rounded : rounded)));
    if (n < 2)
        return s;
    // The spread is formed exactly in integers, so large values with a small spread keep every
    // digit of it; only the quotient is rounded.
    const long double spread = exact::toLongDouble(exact::spread(n, sum, totals.squares.value()));
    const long double perUnit = (long double)Fixed4::Scale * Fixed4::Scale;
    s.sd = displayForm(double(std::sqrt(spread / perUnit / n / (n - 1))));
    return s;
}

GroupSummary summariseGroup(std::span<const std::int64_t> ticks) {
    return summariseGroup(ColumnTotals::of(ticks));
}

} // namespace quarbel
