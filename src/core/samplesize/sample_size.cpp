#include "core/samplesize/sample_size.h"

#include "core/entry/number_rules.h"
#include "core/entry/quiet_policy.h"

#include <boost/math/distributions/non_central_f.hpp>
#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/gamma.hpp>

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace quarbel {
namespace {

namespace bm = boost::math;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double MaxShown = 1e9;
// Beyond 2⁵³ a double no longer holds every whole number, so a search for a whole n ends there.
constexpr double MaxWhole = 9007199254740992.0;

QString tr(const char *text) {
    return QCoreApplication::translate("SampleSize", text);
}

double zQuantile(double upper) {
    return bm::quantile(bm::complement(bm::normal_distribution<double, Quiet>(), upper));
}

double phi(double z) {
    return bm::cdf(bm::normal_distribution<double, Quiet>(), z);
}

// z₁₋α of the test: the interval of the one-rate design is always two-sided.
double zAlpha(const SizeParameters &s) {
    const bool two = s.twoSided || !hasSides(s.design);
    return zQuantile(two ? s.alpha / 2 : s.alpha);
}

double secondGroup(const SizeParameters &s, double n1) {
    return twoGroups(s.design) ? std::max(leastSampleSize(s.design), ceilWhole(s.ratio * n1)) : n1;
}

// P(T′ > c) = ∫ φ(z) P(χ²_ν ≤ ν (z + ncp)² / c²) dz, for a large ncp (the lower tail, below
// Φ(−ncp), is nil there): Boost's series grows with ncp and gives up near 10⁵, while this
// integral over the normal's range costs the same whatever ncp. Split where the integrand rises.
double tUpperByQuadrature(double ncp, double df, double crit) {
    constexpr double Reach = 38; // φ beyond ±38 is below the least double
    const double root2pi = std::sqrt(2 * std::numbers::pi);
    auto f = [&](double z) {
        const double u = (z + ncp) / crit;
        return std::exp(-z * z / 2) / root2pi * bm::gamma_p(df / 2, df * u * u / 2, Quiet());
    };
    using Rule = bm::quadrature::gauss_kronrod<double, 31>;
    const double split = std::clamp(crit - ncp, -Reach, Reach);
    double sum = 0;
    if (split > -Reach)
        sum += Rule::integrate(f, -Reach, split, 15, 1e-14);
    if (split < Reach)
        sum += Rule::integrate(f, split, Reach, 15, 1e-14);
    return sum;
}

// Both tails of the noncentral t beyond the critical values, as power.t.test(strict = TRUE).
double tPower(double ncp, double df, double alpha, bool twoSided) {
    if (!(df > 0) || std::isnan(ncp))
        return NaN;
    try {
        const bm::students_t_distribution<double, Quiet> central(df);
        const double crit = bm::quantile(bm::complement(central, twoSided ? alpha / 2 : alpha));
        if (!std::isfinite(crit))
            return NaN;
        // P(T′ ≤ c) ≤ Φ(−ncp/2) + P(χ²_ν/ν ≥ (ncp/2c)²), below 10⁻²³ once ncp ≥ 20·max(c, 1)
        // for any ν ≥ 1: the power is 1 in a double, and the series would take long to say so.
        if (ncp >= 20 * std::max(crit, 1.0))
            return 1.0;
        if (ncp > 1000) {
            const double power = tUpperByQuadrature(ncp, df, crit);
            return std::isfinite(power) ? std::clamp(power, 0.0, 1.0) : NaN;
        }
        const bm::non_central_t_distribution<double, Quiet> shifted(df, ncp);
        const double upper = bm::cdf(bm::complement(shifted, crit));
        const double lower = twoSided ? bm::cdf(shifted, -crit) : 0.0;
        const double power = upper + lower;
        return std::isfinite(power) ? std::clamp(power, 0.0, 1.0) : NaN;
    } catch (const std::exception &) {
        return NaN;
    }
}

// The F test's power, as pwr.anova.test: λ = k·n·f², ν1 = k − 1, ν2 = k(n − 1).
double fPower(int k, double n, double f, double alpha) {
    const double df1 = k - 1, df2 = k * (n - 1), lambda = k * n * f * f;
    if (!(df2 > 0) || std::isnan(lambda))
        return NaN;
    try {
        // F's upper quantile through the beta function, as fisher_f does, where its own
        // quantile leaves a value unset on the ignore_error path.
        double y = NaN;
        const double x = bm::ibetac_inv(df1 / 2, df2 / 2, alpha, &y, Quiet());
        const double crit = df2 * x / (df1 * y);
        if (!std::isfinite(crit))
            return NaN;
        // P(F′ ≤ c) ≤ P(χ′² ≤ λ/2) + P(c·ν1·χ²_ν2/ν2 ≥ λ/2): the first is below Φ(−0.29√λ),
        // the second below x·e^(1−x), x = λ/(2c·ν1), for ν2 ≥ 2. Both are nil in a double here.
        if (lambda >= 17000 && lambda >= 200 * crit * df1)
            return 1.0;
        const bm::non_central_f_distribution<double, Quiet> shifted(df1, df2, lambda);
        const double power = bm::cdf(bm::complement(shifted, crit));
        return std::isfinite(power) ? std::clamp(power, 0.0, 1.0) : NaN;
    } catch (const std::exception &) {
        return NaN;
    }
}

// (p1 − p2)² n1 = [z₁₋α √((1 + 1/r) p̄ q̄) + z₁₋β √(p1 q1 + p2 q2 / r)]², Fleiss.
struct RatesTerms {
    double pooled, separate, diff;
};
RatesTerms ratesTerms(const SizeParameters &s, double r) {
    const double pbar = (s.p1 + r * s.p2) / (1 + r);
    return {std::sqrt((1 + 1 / r) * pbar * (1 - pbar)),
            std::sqrt(s.p1 * (1 - s.p1) + s.p2 * (1 - s.p2) / r), std::fabs(s.p1 - s.p2)};
}

double logHr(const SizeParameters &s) {
    return std::fabs(std::log(s.hr));
}

double fisherC(double rho) {
    return 0.5 * std::log((1 + rho) / (1 - rho));
}

// The formulas of the normal designs, unrounded; a root that is not positive (a target power
// the test has at no effect) needs no subjects, so the least n applies.
double squaredRoot(double root) {
    return root > 0 ? root * root : 0.0;
}

double ratesN1(const SizeParameters &s, double zb) {
    const RatesTerms t = ratesTerms(s, s.ratio);
    return squaredRoot(zAlpha(s) * t.pooled + zb * t.separate) / (t.diff * t.diff);
}

// Fleiss, Tytun and Ury: n1/4 · [1 + √(1 + a/n1)]², a = 2(r + 1)/(r |p1 − p2|), written so that
// n1 = 0 gives its limit a/4.
double continuityCorrected(const SizeParameters &s, double n1) {
    const double a = 2 * (s.ratio + 1) / (s.ratio * std::fabs(s.p1 - s.p2));
    const double root = std::sqrt(n1) + std::sqrt(n1 + a);
    return root * root / 4;
}

double pairedRatesN(const SizeParameters &s, double zb) {
    const double psi = s.p10 + s.p01, d = s.p10 - s.p01;
    return squaredRoot(zAlpha(s) * std::sqrt(psi) + zb * std::sqrt(psi - d * d)) / (d * d);
}

double correlationN(const SizeParameters &s, double zb) {
    const double c = fisherC(s.rho);
    return squaredRoot(zAlpha(s) + zb) / (c * c) + 3;
}

double schoenfeldEvents(const SizeParameters &s, double zb) {
    const double l = logHr(s);
    return ceilWhole(squaredRoot(zAlpha(s) + zb) * (1 + s.ratio) * (1 + s.ratio) /
                     (s.ratio * l * l));
}

double oneRateN(const SizeParameters &s) {
    const double z = zQuantile(s.alpha / 2);
    return z * z * s.p * (1 - s.p) / (s.halfWidth * s.halfWidth);
}

// ---------------------------------------------------------------------------------------------
// The least whole n whose power reaches the target

struct Search {
    enum State { Found, Beyond, Failed } state;
    double n;
};

// Starts at a guess (the normal approximation, a few units off), widens the bracket with
// doubling steps and bisects it on whole numbers. Power rises with n.
template <typename Power>
Search leastWhole(const Power &power, double target, double least, double cap, double guess) {
    const double start = std::isnan(guess) ? least : std::clamp(std::ceil(guess), least, cap);
    double p = power(start);
    if (std::isnan(p))
        return {Search::Failed, 0};
    double lo = start, hi = start; // power(lo) < target ≤ power(hi), once both are known
    if (p >= target) {
        for (double step = 1;; step *= 2) {
            if (hi <= least)
                return {Search::Found, least};
            const double c = std::max(least, hi - step);
            p = power(c);
            if (std::isnan(p))
                return {Search::Failed, 0};
            if (p < target) {
                lo = c;
                break;
            }
            hi = c;
        }
    } else {
        for (double step = 1;; step *= 2) {
            if (lo >= cap)
                return {Search::Beyond, cap};
            const double c = std::min(cap, lo + step);
            p = power(c);
            if (std::isnan(p))
                return {Search::Failed, 0};
            if (p >= target) {
                hi = c;
                break;
            }
            lo = c;
        }
    }
    while (hi - lo > 1) {
        const double mid = std::floor(lo + (hi - lo) / 2);
        p = power(mid);
        if (std::isnan(p))
            return {Search::Failed, 0};
        (p >= target ? hi : lo) = mid;
    }
    return {Search::Found, hi};
}

// ---------------------------------------------------------------------------------------------
// Reading the boxes

class Reader {
  public:
    // The number a box holds, exactly as typed (not rounded to four decimals: an α or a rare
    // proportion may have more). Nothing for an empty box, and a note for one that is not a
    // number.
    std::optional<double> number(const QString &text, const QString &name) {
        const QString t = text.trimmed();
        if (t.isEmpty()) {
            m_missing = true;
            return std::nullopt;
        }
        const std::optional<Fixed4> fixed = Fixed4::parse(t);
        if (!fixed) {
            reject(Fixed4::outOfRange(t) ? tr("%1 超出可计算的范围").arg(name)
                                         : tr("%1 不是有效的数字").arg(name));
            return std::nullopt;
        }
        bool ok = false;
        const double v = t.toDouble(&ok);
        return ok && std::isfinite(v) ? v : fixed->toDouble();
    }
    void reject(const QString &why) { m_notes << why; }
    bool usable() const { return !m_missing && m_notes.isEmpty(); }
    QString note() const { return m_notes.join(QStringLiteral("；")); }

  private:
    bool m_missing{false};
    QStringList m_notes;
};

bool within(double v, double low, double high) {
    return v > low && v < high;
}

// Each input the design uses, checked against its range; `s` holds the accepted values.
void readDesignInputs(const SampleSizeInput &in, Reader &r, SizeParameters &s) {
    switch (s.design) {
    case SizeDesign::TwoMeans:
    case SizeDesign::PairedMeans: {
        const QString name =
            s.design == SizeDesign::TwoMeans ? tr("均数之差 δ") : tr("差值的均数 δ");
        if (const auto v = r.number(in.delta, name)) {
            s.delta = std::fabs(*v);
            if (s.delta == 0)
                r.reject(tr("%1 不能为 0").arg(name));
        }
        if (const auto v = r.number(in.sd, tr("标准差 σ"))) {
            s.sd = *v;
            if (!(s.sd > 0))
                r.reject(tr("标准差 σ 应大于 0"));
        }
        break;
    }
    case SizeDesign::TwoRates: {
        const auto a = r.number(in.p1, QStringLiteral("p1"));
        const auto b = r.number(in.p2, QStringLiteral("p2"));
        if (a && !within(*a, 0, 1))
            r.reject(tr("p1 应大于 0 且小于 1"));
        if (b && !within(*b, 0, 1))
            r.reject(tr("p2 应大于 0 且小于 1"));
        if (a && b && *a == *b)
            r.reject(tr("p1 与 p2 不能相等"));
        s.p1 = a.value_or(0);
        s.p2 = b.value_or(0);
        break;
    }
    case SizeDesign::PairedRates: {
        const auto a = r.number(in.p10, QStringLiteral("p10"));
        const auto b = r.number(in.p01, QStringLiteral("p01"));
        if (a && !within(*a, 0, 1))
            r.reject(tr("p10 应大于 0 且小于 1"));
        if (b && !within(*b, 0, 1))
            r.reject(tr("p01 应大于 0 且小于 1"));
        if (a && b && *a == *b)
            r.reject(tr("p10 与 p01 不能相等"));
        else if (a && b && *a + *b > 1)
            r.reject(tr("p10 + p01 不能大于 1"));
        s.p10 = a.value_or(0);
        s.p01 = b.value_or(0);
        break;
    }
    case SizeDesign::Anova: {
        if (const auto v = r.number(in.groups, tr("组数 k"))) {
            if (*v >= 2 && *v <= 10 && *v == std::floor(*v))
                s.groups = int(*v);
            else
                r.reject(tr("组数 k 应为 2 到 10 的整数"));
        }
        if (const auto v = r.number(in.effectF, tr("效应量 f"))) {
            s.effectF = *v;
            if (!(s.effectF > 0))
                r.reject(tr("效应量 f 应大于 0"));
        }
        break;
    }
    case SizeDesign::Correlation:
        if (const auto v = r.number(in.rho, tr("相关系数 ρ"))) {
            s.rho = std::fabs(*v);
            if (!within(s.rho, 0, 1))
                r.reject(tr("相关系数 ρ 不能为 0，其绝对值应小于 1"));
        }
        break;
    case SizeDesign::LogRank:
        if (const auto v = r.number(in.hr, tr("风险比 HR"))) {
            s.hr = *v;
            if (!(s.hr > 0) || s.hr == 1)
                r.reject(tr("风险比 HR 应大于 0 且不等于 1"));
        }
        if (const auto v = r.number(in.eventProb, tr("发生事件的比例"))) {
            s.eventProb = *v;
            if (!(s.eventProb > 0 && s.eventProb <= 1))
                r.reject(tr("发生事件的比例应大于 0 且不超过 1"));
        }
        break;
    case SizeDesign::OneRate:
        if (const auto v = r.number(in.p, tr("预期率 p"))) {
            s.p = *v;
            if (!within(s.p, 0, 1))
                r.reject(tr("预期率 p 应大于 0 且小于 1"));
        }
        if (const auto v = r.number(in.halfWidth, tr("可信区间半宽"))) {
            s.halfWidth = *v;
            if (!within(s.halfWidth, 0, 0.5))
                r.reject(tr("可信区间半宽应大于 0 且小于 0.5"));
        }
        break;
    }
}

void readSharedInputs(const SampleSizeInput &in, Reader &r, SizeParameters &s) {
    if (const auto v = r.number(in.alpha, tr("检验水准 α"))) {
        s.alpha = *v;
        if (!within(s.alpha, 0, 0.5))
            r.reject(tr("检验水准 α 应大于 0 且小于 0.5"));
    }
    s.twoSided = !hasSides(s.design) || in.sides != 1;
    s.solveForPower = hasPower(s.design) && in.solve == 1;
    if (hasPower(s.design) && !s.solveForPower) {
        if (const auto v = r.number(in.power, tr("检验效能"))) {
            s.power = *v;
            if (!within(s.power, 0, 1))
                r.reject(tr("检验效能应大于 0 且小于 1"));
        }
    }
    if (twoGroups(s.design)) {
        if (const auto v = r.number(in.ratio, tr("样本量之比 n2/n1"))) {
            s.ratio = *v;
            if (!(s.ratio > 0))
                r.reject(tr("样本量之比 n2/n1 应大于 0"));
        }
    }
    if (const auto v = r.number(in.dropout, tr("脱落率"))) {
        s.dropout = *v / 100;
        if (!(*v >= 0 && *v < 100))
            r.reject(tr("脱落率应不小于 0 且小于 100（%）"));
    }
    if (s.solveForPower) {
        if (const auto v = r.number(in.nInput, tr("样本量 n"))) {
            const double least = leastSampleSize(s.design);
            s.n1 = *v;
            if (!(*v >= least && *v == std::floor(*v)))
                r.reject(tr("样本量 n 应为不小于 %1 的整数").arg(least));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The n the results show

// Where the t-tests' search starts: n = (t₁₋α + t₁₋β)² (1 + 1/r) / (δ/σ)² with t on the df of
// the n before, a few rounds from the normal's n. Within a unit or two of the answer even for
// a handful of subjects, where the normal's n is far off and each step costs most.
double tGuess(const SizeParameters &s, double cap) {
    const double es = s.delta / s.sd;
    const double spread = s.design == SizeDesign::TwoMeans ? 1 + 1 / s.ratio : 1;
    const double tail = s.twoSided ? s.alpha / 2 : s.alpha;
    double n = leastSampleSize(s.design);
    double df = 0;
    for (int round = 0; round < 4; ++round) {
        double ta = zQuantile(tail), tb = zQuantile(1 - s.power);
        if (round > 0) {
            const bm::students_t_distribution<double, Quiet> t(df);
            ta = bm::quantile(bm::complement(t, tail));
            tb = bm::quantile(bm::complement(t, 1 - s.power));
        }
        const double next = squaredRoot(ta + tb) * spread / (es * es);
        if (!std::isfinite(next))
            return std::isnan(next) ? n : cap;
        n = std::clamp(std::ceil(next), leastSampleSize(s.design), cap);
        df = s.design == SizeDesign::TwoMeans ? n + secondGroup(s, n) - 2 : n - 1;
    }
    return n;
}

// n1 (and the log-rank design's events) for the target power; false with a note when the
// search cannot tell.
bool solveN(SizeParameters &s, QString &note) {
    const double least = leastSampleSize(s.design);
    const double zb = zQuantile(1 - s.power);
    auto found = [&](const Search &r, double beyond) {
        if (r.state == Search::Failed) {
            note = tr("无法准确计算检验效能");
            return false;
        }
        s.n1 = r.state == Search::Found ? r.n : beyond;
        return true;
    };
    auto power = [&s](double n) { return powerAtSize(s, n); };
    switch (s.design) {
    case SizeDesign::TwoMeans: {
        // n2 follows n1, so the search goes on past 10⁹ until n2 too is beyond it.
        const double cap = std::clamp(MaxShown / std::min(s.ratio, 1.0), MaxShown, MaxWhole);
        const Search r = leastWhole(power, s.power, least, cap, tGuess(s, cap));
        if (r.state == Search::Beyond && s.ratio * cap < MaxShown) {
            note = tr("样本量超出可计算的范围");
            return false;
        }
        return found(r, std::numeric_limits<double>::infinity());
    }
    case SizeDesign::PairedMeans:
        return found(leastWhole(power, s.power, least, MaxShown, tGuess(s, MaxShown)),
                     std::numeric_limits<double>::infinity());
    case SizeDesign::Anova: {
        // The noncentral χ² needs λ ≈ (z₁₋α + z₁₋β)² + ν1 − 1 to reach the power, roughly.
        const double z = zAlpha(s) + zb;
        const double lambda = z * z + s.groups - 2;
        return found(leastWhole(power, s.power, least, MaxShown,
                                lambda / (s.groups * s.effectF * s.effectF)),
                     std::numeric_limits<double>::infinity());
    }
    case SizeDesign::TwoRates:
        s.n1 = ratesN1(s, zb);
        break;
    case SizeDesign::PairedRates:
        s.n1 = pairedRatesN(s, zb);
        break;
    case SizeDesign::Correlation:
        s.n1 = correlationN(s, zb);
        break;
    case SizeDesign::LogRank:
        s.events = schoenfeldEvents(s, zb);
        s.n1 = s.events / (s.eventProb * (1 + s.ratio));
        break;
    case SizeDesign::OneRate:
        s.n1 = oneRateN(s);
        break;
    }
    if (std::isnan(s.n1)) {
        note = tr("无法准确计算样本量");
        return false;
    }
    s.n1 = std::max(least, ceilWhole(s.n1));
    return true;
}

QString nText(double n) {
    if (std::isnan(n))
        return {};
    if (n > MaxShown)
        return QStringLiteral("> 10⁹");
    return QString::number(qint64(n));
}

void fillTexts(SampleSizeResult &r, const SizeParameters &s, double unroundedN1) {
    const bool two = twoGroups(s.design);
    const double k = s.design == SizeDesign::Anova ? s.groups : 1;
    const double total = two ? s.n1 + s.n2 : k * s.n1;
    r.n1 = nText(s.n1);
    r.n2 = two ? nText(s.n2) : QString();
    r.total = nText(total);
    const double d1 = ceilWhole(s.n1 / (1 - s.dropout));
    const double d2 = ceilWhole(s.n2 / (1 - s.dropout));
    r.n1Dropout = nText(d1);
    r.n2Dropout = two ? nText(d2) : QString();
    r.totalDropout = nText(two ? d1 + d2 : k * d1);
    if (!s.solveForPower) {
        if (s.design == SizeDesign::LogRank)
            r.events = nText(s.events);
        if (s.design == SizeDesign::TwoRates) {
            const double cc =
                std::max(leastSampleSize(s.design), ceilWhole(continuityCorrected(s, unroundedN1)));
            r.n1Cc = nText(cc);
            r.n2Cc = nText(std::max(leastSampleSize(s.design), ceilWhole(s.ratio * cc)));
        }
    }
    if (!hasPower(s.design))
        return;
    const bool tooMany = s.n1 > MaxShown || (two && s.n2 > MaxShown) || total > MaxShown;
    const double power = powerAtSize(s, s.n1);
    if (s.solveForPower)
        r.powerOut = displayForm(power);
    if (!tooMany)
        r.achievedPower = displayForm(power);
    if (tooMany)
        r.note = tr("样本量超过 10⁹，不给出所达到的检验效能");
    else if (std::isnan(power))
        r.note = tr("无法准确计算检验效能");
}

} // namespace

double ceilWhole(double x) {
    const double whole = std::round(x);
    return std::fabs(x - whole) <= 1e-9 ? whole : std::ceil(x);
}

double leastSampleSize(SizeDesign design) {
    return design == SizeDesign::Correlation ? 4 : 2;
}

double powerAtSize(const SizeParameters &s, double n1) {
    if (!hasPower(s.design) || !(n1 >= leastSampleSize(s.design)))
        return NaN;
    const double n2 = secondGroup(s, n1);
    const double za = zAlpha(s);
    switch (s.design) {
    case SizeDesign::TwoMeans:
        return tPower(s.delta / (s.sd * std::sqrt(1 / n1 + 1 / n2)), n1 + n2 - 2, s.alpha,
                      s.twoSided);
    case SizeDesign::PairedMeans:
        return tPower(s.delta * std::sqrt(n1) / s.sd, n1 - 1, s.alpha, s.twoSided);
    case SizeDesign::Anova:
        return fPower(s.groups, n1, s.effectF, s.alpha);
    case SizeDesign::TwoRates: {
        const RatesTerms t = ratesTerms(s, n2 / n1);
        return phi((t.diff * std::sqrt(n1) - za * t.pooled) / t.separate);
    }
    case SizeDesign::PairedRates: {
        const double psi = s.p10 + s.p01, d = s.p10 - s.p01;
        return phi((std::fabs(d) * std::sqrt(n1) - za * std::sqrt(psi)) / std::sqrt(psi - d * d));
    }
    case SizeDesign::Correlation:
        return phi(fisherC(s.rho) * std::sqrt(n1 - 3) - za);
    case SizeDesign::LogRank: {
        const double e = s.eventProb * (n1 + n2);
        return phi(logHr(s) * std::sqrt(e * n1 * n2) / (n1 + n2) - za);
    }
    case SizeDesign::OneRate:
        break;
    }
    return NaN;
}

SampleSizeResult computeSampleSize(const SampleSizeInput &input) {
    SampleSizeResult result;
    if (input.design < 0 || input.design >= SizeDesignCount)
        return result;
    SizeParameters s;
    s.design = SizeDesign(input.design);
    Reader reader;
    readDesignInputs(input, reader, s);
    readSharedInputs(input, reader, s);
    if (!reader.usable()) {
        result.note = reader.note();
        return result;
    }
    if (!s.solveForPower && !solveN(s, result.note))
        return result;
    // The continuity correction starts from the unrounded n1 of Fleiss' formula.
    const double unrounded = s.design == SizeDesign::TwoRates && !s.solveForPower
                                 ? ratesN1(s, zQuantile(1 - s.power))
                                 : NaN;
    s.n2 = secondGroup(s, s.n1);
    fillTexts(result, s, unrounded);
    result.parameters = s;
    return result;
}

} // namespace quarbel
