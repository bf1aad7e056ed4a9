#pragma once

#include "core/entry/details.h"
#include "core/entry/running_totals.h"

#include <QString>

#include <cstdint>
#include <span>

namespace quarbel {

// The "详细结果" items of correlation and regression, every text empty.
Details correlationDetailsLayout();

// Every text the correlation and regression panel shows. With fewer than three pairs all are
// empty. All X equal: only n. All Y equal: n, the critical values and the equation (slope 0).
struct CorrelationResult {
    QString n;
    QString r;
    QString t;
    QString critical05;
    QString critical01;
    QString critical001;
    QString judgement; // a significance label, "完全正相关" or "完全负相关"
    QString equation;  // "Y=1.2000+0.5000X"
    QString slope;     // b with its sign always written: "+0.5000", "-1.2500"
    QString intercept; // a
    // Exact P, r's interval, r², the intervals of b and a and the residual SD, from the
    // unrounded r, b and a. All X equal: empty. All Y equal: only the intervals of b and a.
    Details details{correlationDetailsLayout()};
    friend bool operator==(const CorrelationResult &, const CorrelationResult &) = default;
};

// Pearson r of Y (second) on X (first), its t against zero at n - 2 df and the least-squares
// line. Entry i of both columns is pair i (parsed ticks, ColumnList::Missing where empty or
// not a complete number); a pair counts only when both values are present. A fresh pass.
CorrelationResult correlate(std::span<const std::int64_t> x, std::span<const std::int64_t> y);
// The same from the exact totals of the complete pairs (ListPair::totals()).
CorrelationResult correlate(const PairTotals &pairs);

} // namespace quarbel
