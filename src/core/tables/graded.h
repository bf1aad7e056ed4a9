#pragma once

#include "core/entry/details.h"

#include <QString>

#include <array>
#include <optional>

namespace quarbel {

// Counts of a two-group table over four ascending grades.
struct GradedTable {
    std::array<double, 4> test{};
    std::array<double, 4> control{};
};

// The eight cells as typed: the test group's four grades, then the control group's.
using GradedTexts = std::array<QString, 8>;

struct GradedResult {
    QString testTotal;                  // n1
    QString controlTotal;               // n2
    std::array<QString, 4> gradeTotals; // the fourth is empty when no subject has that grade
    QString grandTotal;                 // N
    QString rankSumZ;
    QString rankSumJudgment;
    QString riditZ;
    QString riditJudgment;
    // Exact two-sided P of both statistics and each group's mean ridit with its 95% interval.
    // The Ridit values stay where the rank-sum test alone is undefined; the note says why.
    Details details;
    friend bool operator==(const GradedResult &, const GradedResult &) = default;
};

// Wilcoxon rank-sum statistic of the smaller group, normal approximation with the tie
// correction; none when it is undefined (an empty group, N below 2, every subject in one grade).
std::optional<double> rankSumZ(const GradedTable &table);
// Ridit analysis with both groups together as the reference; none when a group is empty.
std::optional<double> riditZ(const GradedTable &table);
// Judgment of a normal statistic against 1.96 and 2.576.
QString judgeNormal(double z);

// Both analyses of the typed table: either both are shown or, when the rank-sum test fails,
// neither. A negative count, or one too large to be held exactly, shows the totals only.
GradedResult gradedAnalysis(const GradedTexts &cells);

} // namespace quarbel
