#include "core/means/group_summary.h"
#include "core/entry/wide_int.h"

#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"

#include <cmath>

namespace quarbel {

GroupSummary summariseGroup(std::span<const std::int64_t> ticks) {
    // The sum stays exact in ten-thousandths; 128 bits keep a long column from overflowing.
    std::int64_t n = 0;
    WideInt sum = 0;
    for (std::int64_t t : ticks) {
        if (t == ColumnList::Missing)
            continue;
        ++n;
        sum += t;
    }
    GroupSummary s{QString(), QStringLiteral("0.0000"), QString::number(n)};
    if (n == 0)
        return s;
    // The mean in ten-thousandths, rounded half away from zero in integers: exact.
    const WideInt magnitude = sum < 0 ? -sum : sum;
    const WideInt rounded = (2 * magnitude + n) / (2 * WideInt(n));
    s.mean = displayForm(Fixed4::fromTicks(std::int64_t(sum < 0 ? -rounded : rounded)));
    if (n < 2)
        return s;
    // Squares taken about the mean rather than about zero: large values with a small spread
    // would otherwise lose every digit of the variance to cancellation.
    const long double centre = (long double)sum / n;
    long double squares = 0;
    for (std::int64_t t : ticks) {
        if (t == ColumnList::Missing)
            continue;
        const long double d = (long double)t - centre;
        squares += d * d;
    }
    const long double perUnit = (long double)Fixed4::Scale * Fixed4::Scale;
    s.sd = displayForm(double(std::sqrt(squares / perUnit / (n - 1))));
    return s;
}

} // namespace quarbel
