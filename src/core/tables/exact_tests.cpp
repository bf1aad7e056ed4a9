#include "core/tables/exact_tests.h"

#include <boost/math/distributions/beta.hpp>
#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace quarbel {
namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
// Tables whose probability is within this factor of the observed one count as equally probable,
// so rounding cannot split tables that are mathematically tied.
constexpr double RelativeTolerance = 1 + 1e-7;
// Terms below this fraction of the most probable table change no displayed digit of P.
constexpr double Negligible = 1e-20;

bool whole(double x) {
    return std::isfinite(x) && x >= 0 && std::floor(x) == x;
}

} // namespace

double normal975() {
    static const double z =
        boost::math::quantile(boost::math::normal_distribution<double>(), 0.975);
    return z;
}

double chiSquare1dfP(double chiSquare) {
    if (!std::isfinite(chiSquare) || chiSquare < 0)
        return Nan;
    return boost::math::cdf(
        boost::math::complement(boost::math::chi_squared_distribution<double>(1), chiSquare));
}

double fisherExactP(double a, double b, double c, double d) {
    if (!whole(a) || !whole(b) || !whole(c) || !whole(d))
        return Nan;
    const double r1 = a + b, r2 = c + d, c1 = a + c, n = r1 + r2;
    if (n == 0 || n > FisherLimit)
        return Nan;
    // Tables with these margins are indexed by their cell a, from lo to hi; probabilities are
    // taken relative to the most probable table and stepped with the ratio of neighbours, which
    // keeps full precision where lgamma of a large total would not.
    const double lo = std::max(0.0, c1 - r2), hi = std::min(r1, c1);
    const double mode = std::clamp(std::floor((r1 + 1) * (c1 + 1) / (n + 2)), lo, hi);
    auto up = [&](double x) { return (r1 - x) * (c1 - x) / ((x + 1) * (r2 - c1 + x + 1)); };
    auto down = [&](double x) { return x * (r2 - c1 + x) / ((r1 - x + 1) * (c1 - x + 1)); };

    // The observed table's probability; a table far out in a tail leaves it at 0, so P comes
    // out as the (vanishing) sum of the tail beyond the walk.
    double observed = 1;
    for (double x = mode; x < a && observed > 0; ++x)
        observed = observed * up(x) < Negligible ? 0 : observed * up(x);
    for (double x = mode; x > a && observed > 0; --x)
        observed = observed * down(x) < Negligible ? 0 : observed * down(x);
    const double bound = observed * RelativeTolerance;

    double total = 1, extreme = 1 <= bound ? 1 : 0;
    double term = 1;
    for (double x = mode; x < hi; ++x) {
        term *= up(x);
        if (term < Negligible)
            break;
        total += term;
        if (term <= bound)
            extreme += term;
    }
    term = 1;
    for (double x = mode; x > lo; --x) {
        term *= down(x);
        if (term < Negligible)
            break;
        total += term;
        if (term <= bound)
            extreme += term;
    }
    return std::min(1.0, extreme / total);
}

static double binomialHalfPUnguarded(double k, double n) {
    if (!whole(k) || !whole(n) || n < 1 || k > n)
        return Nan;
    const boost::math::binomial_distribution<double> dist(n, 0.5);
    const double m = n / 2;
    if (k == m)
        return 1;
    const double bound = boost::math::pdf(dist, k) * RelativeTolerance;
    auto counts = [&](double i) { return boost::math::pdf(dist, i) <= bound; };
    using boost::math::cdf;
    using boost::math::complement;
    if (k < m) {
        // On the far side the probabilities fall from the middle to n: find the first that counts.
        double lo = std::ceil(m), hi = n + 1;
        while (lo < hi) {
            const double mid = std::floor((lo + hi) / 2);
            if (counts(mid))
                hi = mid;
            else
                lo = mid + 1;
        }
        const double far = lo > n ? 0 : cdf(complement(dist, lo - 1));
        return std::min(1.0, cdf(dist, k) + far);
    }
    // On the near side the probabilities rise from 0 to the middle: find the last that counts.
    double lo = -1, hi = std::floor(m);
    while (lo < hi) {
        const double mid = std::ceil((lo + hi) / 2);
        if (counts(mid))
            lo = mid;
        else
            hi = mid - 1;
    }
    const double near = lo < 0 ? 0 : cdf(dist, lo);
    return std::min(1.0, near + cdf(complement(dist, k - 1)));
}

Interval wilsonInterval(double x, double n) {
    const double z = normal975(), p = x / n, z2 = z * z;
    const double denominator = 1 + z2 / n;
    const double centre = (p + z2 / (2 * n)) / denominator;
    const double half = z * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n)) / denominator;
    return {centre - half, centre + half};
}

Interval newcombeInterval(double x1, double n1, double x2, double n2) {
    const double p1 = x1 / n1, p2 = x2 / n2, diff = p1 - p2;
    const Interval w1 = wilsonInterval(x1, n1), w2 = wilsonInterval(x2, n2);
    return {diff - std::hypot(p1 - w1.low, w2.high - p2),
            diff + std::hypot(w1.high - p1, p2 - w2.low)};
}

double binomialHalfP(double k, double n) {
    // Boost gives up (throws) on counts far beyond any study; that is an empty field, never
    // an exception out of a keystroke.
    try {
        return binomialHalfPUnguarded(k, n);
    } catch (const std::exception &) {
        return Nan;
    }
}

Interval clopperPearsonInterval(double x, double n) try {
    using boost::math::beta_distribution;
    const double low =
        x == 0 ? 0 : boost::math::quantile(beta_distribution<double>(x, n - x + 1), 0.025);
    const double high =
        x == n ? 1 : boost::math::quantile(beta_distribution<double>(x + 1, n - x), 0.975);
    return {low, high};
} catch (const std::exception &) {
    return {Nan, Nan};
}

} // namespace quarbel
