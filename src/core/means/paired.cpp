#include "core/means/paired.h"
#include "core/entry/wide_int.h"

#include "core/entry/exact_t.h"
#include "core/entry/number_rules.h"
#include "core/entry/t_table.h"

#include <array>
#include <cmath>

namespace quarbel {
namespace {

enum Item { MeanDiff, MeanDiffLow, MeanDiffHigh, P, Dz, ItemCount };

Details layout() {
    const std::array<std::pair<const char *, const char *>, ItemCount> items{{
        {"PairedMeanDiff", "差值均数(d)="},
        {"PairedMeanDiffLow", "95%CI 下限="},
        {"PairedMeanDiffHigh", "95%CI 上限="},
        {"PairedP", "t检验 P="},
        {"PairedDz", "效应量 dz="},
    }};
    return emptyDetails(items);
}

} // namespace

Details pairedDetailsLayout() {
    static const Details empty = layout();
    return empty;
}

PairedResult pairedT(const PairTotals &pairs) {
    const std::int64_t n = pairs.n;
    const WideInt sum = pairs.sumX - pairs.sumY; // Σd in ticks, exact
    // Σd² = Σx² + Σy² − 2Σxy, and the spread of the differences from it, exactly: equal
    // differences give exactly 0 (a variance formed in floating point would leave a rounding
    // residue for decimal differences and turn it into an absurd t).
    const exact::Int squares = pairs.xx.value() + pairs.yy.value() - 2 * pairs.xy.value();
    const exact::Int spread = n < 2 ? exact::Int(0) : exact::spread(n, sum, squares);
    if (n < 2 || spread == 0) {
        PairedResult empty;
        if (n == 1)
            empty.details.note =
                QStringLiteral("只有 1 对数据：至少需要 2 对才能计算 t 和可信区间。");
        return empty;
    }
    const double total = double(sum) / Fixed4::Scale;
    const double mean = std::fabs(total / double(n));
    const long double perUnit = (long double)Fixed4::Scale * Fixed4::Scale;
    const double variance = double(exact::toLongDouble(spread) / perUnit / n / (n - 1));
    if (!(variance > 0) || !std::isfinite(variance))
        return {};
    const double sd = std::sqrt(variance);
    const double t = mean / (sd / std::sqrt(double(n)));

    const CriticalT critical = lookupCriticalT(double(n - 1));
    const QString label = judgeT(t, critical);
    PairedResult out{QString::number(n),
                     displayForm(mean),
                     displayForm(sd),
                     critical.p05,
                     critical.p01,
                     critical.p001,
                     QStringLiteral("t = ") + displayForm(t) + labels::Gap + label};

    Details &d = out.details;
    const double df = double(n - 1), signedMean = total / double(n);
    d.items[MeanDiff].text = displayForm(signedMean);
    if (const auto q = tFor95(df)) {
        const double half = *q * sd / std::sqrt(double(n));
        d.items[MeanDiffLow].text = displayForm(signedMean - half);
        d.items[MeanDiffHigh].text = displayForm(signedMean + half);
    }
    d.items[Dz].text = displayForm(signedMean / sd);
    if (const auto p = twoSidedP(t, df)) {
        d.items[P].text = pValueForm(*p);
        d.note = tableDisagreementNote(df, label, *p);
    }
    return out;
}

PairedResult pairedT(std::span<const std::int64_t> first, std::span<const std::int64_t> second) {
    return pairedT(PairTotals::of(first, second));
}

} // namespace quarbel
