#pragma once

namespace quarbel {

// Lower and upper bound of a 95% confidence interval.
struct Interval {
    double low{};
    double high{};
    friend bool operator==(const Interval &, const Interval &) = default;
};

// Upper 2.5% point of the standard normal distribution (1.959964…).
double normal975();

// Upper-tail probability of a chi-square statistic with one degree of freedom.
double chiSquare1dfP(double chiSquare);

// Two-sided P of Fisher's exact test of the 2×2 table a b / c d (whole counts): the summed
// probability of every table with the same margins that is no more probable than the observed
// one, tables within a relative 1e-7 of it counting as equally probable. NaN when a count is
// negative or the total exceeds FisherLimit (the walk would take too long).
inline constexpr double FisherLimit = 1e10;
double fisherExactP(double a, double b, double c, double d);

// Two-sided exact binomial P of k successes in n trials at probability ½, with the same rule
// for the tables that count as no more probable. NaN for k or n outside 0 ≤ k ≤ n, n ≥ 1.
double binomialHalfP(double k, double n);

// Wilson score interval of the proportion x/n (n > 0).
Interval wilsonInterval(double x, double n);

// Newcombe's hybrid score interval of p1 − p2 = x1/n1 − x2/n2, built from the two Wilson
// intervals (his method 10).
Interval newcombeInterval(double x1, double n1, double x2, double n2);

// Clopper–Pearson interval of the proportion x/n, whole x out of whole n > 0.
Interval clopperPearsonInterval(double x, double n);

} // namespace quarbel
