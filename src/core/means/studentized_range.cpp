#include "core/means/studentized_range.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/special_functions/gamma.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace quarbel {
namespace {

// Double precision throughout: promoting to long double makes each density call a hundred
// times slower, and the quadrature calls it thousands of times per keystroke. A value Boost
// cannot represent comes back as infinity or NaN, never as an exception, and is refused below.
namespace policies = boost::math::policies;
using Fast = policies::policy<
    policies::promote_double<false>, policies::domain_error<policies::ignore_error>,
    policies::pole_error<policies::ignore_error>, policies::overflow_error<policies::ignore_error>,
    policies::evaluation_error<policies::ignore_error>>;

struct Rule {
    std::vector<double> x; // nodes on [-1, 1]
    std::vector<double> w;
};

// Gauss–Legendre nodes by Newton's method on the Legendre polynomial of degree n.
Rule gaussLegendre(int n) {
    Rule r;
    for (int i = 0; i < n; ++i) {
        double x = std::cos(std::numbers::pi * (i + 0.75) / (n + 0.5));
        double derivative = 0;
        for (int iteration = 0; iteration < 100; ++iteration) {
            double p0 = 1, p1 = x;
            for (int j = 2; j <= n; ++j) {
                const double p2 = ((2 * j - 1) * x * p1 - (j - 1) * p0) / j;
                p0 = p1;
                p1 = p2;
            }
            derivative = n * (x * p1 - p0) / (x * x - 1);
            const double step = p1 / derivative;
            x -= step;
            if (std::fabs(step) < 1e-15)
                break;
        }
        r.x.push_back(x);
        r.w.push_back(2 / ((1 - x * x) * derivative * derivative));
    }
    return r;
}

double normalCdf(double z) {
    return 0.5 * std::erfc(-z / std::numbers::sqrt2);
}

// Beyond this range of standard deviations the normal density adds less than 1e-13.
constexpr double zLimit = 7.5;
// A range of 14 standard deviations among at most 100 means is certain to double precision.
constexpr double wCertain = 14;
// Beyond this the estimate's spread changes the CDF by less than 1e-10.
constexpr double infiniteNu = 1e10;
// The chi density is cut where it falls below e^-40 of its peak.
constexpr double logCut = -40;

// The fixed nodes of the integral over the normal density, with their weights and Phi(z).
struct NormalNodes {
    std::vector<double> z, weight, phi;
};

const NormalNodes &normalNodes() {
    static const NormalNodes nodes = [] {
        const Rule rule = gaussLegendre(10);
        constexpr int intervals = 8;
        const double h = 2 * zLimit / intervals;
        NormalNodes n;
        for (int m = 0; m < intervals; ++m) {
            for (std::size_t i = 0; i < rule.x.size(); ++i) {
                const double z = -zLimit + h * (m + (rule.x[i] + 1) / 2);
                n.z.push_back(z);
                n.weight.push_back(h / 2 * rule.w[i] * std::exp(-z * z / 2) /
                                   std::sqrt(2 * std::numbers::pi));
                n.phi.push_back(normalCdf(z));
            }
        }
        return n;
    }();
    return nodes;
}

const Rule &outerRule() {
    static const Rule rule = gaussLegendre(8);
    return rule;
}

// P(range of k standard normals <= w) = k ∫ φ(z) [Φ(z) − Φ(z − w)]^(k−1) dz.
double rangeCdf(double w, int k) {
    if (w <= 0)
        return 0;
    if (w >= wCertain)
        return 1;
    const NormalNodes &n = normalNodes();
    double sum = 0;
    for (std::size_t i = 0; i < n.z.size(); ++i) {
        const double lower = n.z[i] - w;
        // Φ(lower) is below 1e-16 there: skipping it saves most of the erfc calls for wide ranges.
        const double d = lower < -8.3 ? n.phi[i] : n.phi[i] - normalCdf(lower);
        double power = 1;
        for (int j = 1; j < k; ++j)
            power *= d;
        sum += n.weight[i] * power;
    }
    return std::clamp(k * sum, 0.0, 1.0);
}

// log of the density of s = sqrt(chi²_nu / nu) relative to its value at the mode.
double chiLogShape(double s, double nu, double mode) {
    return (nu - 1) * std::log1p((s - mode) / mode) - nu * (s - mode) * (s + mode) / 2;
}

// The point on the side of the mode, between `inner` (mode) and `outer`, where the shape falls
// to logCut.
double chiCut(double inner, double outer, double nu, double mode) {
    for (int i = 0; i < 80; ++i) {
        const double mid = (inner + outer) / 2;
        (chiLogShape(mid, nu, mode) < logCut ? outer : inner) = mid;
    }
    return outer;
}

// From this df on, the estimate's ratio s to the true SD lies within a few 1/√(2ν) of 1, and
// P(range ≤ q s) is smooth there: its Taylor series about s = 1, taken against the moments of
// s, gives the CDF with five range probabilities instead of a quadrature over s. The terms
// dropped (fifth order on) fall as 1/ν³; from here on they weigh less than the quadrature's
// own error, about 1e-9.
constexpr double largeNu = 2000;

double largeNuCdf(double q, int k, double nu) {
    // Moments of s − 1, s = sqrt(χ²ν / ν): E s² = 1, E s³ = E s (ν + 1) / ν, E s⁴ = (ν + 2) / ν.
    // E s − 1 is about −1/(4ν); the ratio of gammas keeps its digits where the gammas alone
    // would not.
    const double m1 = std::sqrt(2 / nu) / boost::math::tgamma_delta_ratio(nu / 2, 0.5, Fast()) - 1;
    const double m2 = -2 * m1;
    const double m3 = 1 / nu + 4 * m1 + m1 / nu;
    const double m4 = -2 / nu - 8 * m1 - 4 * m1 / nu;
    // The derivatives of g(s) = P(range ≤ q s) at s = 1 by five-point differences.
    constexpr double h = 0.01;
    const double g0 = rangeCdf(q, k);
    const double up1 = rangeCdf(q * (1 + h), k), down1 = rangeCdf(q * (1 - h), k);
    const double up2 = rangeCdf(q * (1 + 2 * h), k), down2 = rangeCdf(q * (1 - 2 * h), k);
    const double d1 = (8 * (up1 - down1) - (up2 - down2)) / (12 * h);
    const double d2 = (16 * (up1 + down1) - (up2 + down2) - 30 * g0) / (12 * h * h);
    const double d3 = ((up2 - down2) - 2 * (up1 - down1)) / (2 * h * h * h);
    const double d4 = ((up2 + down2) - 4 * (up1 + down1) + 6 * g0) / (h * h * h * h);
    return std::clamp(g0 + d1 * m1 + d2 * m2 / 2 + d3 * m3 / 6 + d4 * m4 / 24, 0.0, 1.0);
}

} // namespace

