#include "core/correlation/correlation.h"
#include "core/entry/wide_int.h"

#include "core/entry/column_list.h"
#include "core/entry/exact_t.h"
#include "core/entry/number_rules.h"
#include "core/entry/t_table.h"

#include <boost/math/distributions/normal.hpp>

#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace quarbel {
namespace {

// Ticks of a product of two tick counts, rounded to ten-thousandths, ties to even.
template <class Int> Int roundedQuotient(Int product) {
    Int q = product / Fixed4::Scale;
    const Int r = product % Fixed4::Scale;
    const Int twice = 2 * (r < 0 ? -r : r);
    if (twice > Fixed4::Scale || (twice == Fixed4::Scale && q % 2 != 0))
        q += product < 0 ? -1 : 1;
    return q;
}

// Most products fit 64 bits, where the division is several times cheaper.
WideInt scaledProduct(WideInt product) {
    const WideInt low = std::numeric_limits<std::int64_t>::min();
    const WideInt high = std::numeric_limits<std::int64_t>::max();
    if (product >= low && product <= high)
        return roundedQuotient(std::int64_t(product));
    return roundedQuotient(product);
}

double real(WideInt ticks) {
    return double(ticks) / Fixed4::Scale;
}

struct Sums {
    std::int64_t n{0};
    WideInt x{0}, y{0}, xy{0}; // ticks
    bool xVaries{false}, yVaries{false};
    bool overflow{false};
};

Sums sumPairs(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    Sums s;
    std::int64_t firstX = 0, firstY = 0;
    const std::size_t rows = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < rows; ++i) {
        const std::int64_t xi = x[i], yi = y[i];
        if (xi == ColumnList::Missing || yi == ColumnList::Missing)
            continue;
        if (s.n == 0) {
            firstX = xi;
            firstY = yi;
        }
        s.xVaries |= xi != firstX;
        s.yVaries |= yi != firstY;
        ++s.n;
        s.x += xi;
        s.y += yi;
        // A product of two 64-bit tick counts fits 128 bits; only the running sum can overflow.
        s.overflow |= addOverflows(s.xy, scaledProduct(WideInt(xi) * yi));
    }
    return s;
}

// lxx, lyy and lxy as sums about the means. ΣX² − (ΣX)²/n in double loses every digit to
// cancellation when the values are large beside their spread (a straight line at X ≈ 10⁶
// showed r = 0.9776), and cross products rounded to four decimals one by one can leave
// |r| above 1 when the spread lies in the last decimals.
struct AboutMeans {
    double xx{0}, yy{0}, xy{0};
};

AboutMeans sumsAboutMeans(std::span<const std::int64_t> x, std::span<const std::int64_t> y,
                          const Sums &s) {
    const long double cx = (long double)s.x / s.n, cy = (long double)s.y / s.n;
    long double xx = 0, yy = 0, xy = 0;
    const std::size_t rows = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < rows; ++i) {
        if (x[i] == ColumnList::Missing || y[i] == ColumnList::Missing)
            continue;
        const long double dx = x[i] - cx, dy = y[i] - cy;
        xx += dx * dx;
        yy += dy * dy;
        xy += dx * dy;
    }
    const long double perUnit = (long double)Fixed4::Scale * Fixed4::Scale;
    return {double(xx / perUnit), double(yy / perUnit), double(xy / perUnit)};
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
    Details d;
    for (const auto &[name, caption] : items)
        d.items.append({QString::fromLatin1(name), QString::fromUtf8(caption), QString()});
    return d;
}

// Whether every pair lies exactly on one line, judged on the ticks themselves: r computed in
// floating point may miss ±1 by an ulp, and 1 − r² then decides P and every interval.
bool exactlyCollinear(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    const std::size_t rows = std::min(x.size(), y.size());
    bool haveFirst = false, haveSecond = false;
    WideInt x0 = 0, y0 = 0, dx = 0, dy = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        if (x[i] == ColumnList::Missing || y[i] == ColumnList::Missing)
            continue;
        if (!haveFirst) {
            x0 = x[i];
            y0 = y[i];
            haveFirst = true;
            continue;
        }
        if (!haveSecond) {
            if (x[i] == x0)
                return false; // a vertical pair: X varies elsewhere, so not one line
            dx = x[i] - x0;
            dy = y[i] - y0;
            haveSecond = true;
            continue;
        }
        WideInt left = 0, right = 0;
        if (mulOverflows<WideInt>(WideInt(y[i]) - y0, dx, &left) ||
            mulOverflows<WideInt>(dy, WideInt(x[i]) - x0, &right) || left != right)
            return false;
    }
    return haveSecond;
}

} // namespace

