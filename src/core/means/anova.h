#pragma once

#include "core/entry/details.h"
#include "core/entry/f_q_tables.h"

#include <QString>

#include <array>
#include <optional>

namespace quarbel {

// The nine analysis-of-variance boxes as typed: X1, S1, N1, X2, S2, N2, X3, S3, N3.
using AnovaBoxes = std::array<QString, 9>;

// What a complete analysis of variance leaves behind for the pairwise comparisons.
struct WithinTerms {
    double ssWithin{0};
    double dfWithin{0};
    friend bool operator==(const WithinTerms &, const WithinTerms &) = default;
};

// True when any box reads as 0 (empty, not a number, or zero): nothing can be tested then.
bool anyBoxZero(const AnovaBoxes &boxes);

struct AnovaResult {
    // "F = 7.9167  p < 0.01". Empty when the boxes hold a zero or F cannot be formed; the
    // comparison lines are emptied with it, otherwise the q test follows.
    QString fResult;
    // The critical values for df_within; nullopt leaves the labels as they were.
    std::optional<FCritical> critical;
    // nullopt leaves the kept terms as they were (a box reads as 0).
    std::optional<WithinTerms> terms;
    // The exact P, the effect size, Bartlett's and Welch's tests and Tukey's intervals. Every
    // item is always there, empty wherever F is, so a run on empty boxes lays out the box.
    Details details;
    friend bool operator==(const AnovaResult &, const AnovaResult &) = default;
};

// One-way analysis of variance of three groups from their summary statistics. Without
// `withDetails` the details stay the empty layout: they cost a quadrature, and a caller that
// writes several boxes in a row needs them only for the last state.
AnovaResult runAnova(const AnovaBoxes &boxes, bool withDetails = true);

} // namespace quarbel
