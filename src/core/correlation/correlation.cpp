#include "core/correlation/correlation.h"
#include "core/entry/wide_int.h"

#include "core/entry/exact_t.h"
#include "core/entry/number_rules.h"
#include "core/entry/t_table.h"

#include <boost/math/distributions/normal.hpp>

#include <array>
#include <cmath>
#include <optional>

namespace quarbel {
namespace {

double real(WideInt ticks) {
    return double(ticks) / Fixed4::Scale;
}

// lxx, lyy and lxy, n times over, in ticks², formed exactly from the totals: ΣX² − (ΣX)²/n in
// floating point loses every digit to cancellation when the values are large beside their
// spread (a straight line at X ≈ 10⁶ once showed r = 0.9776), and cross products rounded to
// four decimals one by one can leave |r| above 1 when the spread lies in the last decimals.
struct Spreads {
    exact::Int xx, yy, xy;
};

Spreads spreadsOf(const PairTotals &s) {
    return {exact::spread(s.n, s.sumX, s.xx.value()), exact::spread(s.n, s.sumY, s.yy.value()),
            exact::crossSpread(s.n, s.sumX, s.sumY, s.xy.value())};
}

// The same as sums about the means in units², for the formulas.
struct AboutMeans {
    double xx{0}, yy{0}, xy{0};
};

AboutMeans aboutMeans(const Spreads &spreads, std::int64_t n) {
    const long double scale = (long double)Fixed4::Scale * Fixed4::Scale * n;
    return {double(exact::toLongDouble(spreads.xx) / scale),
            double(exact::toLongDouble(spreads.yy) / scale),
            double(exact::toLongDouble(spreads.xy) / scale)};
}

enum Item {
    P,
    R2,
    RLow,
    RHigh,
    SlopeLow,
    SlopeHigh,
    InterceptLow,
    InterceptHigh,
    ResidualSd,
    ItemCount
};

Details layout() {
    const std::array<std::pair<const char *, const char *>, ItemCount> items{{
        {"CorrP", "r 检验 P="},
        {"CorrR2", "决定系数 r²="},
        {"CorrRLow", "r 的95%CI 下限="},
        {"CorrRHigh", "r 的95%CI 上限="},
        {"SlopeLow", "b 的95%CI 下限="},
        {"SlopeHigh", "b 的95%CI 上限="},
        {"InterceptLow", "a 的95%CI 下限="},
        {"InterceptHigh", "a 的95%CI 上限="},
        {"ResidualSD", "剩余标准差 s(y·x)="},
    }};
    return emptyDetails(items);
}

// The test of r against zero, the critical values and the judgement, from r as shown.
void judge(CorrelationResult &out, const AboutMeans &about, double n, bool yVaries) {
    const CriticalT critical = lookupCriticalT(n - 2);
    out.critical05 = critical.p05;
    out.critical01 = critical.p01;
    out.critical001 = critical.p001;
    if (!yVaries)
        return;
    // The test and the perfect-correlation check use r as shown, rounded to four decimals.
    out.r = displayForm(about.xy / std::sqrt(about.xx * about.yy));
    const double r = Fixed4::parse(out.r).value_or(Fixed4{}).toDouble();
    const double rest = 1 - r * r;
    std::optional<double> t;
    if (rest > 0) {
        t = std::sqrt(r * r) / std::sqrt(rest / (n - 2));
        out.t = displayForm(*t);
    }
    out.judgement = judgeT(t.value_or(0.0), critical);
    if (r == 1)
        out.judgement = QStringLiteral("完全正相关");
    else if (r == -1)
        out.judgement = QStringLiteral("完全负相关");
}

struct Line {
    double b;        // the unrounded slope
    double residual; // lyy − lxy²/lxx
    bool yVaries;    // without, the residual SD is not shown
};

// The intervals of b and a and the residual SD, from the unrounded b and a.
void lineDetails(Details &d, const PairTotals &s, const AboutMeans &about, const Line &line) {
    const double b = line.b;
    const double n = double(s.n);
    const long double meanX = (long double)s.sumX / s.n / Fixed4::Scale;
    const long double meanY = (long double)s.sumY / s.n / Fixed4::Scale;
    const double a = double(meanY - (long double)b * meanX);
    const std::optional<double> q = tFor95(n - 2);
    if (!q)
        return;
    const double sYx = std::sqrt(line.residual / (n - 2));
    const double slopeHalf = *q * sYx / std::sqrt(about.xx);
    const double interceptHalf = *q * sYx * std::sqrt(1 / n + double(meanX * meanX) / about.xx);
    d.items[SlopeLow].text = displayForm(b - slopeHalf);
    d.items[SlopeHigh].text = displayForm(b + slopeHalf);
    d.items[InterceptLow].text = displayForm(a - interceptHalf);
    d.items[InterceptHigh].text = displayForm(a + interceptHalf);
    if (line.yVaries)
        d.items[ResidualSd].text = displayForm(sYx);
}

// r², its P and its interval from the unrounded r, and the note.
void rDetails(CorrelationResult &out, double rawR, bool collinear, std::int64_t count) {
    Details &d = out.details;
    const double n = double(count);
    const double r = collinear || std::fabs(rawR) >= 1 ? std::copysign(1.0, rawR) : rawR;
    d.items[R2].text = displayForm(r * r);
    std::optional<double> p;
    if (std::fabs(r) == 1)
        p = 0.0;
    else
        p = twoSidedP(r * std::sqrt((n - 2) / (1 - r * r)), n - 2);
    if (p)
        d.items[P].text = pValueForm(*p);
    if (count >= 4) {
        // Fisher's z: atanh(r) is near normal with SD 1/√(n − 3).
        const double z = boost::math::quantile(
            boost::math::complement(boost::math::normal_distribution<double>(), 0.025));
        const double half = z / std::sqrt(n - 3);
        const double centre = std::fabs(r) == 1 ? 0.0 : std::atanh(r);
        d.items[RLow].text = displayForm(std::fabs(r) == 1 ? r : std::tanh(centre - half));
        d.items[RHigh].text = displayForm(std::fabs(r) == 1 ? r : std::tanh(centre + half));
    }
    const bool labelled = out.judgement == labels::P05 || out.judgement == labels::P01 ||
                          out.judgement == labels::P001 || out.judgement == labels::NotSignificant;
    if (p && labelled)
        d.note = tableDisagreementNote(n - 2, out.judgement, *p);
    if (d.note.isEmpty() && count == 3)
        d.note = QStringLiteral("只有 3 对数据：r 的 95% 可信区间至少需要 4 对。");
}

} // namespace

Details correlationDetailsLayout() {
    static const Details empty = layout();
    return empty;
}

CorrelationResult correlate(const PairTotals &s) {
    if (s.n <= 2) {
        CorrelationResult empty;
        if (s.n == 1 || s.n == 2)
            empty.details.note = QStringLiteral("至少需要 3 对数据才能计算相关与回归。");
        return empty;
    }
    const double n = double(s.n);
    CorrelationResult out;
    out.n = QString::number(s.n);
    const Spreads spreads = spreadsOf(s);
    // Equal values are judged exactly, on the integer spreads. All Y equal makes the slope
    // exactly 0 (lxy is then 0 too) and leaves r undefined.
    if (spreads.xx == 0)
        return out;
    const bool yVaries = spreads.yy != 0;
    const AboutMeans about = aboutMeans(spreads, s.n);
    judge(out, about, n, yVaries);

    const double b = about.xy / about.xx;
    const auto aTicks = roundHalfEven((real(s.sumY) / n - real(s.sumX) * b / n) * Fixed4::Scale);
    if (!aTicks || !std::isfinite(b))
        return out;
    out.slope = displayForm(b);
    if (!out.slope.startsWith(u'-'))
        out.slope.prepend(u'+');
    out.intercept = displayForm(Fixed4::fromTicks(*aTicks));
    out.equation = QStringLiteral("Y=") + out.intercept + out.slope + u'X';

    // Every pair on one line, judged exactly (lxy² = lxx·lyy): r formed in floating point may
    // miss ±1 by an ulp, and 1 − r² then decides P and every interval.
    const bool collinear = yVaries && spreads.xy * spreads.xy == spreads.xx * spreads.yy;
    // The residual lyy − lxy²/lxx, its numerator formed exactly.
    const double residual =
        collinear || !yVaries
            ? 0.0
            : double(exact::toLongDouble(spreads.xx * spreads.yy - spreads.xy * spreads.xy) /
                     exact::toLongDouble(spreads.xx) / s.n / Fixed4::Scale / Fixed4::Scale);
    lineDetails(out.details, s, about, {b, residual, yVaries});
    if (yVaries)
        rDetails(out, about.xy / std::sqrt(about.xx * about.yy), collinear, s.n);
    return out;
}

CorrelationResult correlate(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    return correlate(PairTotals::of(x, y));
}

} // namespace quarbel
