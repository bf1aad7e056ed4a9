#include "core/means/paired.h"
#include "core/entry/wide_int.h"

#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/entry/t_table.h"

#include <cmath>

namespace quarbel {

PairedResult pairedT(std::span<const std::int64_t> first, std::span<const std::int64_t> second) {
    std::int64_t n = 0;
    WideInt sum = 0; // ticks, exact
    WideInt firstDifference = 0;
    bool allEqual = true;
    const std::size_t rows = std::min(first.size(), second.size());
    for (std::size_t i = 0; i < rows; ++i) {
        if (first[i] == ColumnList::Missing || second[i] == ColumnList::Missing)
            continue;
        const WideInt d = WideInt(first[i]) - second[i];
        if (n == 0)
            firstDifference = d;
        else if (d != firstDifference)
            allEqual = false;
        ++n;
        sum += d;
    }
    // Equal differences are judged exactly: the variance formula would leave a rounding
    // residue for decimal differences and turn it into an absurd t.
    if (n < 2 || allEqual)
        return {};
    const double total = double(sum) / Fixed4::Scale;
    const double mean = std::fabs(total / double(n));
    // Squares about the mean difference: Σd² − (Σd)²/n in double loses every digit to
    // cancellation when the differences are large beside their spread.
    const long double centre = (long double)sum / n;
    long double squares = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        if (first[i] == ColumnList::Missing || second[i] == ColumnList::Missing)
            continue;
        const long double d = (long double)(WideInt(first[i]) - second[i]) - centre;
        squares += d * d;
    }
    const long double perUnit = (long double)Fixed4::Scale * Fixed4::Scale;
    const double variance = double(squares / perUnit / (n - 1));
    if (!(variance > 0) || !std::isfinite(variance))
        return {};
    const double sd = std::sqrt(variance);
    const double t = mean / (sd / std::sqrt(double(n)));

    const CriticalT critical = lookupCriticalT(double(n - 1));
    return {QString::number(n),
            displayForm(mean),
            displayForm(sd),
            critical.p05,
            critical.p01,
            critical.p001,
            QStringLiteral("t = ") + displayForm(t) + labels::Gap + judgeT(t, critical)};
}

} // namespace quarbel