std::optional<double> studentizedRangeCdf(double q, int k, double nu) {
    if (k < 2 || k > 100 || std::isnan(q) || !(nu >= 2))
        return std::nullopt;
    if (q <= 0)
        return 0.0;
    if (std::isinf(q))
        return 1.0;
    if (std::isinf(nu) || nu > infiniteNu)
        return rangeCdf(q, k);
    if (nu >= largeNu)
        return largeNuCdf(q, k, nu);

    // P(Q <= q) = ∫ f(s) P(range <= q s) ds, f the density of the estimate's ratio s to the true
    // standard deviation. Above s = wCertain / q the range probability is 1 and the integral is
    // the chi-square tail.
    const double mode = std::sqrt((nu - 1) / nu);
    double low = chiLogShape(1e-300, nu, mode) > logCut ? 0 : chiCut(mode, 0, nu, mode);
    double high = mode + 1;
    while (chiLogShape(high, nu, mode) > logCut)
        high = mode + 2 * (high - mode);
    high = chiCut(mode, high, nu, mode);
    const double certain = wCertain / q;
    // The whole density lies where the range is certain.
    if (certain <= low)
        return 1.0;
    double tail = 0;
    if (certain < high) {
        tail = boost::math::gamma_q(nu / 2, nu * certain * certain / 2, Fast());
        high = certain;
    }
    if (!std::isfinite(tail))
        return std::nullopt;
    if (!(high > low))
        return std::clamp(tail, 0.0, 1.0);

    // Panels narrow enough for both the density (three of its standard deviations each) and the
    // range probability (two units of q s each) to be smooth on them.
    const double sd = 1 / std::sqrt(2 * nu);
    const int panels =
        std::clamp(int(std::ceil(std::max(q * (high - low) / 2, (high - low) / (3 * sd)))), 1, 400);
    const boost::math::chi_squared_distribution<double, Fast> chi(nu);
    const Rule &rule = outerRule();
    const double h = (high - low) / panels;
    double sum = 0;
    for (int m = 0; m < panels; ++m) {
        for (std::size_t i = 0; i < rule.x.size(); ++i) {
            const double s = low + h * (m + (rule.x[i] + 1) / 2);
            const double density = boost::math::pdf(chi, nu * s * s) * 2 * nu * s;
            sum += h / 2 * rule.w[i] * density * rangeCdf(q * s, k);
        }
    }
    if (!std::isfinite(sum))
        return std::nullopt;
    return std::clamp(sum + tail, 0.0, 1.0);
}

