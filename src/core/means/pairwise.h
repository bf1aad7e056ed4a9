#pragma once

#include "core/means/anova.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace quarbel {

// The three pairs in the order of the comparison lines: 1–2, 1–3, 2–3.
inline const std::array<QString, 3> &pairPrefixes() {
    static const std::array<QString, 3> prefixes{
        QStringLiteral("第1组与第2组比较："),
        QStringLiteral("第1组与第3组比较："),
        QStringLiteral("第2组与第3组比较："),
    };
    return prefixes;
}

// A mean as an item of the mean-order list: at least nine digits before the point, four after.
QString meanOrderForm(double mean);

struct QTestResult {
    // The three means' items in ascending order of value; nullopt leaves the list as it was.
    std::optional<QStringList> meanOrder;
    // The comparison lines; all empty when the test cannot run (a box reads as 0, fewer than
    // five within-group degrees of freedom, no kept terms), one empty when its q is undefined.
    std::array<QString, 3> lines;
};

// Pairwise q test with the standard error for unequal group sizes, judged on q as shown.
QTestResult runQTest(const AnovaBoxes &boxes, std::optional<WithinTerms> terms);

struct LsdResult {
    std::array<QString, 3> lines; // empty under the same conditions as the q test's
};

// Pairwise LSD-t test with the exact two-tailed p of the t as shown.
LsdResult runLsdTest(const AnovaBoxes &boxes, std::optional<WithinTerms> terms);

// Two-tailed probability that a Student t variable with df degrees of freedom exceeds |t|;
// nullopt when t or df cannot be used.
std::optional<double> twoTailedT(double t, double df);

} // namespace quarbel
