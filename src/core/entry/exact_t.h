#pragma once

#include <QString>

#include <optional>

namespace quarbel {

// Two-sided P of a t on `df` degrees of freedom (df may be fractional); nullopt when df is not
// positive or t is not finite.
std::optional<double> twoSidedP(double t, double df);

// The t that leaves 2.5% in each tail, for 95% intervals; nullopt when df is not positive.
std::optional<double> tFor95(double df);

// The one-line note when the table's judgement `label` (a significance label) says something
// other than the exact P; empty when they agree. `df` names the row the table lacked.
QString tableDisagreementNote(double df, const QString &label, double p);

} // namespace quarbel
