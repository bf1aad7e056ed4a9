#pragma once

#include <optional>

namespace quarbel {

// The studentized range: the range of k independent normal means divided by an independent
// estimate of their standard error on nu degrees of freedom (nu may be infinite).
// P(Q <= q); nullopt for k outside 2..100, nu below 2 or not a number, q not a number.
std::optional<double> studentizedRangeCdf(double q, int k, double nu);

// The q with P(Q <= q) = p, for 0 < p < 1; nullopt otherwise and where the CDF is.
std::optional<double> studentizedRangeQuantile(double p, int k, double nu);

} // namespace quarbel
