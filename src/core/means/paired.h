#pragma once

#include "core/entry/details.h"
#include "core/entry/running_totals.h"

#include <QString>

#include <cstdint>
#include <span>

namespace quarbel {

// The "详细结果" items of the paired t-test, every text empty.
Details pairedDetailsLayout();

// Every text the paired t-test shows; all empty with fewer than two pairs or when every
// difference is the same.
struct PairedResult {
    QString n;
    QString meanDifference; // absolute value
    QString sdDifference;
    QString critical05;
    QString critical01;
    QString critical001;
    QString result; // "t = 4.7001  p < 0.05"
    // Exact P, the signed mean difference (first column minus second) with its 95% interval,
    // and dz; empty where the result is.
    Details details{pairedDetailsLayout()};
    friend bool operator==(const PairedResult &, const PairedResult &) = default;
};

// From the exact totals of the complete pairs (ListPair::totals()), x the first column.
PairedResult pairedT(const PairTotals &pairs);
// Entry i of both columns (parsed ticks, ColumnList::Missing where empty or not a complete
// number) is pair i; a pair counts only when both values are present. A fresh pass.
PairedResult pairedT(std::span<const std::int64_t> first, std::span<const std::int64_t> second);

} // namespace quarbel