Details correlationDetailsLayout() {
    static const Details empty = layout();
    return empty;
}

CorrelationResult correlate(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    const Sums s = sumPairs(x, y);
    WideInt productOfSums = 0;
    if (s.n <= 2 || s.overflow || mulOverflows(s.x, s.y, &productOfSums)) {
        CorrelationResult empty;
        if (s.n == 1 || s.n == 2)
            empty.details.note = QStringLiteral("至少需要 3 对数据才能计算相关与回归。");
        return empty;
    }
    const double n = double(s.n);
    CorrelationResult out;
    out.n = QString::number(s.n);
    const AboutMeans about = sumsAboutMeans(x, y, s);
    const double lxx = about.xx, lyy = about.yy;
    // Equal values are judged exactly; the sums of squares may leave a rounding residue.
    if (!s.xVaries || !(lxx > 0))
        return out;
    // All Y equal: the slope is exactly 0 and r is undefined.
    const bool yVaries = s.yVaries && lyy > 0;
    const double lxy = s.yVaries ? about.xy : 0.0;

    const CriticalT critical = lookupCriticalT(n - 2);
    out.critical05 = critical.p05;
    out.critical01 = critical.p01;
    out.critical001 = critical.p001;

    if (yVaries) {
        // The test and the perfect-correlation check use r as shown, rounded to four decimals.
        out.r = displayForm(lxy / std::sqrt(lxx * lyy));
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

    const double b = lxy / lxx;
    const auto aTicks = roundHalfEven((real(s.y) / n - real(s.x) * b / n) * Fixed4::Scale);
    if (!aTicks || !std::isfinite(b))
        return out;
    out.slope = displayForm(b);
    if (!out.slope.startsWith(u'-'))
        out.slope.prepend(u'+');
    out.intercept = displayForm(Fixed4::fromTicks(*aTicks));
    out.equation = QStringLiteral("Y=") + out.intercept + out.slope + u'X';

    // The details work from the unrounded r, b and a.
    Details &d = out.details;
    const long double meanX = (long double)s.x / s.n / Fixed4::Scale;
    const long double meanY = (long double)s.y / s.n / Fixed4::Scale;
    const double a = double(meanY - (long double)b * meanX);
    const bool exact = yVaries && exactlyCollinear(x, y);
    const double residual = exact || !yVaries ? 0.0 : std::max(0.0, lyy - lxy * lxy / lxx);
    const std::optional<double> q = tFor95(n - 2);
    if (q) {
        const double sYx = std::sqrt(residual / (n - 2));
        const double slopeHalf = *q * sYx / std::sqrt(lxx);
        const double interceptHalf = *q * sYx * std::sqrt(1 / n + double(meanX * meanX) / lxx);
        d.items[SlopeLow].text = displayForm(b - slopeHalf);
        d.items[SlopeHigh].text = displayForm(b + slopeHalf);
        d.items[InterceptLow].text = displayForm(a - interceptHalf);
        d.items[InterceptHigh].text = displayForm(a + interceptHalf);
        if (yVaries)
            d.items[ResidualSd].text = displayForm(sYx);
    }
    if (!yVaries)
        return out;

    const double rawR = lxy / std::sqrt(lxx * lyy);
    const double r = exact || std::fabs(rawR) >= 1 ? std::copysign(1.0, rawR) : rawR;
    d.items[R2].text = displayForm(r * r);
    std::optional<double> p;
    if (std::fabs(r) == 1)
        p = 0.0;
    else
        p = twoSidedP(r * std::sqrt((n - 2) / (1 - r * r)), n - 2);
    if (p)
        d.items[P].text = pValueForm(*p);
    if (s.n >= 4) {
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
    if (d.note.isEmpty() && s.n == 3)
        d.note = QStringLiteral("只有 3 对数据：r 的 95% 可信区间至少需要 4 对。");
    return out;
}

} // namespace quarbel
