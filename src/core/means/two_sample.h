#pragma once

#include "core/entry/details.h"

#include <QString>

#include <array>

namespace quarbel {

// The "详细结果" items of the two-sample t-test, every text empty.
Details twoSampleDetailsLayout();

// Every text the two-sample t-test shows; all empty when a box is missing or invalid.
struct TwoSampleResult {
    QString critical05;
    QString critical01;
    QString critical001;
    QString result; // "t = 2.2361  p < 0.05"
    // Exact P, the difference and Cohen's d with their 95% intervals, the variance-ratio test
    // and Welch's t′; empty where the result is, and where their own inputs fall short.
    Details details{twoSampleDetailsLayout()};
    friend bool operator==(const TwoSampleResult &, const TwoSampleResult &) = default;
};

// Pooled-variance t-test from the six summary boxes X1, S1, N1, X2, S2, N2. Any box reading as
// zero (empty, a non-number, a mean of 0) or not a whole number text leaves everything empty,
// and so does a df = N1 + N2 - 2 below 1, which the t table has no row for.
TwoSampleResult twoSampleT(const std::array<QString, 6> &boxes);

} // namespace quarbel
