#pragma once

#include "core/entry/running_totals.h"

#include <QString>

#include <cstdint>
#include <span>

namespace quarbel {

// The texts a three-group grid column writes into its group's mean, SD and count boxes.
struct GroupSummary {
    QString mean; // empty when the group has no value
    QString sd;   // "0.0000" when it cannot be formed (fewer than two values)
    QString n;    // a whole number: "0", "12"
};

// Summarises one group list from the exact totals of its present entries
// (ColumnList::totals()); entries that are empty or not a complete number count toward nothing.
GroupSummary summariseGroup(const ColumnTotals &totals);
// The same from the parsed entries (ColumnList::ticks()), by a fresh pass.
GroupSummary summariseGroup(std::span<const std::int64_t> ticks);

} // namespace quarbel