namespace {

// Root of excess(q) = 0 from a bracket [lo, hi] with excess(lo) < 0 < excess(hi), by regula falsi
// with the Illinois halving, which keeps the secant's speed without stalling on one end.
template <typename F>
std::optional<double> illinois(F excess, double lo, double flo, double hi, double fhi) {
    // The CDF is good to about 1e-10: a smaller excess (relative, on the log of a tail), or a
    // bracket narrower than 1e-9 of q, is noise, and chasing it would only cost evaluations.
    int side = 0;
    double q = hi;
    for (int i = 0; i < 60 && hi - lo > 1e-9 * hi; ++i) {
        // Far in a tail the log of the CDF's complement is infinite: halve the bracket there.
        q = std::isfinite(flo) && std::isfinite(fhi) ? (lo * fhi - hi * flo) / (fhi - flo)
                                                     : (lo + hi) / 2;
        const double f = excess(q);
        if (std::isnan(f))
            return std::nullopt;
        if (std::fabs(f) < 1e-10)
            break;
        if (f < 0) {
            lo = q;
            flo = f;
            if (side == -1)
                fhi /= 2;
            side = -1;
        } else {
            hi = q;
            fhi = f;
            if (side == 1)
                flo /= 2;
            side = 1;
        }
    }
    return q;
}

// Widens [lo, hi] until it holds the root, by steps that start at its width and double, so
// a guess near the root costs few evaluations and a poor one still ends in a few; the lower end
// stays above zero. False when it cannot.
template <typename F> bool bracket(F excess, double &lo, double &flo, double &hi, double &fhi) {
    double step = hi - lo;
    for (int i = 0; i < 60 && flo > 0; ++i) {
        hi = lo;
        fhi = flo;
        lo = std::max(lo - step, lo / 2);
        step *= 2;
        flo = excess(lo);
    }
    for (int i = 0; i < 60 && fhi < 0; ++i) {
        lo = hi;
        flo = fhi;
        hi += step;
        step *= 2;
        fhi = excess(hi);
    }
    return flo <= 0 && fhi >= 0 && !std::isnan(flo) && !std::isnan(fhi);
}

// The quantile for infinite df, which the finite-df search starts from. The panels ask for the
// same p and k on every keystroke, so the last one is remembered.
std::optional<double> limitQuantile(double p, int k) {
    thread_local double lastP = NAN;
    thread_local int lastK = 0;
    thread_local std::optional<double> lastQ;
    if (p == lastP && k == lastK)
        return lastQ;
    auto excess = [&](double q) { return rangeCdf(q, k) - p; };
    double lo = 1, flo = excess(lo), hi = 4, fhi = excess(hi);
    lastQ = bracket(excess, lo, flo, hi, fhi) ? illinois(excess, lo, flo, hi, fhi) : std::nullopt;
    lastP = p;
    lastK = k;
    return lastQ;
}

} // namespace

std::optional<double> studentizedRangeQuantile(double p, int k, double nu) {
    if (!(p > 0 && p < 1) || k < 2 || k > 100 || !(nu >= 2))
        return std::nullopt;
    const auto limit = limitQuantile(p, k);
    if (!limit || std::isinf(nu) || nu > infiniteNu)
        return limit;

    // The upper quantiles of a few means sit near q∞ (1 + 1.5 / (ν − 1)): a bracket a tenth of
    // that correction wide on either side holds the root for every df, and on the log of the
    // nearer tail the CDF is close to a straight line in q, so the secant lands within two or
    // three evaluations. Where the guess is off, the bracket widens until it holds.
    auto excess = [&](double q) {
        const double cdf = studentizedRangeCdf(q, k, nu).value_or(NAN);
        return p > 0.5 ? std::log1p(-p) - std::log1p(-cdf) : std::log(cdf) - std::log(p);
    };
    const double guess = *limit * (1 + 1.5 / (nu - 1));
    const double halfWidth = std::max((guess - *limit) / 10, 1e-6 * guess);
    double lo = guess - halfWidth, flo = excess(lo);
    double hi = guess + halfWidth, fhi = excess(hi);
    if (!bracket(excess, lo, flo, hi, fhi))
        return std::nullopt;
    return illinois(excess, lo, flo, hi, fhi);
}

} // namespace quarbel
