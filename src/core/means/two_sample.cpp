#include "core/means/two_sample.h"
#include "core/entry/wide_int.h"

#include "core/entry/exact_t.h"
#include "core/entry/number_rules.h"
#include "core/entry/t_table.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/tools/roots.hpp>

#include <cmath>
#include <optional>

namespace quarbel {
namespace {

enum Item {
    P,
    VarF,
    VarP,
    Diff,
    DiffLow,
    DiffHigh,
    D,
    DLow,
    DHigh,
    WelchT,
    WelchDf,
    WelchP,
    ItemCount
};

Details layout() {
    const std::array<std::pair<const char *, const char *>, ItemCount> items{{
        {"TwoSampleP", "t检验 P="},
        {"TwoSampleVarF", "方差齐性检验 F="},
        {"TwoSampleVarP", "方差齐性检验 P="},
        {"TwoSampleDiff", "均数差(X1−X2)="},
        {"TwoSampleDiffLow", "95%CI 下限="},
        {"TwoSampleDiffHigh", "95%CI 上限="},
        {"TwoSampleD", "效应量 Cohen d="},
        {"TwoSampleDLow", "d 的95%CI 下限="},
        {"TwoSampleDHigh", "d 的95%CI 上限="},
        {"TwoSampleWelchT", "Welch 检验 t′="},
        {"TwoSampleWelchDf", "Welch 自由度 ν="},
        {"TwoSampleWelchP", "Welch 检验 P="},
    }};
    return emptyDetails(items);
}

void put(Details &d, Item item, const QString &text) {
    d.items[item].text = text;
}

constexpr double MaxTForInterval = 1000;

// The noncentrality at which a noncentral t on `df` leaves `below` of its mass under `t`.
// P(T ≤ t) falls as the noncentrality grows. The search starts from the normal approximation
// T(1 − 1/4ν) ≈ N(δ, 1 + T²/2ν), which lies close to the root, because each evaluation of the
// noncentral distribution is costly when t is large.
std::optional<double> noncentrality(double t, double df, double below) {
    namespace bm = boost::math;
    try {
        auto f = [&](double delta) {
            return bm::cdf(bm::non_central_t_distribution<double>(df, delta), t) - below;
        };
        const double spread = std::sqrt(1 + t * t / (2 * df));
        const double z = bm::quantile(bm::normal_distribution<double>(), below);
        const double guess = t * (1 - 1 / (4 * df)) - z * spread;
        double step = 0.05 * spread;
        double lo = guess - step, hi = guess + step;
        double fLo = f(lo), fHi = f(hi);
        for (int i = 0; fLo < 0 && i < 60; ++i, step *= 2) {
            hi = lo;
            fHi = fLo;
            fLo = f(lo -= step);
        }
        for (int i = 0; fHi > 0 && i < 60; ++i, step *= 2) {
            lo = hi;
            fLo = fHi;
            fHi = f(hi += step);
        }
        if (!(fLo >= 0 && fHi <= 0))
            return std::nullopt;
        // Thirty bits keep the displayed digits of d for any d below 10⁵.
        std::uintmax_t iterations = 60;
        const auto [a, b] = bm::tools::toms748_solve(
            f, lo, hi, fLo, fHi, bm::tools::eps_tolerance<double>(30), iterations);
        return (a + b) / 2;
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

// R's var.test: twice the smaller tail of F on (df1, df2).
std::optional<double> varianceRatioP(double f, double df1, double df2) {
    namespace bm = boost::math;
    try {
        const bm::fisher_f_distribution<double> dist(df1, df2);
        const double lower = bm::cdf(dist, f), upper = bm::cdf(bm::complement(dist, f));
        return std::min(1.0, 2 * std::min(lower, upper));
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

QString countNote(double n1, double n2, bool tested) {
    if (!(n1 >= 1 && n2 >= 1) || std::min(n1, n2) >= 2)
        return {};
    if (!tested)
        return QStringLiteral("例数太少：每组至少需要 2 例才能计算。");
    return QStringLiteral("第 %1 组例数不足 2 例：方差齐性检验和 Welch t′ 检验需要每组至少 2 例。")
        .arg(n1 < 2 ? 1 : 2);
}

// The counts as the boxes hold them, for the note on too few cases: NaN when unreadable.
double countOf(const QString &box) {
    const auto n = Fixed4::parse(box);
    return n ? n->toDouble() : std::nan("");
}

// The six boxes (mean, SD and count of each group) in ticks, or nothing when one is empty or
// unreadable; 128 bits so sums of extreme inputs cannot overflow.
std::optional<std::array<WideInt, 6>> boxTicks(const std::array<QString, 6> &boxes) {
    std::array<WideInt, 6> v{};
    for (const QString &box : boxes)
        if (leadingNumber(box) == 0)
            return std::nullopt;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto value = Fixed4::parse(boxes[i]);
        if (!value)
            return std::nullopt;
        v[i] = value->ticks();
    }
    return v;
}

double real(WideInt ticks) {
    return double(ticks) / Fixed4::Scale;
}

// Cohen's d on the pooled SD; its interval inverts the noncentral t of the signed t.
void putCohenD(Details &d, double diff, double se, double pooled, double df, WideInt n1,
               WideInt n2) {
    const double scale = std::sqrt(real(n1) * real(n2) / real(n1 + n2));
    if (!(pooled > 0 && scale > 0 && std::isfinite(scale)))
        return;
    put(d, D, displayForm(diff / std::sqrt(pooled)));
    const double signedT = diff / se;
    // Past |t| = 1000 one evaluation of the noncentral t takes milliseconds, too slow for a
    // keystroke; groups that far apart leave nothing for an interval of d to tell.
    std::optional<double> low, high;
    if (std::fabs(signedT) <= MaxTForInterval) {
        low = noncentrality(signedT, df, 0.975);
        high = noncentrality(signedT, df, 0.025);
    }
    if (low && high) {
        put(d, DLow, displayForm(*low / scale));
        put(d, DHigh, displayForm(*high / scale));
    }
}

// The variance ratio and Welch's t′, which each need at least two cases in both groups. Gives
// the variance ratio's P when there is one.
std::optional<double> putVarianceAndWelch(Details &d, double diff, WideInt s1, WideInt n1,
                                          WideInt s2, WideInt n2) {
    const double df1 = real(n1 - Fixed4::Scale), df2 = real(n2 - Fixed4::Scale);
    std::optional<double> varianceP;
    if (!(df1 > 0 && df2 > 0))
        return varianceP;
    const double v1 = real(s1) * real(s1), v2 = real(s2) * real(s2);
    const double f = v1 / v2;
    if (std::isfinite(f) && f > 0) {
        put(d, VarF, displayForm(f));
        varianceP = varianceRatioP(f, df1, df2);
        if (varianceP)
            put(d, VarP, pValueForm(*varianceP));
    }
    const double w1 = v1 / real(n1), w2 = v2 / real(n2);
    const double welchSe = std::sqrt(w1 + w2);
    const double welchDf = (w1 + w2) * (w1 + w2) / (w1 * w1 / df1 + w2 * w2 / df2);
    if (welchSe > 0 && std::isfinite(welchSe) && std::isfinite(welchDf) && welchDf > 0) {
        const double welchT = diff / welchSe;
        put(d, WelchT, displayForm(welchT));
        put(d, WelchDf, fixedForm(welchDf, 2));
        if (const auto wp = twoSidedP(welchT, welchDf))
            put(d, WelchP, pValueForm(*wp));
    }
    return varianceP;
}

} // namespace

Details twoSampleDetailsLayout() {
    static const Details empty = layout();
    return empty;
}

TwoSampleResult twoSampleT(const std::array<QString, 6> &boxes) {
    TwoSampleResult empty;
    empty.details.note = countNote(countOf(boxes[2]), countOf(boxes[5]), false);
    const auto ticks = boxTicks(boxes);
    if (!ticks)
        return empty;
    const auto [x1, s1, n1, x2, s2, n2] = *ticks;
    const WideInt dfTicks = n1 + n2 - 2 * Fixed4::Scale;
    if (dfTicks < Fixed4::Scale || n1 == 0 || n2 == 0)
        return empty;

    const double df = real(dfTicks);
    const double a = real(n1 - Fixed4::Scale) * real(s1) * real(s1);
    const double b = real(n2 - Fixed4::Scale) * real(s2) * real(s2);
    const double pooled = (b + a) / df;
    const double k = 1 / real(n2) + 1 / real(n1);
    const double variance = pooled * k;
    if (!(variance > 0) || !std::isfinite(variance))
        return empty;
    const double t = std::fabs(real(x1 - x2)) / std::sqrt(variance);
    if (!std::isfinite(t))
        return empty;

    const CriticalT critical = lookupCriticalT(df);
    const QString label = judgeT(t, critical);
    TwoSampleResult out{critical.p05, critical.p01, critical.p001,
                        QStringLiteral("t = ") + displayForm(t) + labels::Gap + label};

    Details &d = out.details;
    const double diff = real(x1 - x2), se = std::sqrt(variance);
    const std::optional<double> p = twoSidedP(t, df);
    if (p)
        put(d, P, pValueForm(*p));
    put(d, Diff, displayForm(diff));
    if (const auto q = tFor95(df)) {
        put(d, DiffLow, displayForm(diff - *q * se));
        put(d, DiffHigh, displayForm(diff + *q * se));
    }
    putCohenD(d, diff, se, pooled, df, n1, n2);
    const std::optional<double> varianceP = putVarianceAndWelch(d, diff, s1, n1, s2, n2);

    if (varianceP && *varianceP < 0.05)
        d.note = QStringLiteral("两组方差不齐（方差齐性检验 P < 0.05）：合并方差的 t 检验不宜报告，"
                                "请报告 Welch 校正的 t′ 检验。");
    else if (p)
        d.note = tableDisagreementNote(df, label, *p);
    if (d.note.isEmpty())
        d.note = countNote(real(n1), real(n2), true);
    return out;
}

} // namespace quarbel
