#include "core/survival/survival.h"

#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/entry/quiet_policy.h"

#include <boost/math/distributions/chi_squared.hpp>

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

namespace quarbel {
namespace {

constexpr double Z975 = 1.959963984540054; // qnorm(0.975)
// R's tolerance for "the curve sits at 0.5" and for times that are one time (aeqSurv).
const double RootEps = std::sqrt(std::numeric_limits<double>::epsilon());
constexpr std::size_t MaxGroups = SurvivalMaxGroups;

QString tr(const char *text) {
    return QCoreApplication::translate("Survival", text);
}

double seconds(std::int64_t ticks) {
    return double(ticks) / Fixed4::Scale;
}

// Reading the rows

enum class Cell { Empty, Number, Junk };

Cell cellOf(std::span<const std::int64_t> ticks, std::span<const QString> texts, std::size_t i,
            std::int64_t &value) {
    value = i < ticks.size() ? ticks[i] : ColumnList::Missing;
    if (value != ColumnList::Missing)
        return Cell::Number;
    if (i >= texts.size() || QStringView(texts[i]).trimmed().isEmpty())
        return Cell::Empty;
    return Cell::Junk;
}

struct Tally {
    std::int64_t badTimeOutcome{0};
    std::int64_t badGroup{0};
    std::int64_t withGroup{0};
    std::int64_t withoutGroup{0};
    std::vector<std::int64_t> codes; // sorted, at most MaxGroups + 1
    std::int64_t minTime{std::numeric_limits<std::int64_t>::max()};
    std::int64_t maxTime{0};
};

// What a row is: skipped (all empty), left out, or used with its time, outcome and group.
struct RowRead {
    bool blank{true};
    bool usable{false};
    bool hasGroup{false};
    bool junkGroup{false};
    std::int64_t time{0}, group{0};
    bool event{false};
};

RowRead readRow(const SurvivalColumns &c, std::size_t i) {
    RowRead r;
    std::int64_t outcome = 0;
    const Cell t = cellOf(c.time, c.timeText, i, r.time);
    const Cell o = cellOf(c.outcome, c.outcomeText, i, outcome);
    const Cell g = cellOf(c.group, c.groupText, i, r.group);
    r.blank = t == Cell::Empty && o == Cell::Empty && g == Cell::Empty;
    r.usable = t == Cell::Number && r.time >= 0 && o == Cell::Number &&
               (outcome == 0 || outcome == Fixed4::Scale);
    r.event = outcome == Fixed4::Scale;
    r.hasGroup = g == Cell::Number;
    r.junkGroup = g == Cell::Junk;
    return r;
}

void noteCode(std::vector<std::int64_t> &codes, std::int64_t code) {
    const auto at = std::lower_bound(codes.begin(), codes.end(), code);
    if ((at == codes.end() || *at != code) && codes.size() <= MaxGroups)
        codes.insert(at, code);
}

Tally tallyRows(const SurvivalColumns &c, std::size_t rows) {
    Tally tally;
    std::int64_t lastCode = ColumnList::Missing;
    for (std::size_t i = 0; i < rows; ++i) {
        const RowRead r = readRow(c, i);
        if (r.blank)
            continue;
        if (!r.usable) {
            ++tally.badTimeOutcome;
        } else if (r.junkGroup) {
            ++tally.badGroup;
        } else {
            tally.minTime = std::min(tally.minTime, r.time);
            tally.maxTime = std::max(tally.maxTime, r.time);
            if (!r.hasGroup) {
                ++tally.withoutGroup;
            } else {
                ++tally.withGroup;
                if (r.group != lastCode)
                    noteCode(tally.codes, r.group);
                lastCode = r.group;
            }
        }
    }
    return tally;
}

// One sort of the used rows by time

// LSD radix sort, eight bits a pass, over the bytes that vary only: times of a few decimals
// take three passes.
void radixSort(std::vector<std::uint64_t> &keys) {
    std::uint64_t all = 0;
    for (std::uint64_t k : keys)
        all |= k;
    const int bytes = (std::bit_width(all) + 7) / 8;
    const auto scratch = std::make_unique_for_overwrite<std::uint64_t[]>(keys.size());
    std::uint64_t *from = keys.data(), *to = scratch.get();
    for (int b = 0; b < bytes; ++b) {
        std::array<std::size_t, 257> count{};
        const int shift = 8 * b;
        for (std::size_t i = 0; i < keys.size(); ++i)
            ++count[((from[i] >> shift) & 0xff) + 1];
        if (count[((from[0] >> shift) & 0xff) + 1] == keys.size())
            continue;
        for (std::size_t j = 1; j < count.size(); ++j)
            count[j] += count[j - 1];
        for (std::size_t i = 0; i < keys.size(); ++i)
            to[count[(from[i] >> shift) & 0xff]++] = from[i];
        std::swap(from, to);
    }
    if (from != keys.data())
        std::copy(from, from + keys.size(), keys.data());
}

// The used rows in time order as keys time << 4 | group index << 1 | event, the time counted
// from the earliest one; or, when the times span more than 2⁵⁹ ticks, its rank among the
// distinct times, which `distinct` holds.
struct SortedRows {
    std::vector<std::uint64_t> keys;
    std::int64_t base{0};
    std::vector<std::int64_t> distinct;
    std::int64_t time(std::uint64_t key) const {
        return distinct.empty() ? base + std::int64_t(key >> 4) : distinct[key >> 4];
    }
    static std::size_t group(std::uint64_t key) { return (key >> 1) & 7; }
    static bool event(std::uint64_t key) { return key & 1; }
};

SortedRows sortedRows(const SurvivalColumns &c, std::size_t rows, const Tally &tally, bool grouped,
                      std::int64_t used) {
    SortedRows out;
    out.base = tally.minTime;
    const bool packs =
        std::uint64_t(tally.maxTime) - std::uint64_t(tally.minTime) < (std::uint64_t(1) << 59);
    std::vector<std::int64_t> times;
    out.keys.reserve(std::size_t(used));
    for (std::size_t i = 0; i < rows; ++i) {
        const RowRead r = readRow(c, i);
        if (r.blank || !r.usable || r.junkGroup || r.hasGroup != grouped)
            continue;
        const std::uint64_t g =
            grouped
                ? std::uint64_t(std::lower_bound(tally.codes.begin(), tally.codes.end(), r.group) -
                                tally.codes.begin())
                : 0;
        const std::uint64_t tag = g << 1 | (r.event ? 1u : 0u);
        if (packs) {
            out.keys.push_back(std::uint64_t(r.time - tally.minTime) << 4 | tag);
        } else {
            out.keys.push_back(tag);
            times.push_back(r.time);
        }
    }
    if (out.keys.empty())
        return out;
    if (!packs) {
        out.distinct = times;
        std::sort(out.distinct.begin(), out.distinct.end());
        out.distinct.erase(std::unique(out.distinct.begin(), out.distinct.end()),
                           out.distinct.end());
        for (std::size_t i = 0; i < times.size(); ++i)
            out.keys[i] |=
                std::uint64_t(std::lower_bound(out.distinct.begin(), out.distinct.end(), times[i]) -
                              out.distinct.begin())
                << 4;
    }
    radixSort(out.keys);
    return out;
}

// Distinct times per group

// One group's rows at one time: the unit every later pass walks.
struct TimeCell {
    std::int64_t time; // ticks, after merging times R treats as one
    std::int64_t rows;
    std::int64_t events;
    std::size_t group;
};

// R's survival functions first merge times that differ by less than √ε, absolutely or beside
// the mean of the distinct times (aeqSurv): at 10⁴ and above, 0.0001 apart is one time there.
std::vector<TimeCell> cellsOf(const SortedRows &sorted) {
    const std::vector<std::uint64_t> &keys = sorted.keys;
    long double sum = 0;
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (i == 0 || keys[i] >> 4 != keys[i - 1] >> 4) {
            sum += seconds(sorted.time(keys[i]));
            ++distinct;
        }
    const double mean = distinct ? double(sum / distinct) : 0.0;

    std::vector<TimeCell> cells;
    std::array<std::int64_t, MaxGroups> rows{}, events{};
    std::int64_t cut = 0;
    auto flush = [&] {
        for (std::size_t g = 0; g < MaxGroups; ++g)
            if (rows[g] > 0)
                cells.push_back({cut, rows[g], events[g], g});
        rows.fill(0);
        events.fill(0);
    };
    std::int64_t previous = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::int64_t time = sorted.time(keys[i]);
        if (i == 0) {
            cut = time;
        } else if (time != previous) {
            const double dy = seconds(time) - seconds(previous);
            if (!(dy <= RootEps || dy / mean <= RootEps)) {
                flush();
                cut = time;
            }
        }
        previous = time;
        ++rows[SortedRows::group(keys[i])];
        events[SortedRows::group(keys[i])] += SortedRows::event(keys[i]);
    }
    flush();
    return cells;
}

// Kaplan–Meier

struct Curve {
    std::size_t first{0}, last{0}; // the group's rows of the life table: [first, last)
    std::int64_t n{0}, events{0};
};

void interval(LifeTableRow &row, double logSe) {
    if (row.survival > 0) {
        row.low = std::exp(std::log(row.survival) - Z975 * logSe);
        row.high = std::min(1.0, std::exp(std::log(row.survival) + Z975 * logSe));
    } else {
        row.low = row.high = NAN;
    }
}

// The life table, group by group, each in time order.
std::vector<Curve> kaplanMeier(const std::vector<TimeCell> &cells, std::size_t groups,
                               std::vector<LifeTableRow> &table) {
    std::vector<Curve> curves(groups);
    std::vector<std::size_t> distinct(groups, 0);
    for (const TimeCell &c : cells) {
        curves[c.group].n += c.rows;
        curves[c.group].events += c.events;
        ++distinct[c.group];
    }
    std::size_t offset = 0;
    for (std::size_t g = 0; g < groups; ++g) {
        curves[g].first = curves[g].last = offset;
        offset += distinct[g];
    }
    table.assign(offset, LifeTableRow{});
    std::vector<std::int64_t> atRisk(groups);
    std::vector<double> survival(groups, 1.0), greenwood(groups, 0.0);
    for (std::size_t g = 0; g < groups; ++g)
        atRisk[g] = curves[g].n;
    for (const TimeCell &c : cells) {
        const std::size_t g = c.group;
        const double n = double(atRisk[g]), d = double(c.events);
        if (d > 0) {
            survival[g] *= 1 - d / n;
            greenwood[g] += n > d ? d / (n * (n - d)) : INFINITY;
        }
        LifeTableRow &row = table[curves[g].last++];
        row.group = int(g);
        row.time = c.time;
        row.atRisk = atRisk[g];
        row.events = c.events;
        row.censored = c.rows - c.events;
        row.survival = survival[g];
        const double logSe = std::sqrt(greenwood[g]);
        row.se = row.survival > 0 ? row.survival * logSe : NAN;
        interval(row, logSe);
        atRisk[g] -= c.rows;
    }
    return curves;
}

// The median of summary.survfit's table from one curve (S, or a bound of it): the first time
// it is at or below 0.5; where it sits exactly at 0.5 there and drops later, the midpoint
// between that time and the drop. nullopt: not reached.
template <class Value>
std::optional<double> medianOf(const std::vector<LifeTableRow> &table, const Curve &curve,
                               Value value) {
    std::size_t first = curve.last;
    for (std::size_t i = curve.first; i < curve.last; ++i) {
        const double y = value(table[i]);
        if (!std::isnan(y) && y < 0.5 + RootEps) {
            first = i;
            break;
        }
    }
    if (first == curve.last)
        return std::nullopt;
    const double y1 = value(table[first]);
    const double t1 = seconds(table[first].time);
    if (std::fabs(y1 - 0.5) < RootEps)
        for (std::size_t i = first + 1; i < curve.last; ++i)
            if (value(table[i]) < y1)
                return (t1 + seconds(table[i].time)) / 2;
    return t1;
}

QString medianText(const std::optional<double> &m) {
    return m ? displayForm(*m) : tr("未达到");
}

// S(t*) and its interval as summary(fit, times = t*) gives it: the last row at or before t*;
// before the first row the curve is 1 with no spread; beyond the group's last time, nothing.
void putRate(SurvivalGroupTexts &out, const std::vector<LifeTableRow> &table, const Curve &curve,
             std::int64_t rateTicks) {
    if (curve.first == curve.last || rateTicks > table[curve.last - 1].time)
        return;
    const auto begin = table.begin() + std::ptrdiff_t(curve.first);
    const auto end = table.begin() + std::ptrdiff_t(curve.last);
    const auto after = std::upper_bound(
        begin, end, rateTicks, [](std::int64_t t, const LifeTableRow &r) { return t < r.time; });
    if (after == begin) {
        out.rate = out.rateLow = out.rateHigh = displayForm(1.0);
        return;
    }
    const LifeTableRow &row = *(after - 1);
    out.rate = displayForm(row.survival);
    out.rateLow = displayForm(row.low);
    out.rateHigh = displayForm(row.high);
}

// Small symmetric systems, as R's cholesky2 and chsolve2 do them

struct Matrix {
    std::size_t n{0};
    std::array<double, MaxGroups * MaxGroups> a{};
    double &operator()(std::size_t i, std::size_t j) { return a[i * MaxGroups + j]; }
    double operator()(std::size_t i, std::size_t j) const { return a[i * MaxGroups + j]; }
};
using Vector = std::array<double, MaxGroups>;

// LDLᵀ in place; a pivot below toler × the largest diagonal is set to 0. The rank.
std::size_t cholesky(Matrix &m, double toler) {
    double eps = 0;
    for (std::size_t i = 0; i < m.n; ++i) {
        eps = std::max(eps, m(i, i));
        for (std::size_t j = i + 1; j < m.n; ++j)
            m(j, i) = m(i, j);
    }
    eps = eps == 0 ? toler : eps * toler;
    std::size_t rank = 0;
    for (std::size_t i = 0; i < m.n; ++i) {
        const double pivot = m(i, i);
        if (!std::isfinite(pivot) || pivot < eps) {
            m(i, i) = 0;
            continue;
        }
        ++rank;
        for (std::size_t j = i + 1; j < m.n; ++j) {
            const double t = m(j, i) / pivot;
            m(j, i) = t;
            m(j, j) -= t * t * pivot;
            for (std::size_t k = j + 1; k < m.n; ++k)
                m(k, j) -= t * m(k, i);
        }
    }
    return rank;
}

void solve(const Matrix &m, Vector &y) {
    for (std::size_t i = 0; i < m.n; ++i)
        for (std::size_t j = 0; j < i; ++j)
            y[i] -= y[j] * m(i, j);
    for (std::size_t i = m.n; i-- > 0;) {
        if (m(i, i) == 0) {
            y[i] = 0;
            continue;
        }
        y[i] /= m(i, i);
        for (std::size_t j = i + 1; j < m.n; ++j)
            y[i] -= y[j] * m(j, i);
    }
}

// Log-rank

struct LogRank {
    std::vector<double> observed, expected;
    double chi2{NAN};
    double df{NAN};
    bool zeroVariance{false}; // two groups or more at risk at the events, yet no spread
};

// survdiff with rho = 0: O − E and the full variance matrix over the pooled distinct times;
// groups never at risk at an event (E = 0) drop out of the test as they do in R.
LogRank logRank(const std::vector<TimeCell> &cells, const std::vector<Curve> &curves) {
    const std::size_t k = curves.size();
    LogRank out;
    out.observed.assign(k, 0.0);
    out.expected.assign(k, 0.0);
    Matrix v;
    v.n = k;
    std::array<double, MaxGroups> atRisk{}, deaths{};
    double total = 0;
    for (std::size_t g = 0; g < k; ++g) {
        atRisk[g] = double(curves[g].n);
        total += atRisk[g];
    }
    for (std::size_t i = 0; i < cells.size();) {
        std::size_t j = i;
        double d = 0, leaving = 0;
        deaths.fill(0);
        for (; j < cells.size() && cells[j].time == cells[i].time; ++j) {
            deaths[cells[j].group] += double(cells[j].events);
            d += double(cells[j].events);
        }
        if (d > 0) {
            for (std::size_t g = 0; g < k; ++g) {
                out.observed[g] += deaths[g];
                out.expected[g] += d * atRisk[g] / total;
            }
            if (total > 1) {
                const double c = d * (total - d) / (total - 1);
                for (std::size_t a = 0; a < k; ++a) {
                    const double t = c * atRisk[a] / total;
                    v(a, a) += t;
                    for (std::size_t b = 0; b < k; ++b)
                        v(a, b) -= t * atRisk[b] / total;
                }
            }
        }
        for (std::size_t m = i; m < j; ++m) {
            atRisk[cells[m].group] -= double(cells[m].rows);
            leaving += double(cells[m].rows);
        }
        total -= leaving;
        i = j;
    }
    std::array<std::size_t, MaxGroups> kept{};
    std::size_t nKept = 0;
    for (std::size_t g = 0; g < k; ++g)
        if (out.expected[g] > 0)
            kept[nKept++] = g;
    if (nKept < 2)
        return out; // R's χ² of 0 on no degrees of freedom tests nothing
    Matrix vv;
    vv.n = nKept - 1;
    Vector diff{}, x{};
    for (std::size_t a = 1; a < nKept; ++a) {
        diff[a - 1] = out.observed[kept[a]] - out.expected[kept[a]];
        for (std::size_t b = 1; b < nKept; ++b)
            vv(a - 1, b - 1) = v(kept[a], kept[b]);
    }
    x = diff;
    // R's solve() refuses a singular matrix; a zero variance tests nothing either.
    if (cholesky(vv, 1e-12) < vv.n) {
        out.zeroVariance = true;
        return out;
    }
    solve(vv, x);
    double chi2 = 0;
    for (std::size_t a = 0; a < vv.n; ++a)
        chi2 += x[a] * diff[a];
    out.chi2 = std::max(0.0, chi2);
    out.df = double(nKept - 1);
    return out;
}

// Cox model, Efron ties

// The groups with a coefficient: column j of the model is group members[j].
struct CoxModel {
    std::array<std::size_t, MaxGroups> members{};
    std::size_t p{0};
    std::array<int, MaxGroups> column{}; // group → column, −1 for the reference, −2 left out
};

struct CoxState {
    double loglik{0};
    Vector u{};
    Matrix imat;
};

// Log partial likelihood, score and information at beta, over the cells from the last time
// back: the risk sets are reverse cumulative counts per group, each group's weight exp(βg).
CoxState coxEval(const std::vector<TimeCell> &cells, const CoxModel &m, const Vector &beta) {
    CoxState s;
    s.imat.n = m.p;
    std::array<double, MaxGroups> w{}, risk{}, deaths{};
    w.fill(1.0);
    for (std::size_t j = 0; j < m.p; ++j)
        w[j] = std::exp(beta[j]);
    double riskRef = 0;
    for (std::size_t end = cells.size(); end > 0;) {
        std::size_t start = end;
        double dRef = 0, dAll = 0;
        deaths.fill(0);
        while (start > 0 && cells[start - 1].time == cells[end - 1].time) {
            const TimeCell &c = cells[--start];
            const int col = m.column[c.group];
            if (col == -2)
                continue;
            const double rows = double(c.rows), ev = double(c.events);
            if (col == -1) {
                riskRef += rows;
                dRef += ev;
            } else {
                risk[std::size_t(col)] += rows;
                deaths[std::size_t(col)] += ev;
                s.loglik += ev * beta[std::size_t(col)];
                s.u[std::size_t(col)] += ev;
            }
            dAll += ev;
        }
        end = start;
        if (dAll == 0)
            continue;
        double s0 = riskRef, d0 = dRef;
        std::array<double, MaxGroups> s1{}, d1{};
        for (std::size_t j = 0; j < m.p; ++j) {
            s1[j] = risk[j] * w[j];
            d1[j] = deaths[j] * w[j];
            s0 += s1[j];
            d0 += d1[j];
        }
        // Efron's r-th of d tied deaths leaves the survivors' weight e = S1 − D1 and the share
        // g = 1 − r/d of the dying: a = (e + g·D1)/denom. Summing the powers of g/denom over r
        // first keeps a block of 10⁶ ties one scalar loop, and every term stays positive.
        const auto ties = std::int64_t(dAll);
        double inv = 0, gInv = 0, inv2 = 0, gInv2 = 0, g2Inv2 = 0;
        for (std::int64_t r = 0; r < ties; ++r) {
            const double g = 1 - double(r) / dAll;
            const double denom = (s0 - d0) + g * d0;
            s.loglik -= std::log(denom);
            const double i1 = 1 / denom, i2 = i1 * i1;
            inv += i1;
            gInv += g * i1;
            inv2 += i2;
            gInv2 += g * i2;
            g2Inv2 += g * g * i2;
        }
        std::array<double, MaxGroups> e{};
        for (std::size_t j = 0; j < m.p; ++j) {
            e[j] = s1[j] - d1[j];
            const double sumA = e[j] * inv + d1[j] * gInv;
            s.u[j] -= sumA;
            s.imat(j, j) += sumA;
        }
        for (std::size_t j = 0; j < m.p; ++j)
            for (std::size_t k = 0; k < m.p; ++k)
                s.imat(j, k) -= e[j] * e[k] * inv2 + (e[j] * d1[k] + d1[j] * e[k]) * gInv2 +
                                d1[j] * d1[k] * g2Inv2;
    }
    return s;
}

struct CoxFit {
    enum class Outcome { Fitted, NotConverged, Singular } outcome{Outcome::NotConverged};
    Vector beta{}, se{};
    std::array<bool, MaxGroups> infinite{};
};

// Newton–Raphson as coxph's fitter: from 0, halving the step while the log-likelihood falls,
// done when it changes by less than 1e-9 relatively, at most 20 iterations.
CoxFit coxFit(const std::vector<TimeCell> &cells, const CoxModel &m) {
    constexpr double Eps = 1e-9;
    constexpr int MaxIter = 20;
    const double tolerChol = std::pow(std::numeric_limits<double>::epsilon(), 0.75);
    const double tolerInf = std::sqrt(Eps);
    CoxFit fit;
    Vector beta{}, newBeta{};
    CoxState s = coxEval(cells, m, beta);
    double loglik = s.loglik;
    cholesky(s.imat, tolerChol);
    Vector step = s.u;
    solve(s.imat, step);
    for (std::size_t j = 0; j < m.p; ++j)
        newBeta[j] = beta[j] + step[j];
    bool halving = false;
    for (int iter = 1; iter <= MaxIter; ++iter) {
        s = coxEval(cells, m, newBeta);
        const std::size_t rank = cholesky(s.imat, tolerChol);
        if (std::fabs(1 - loglik / s.loglik) <= Eps && !halving) {
            if (rank < m.p || !std::isfinite(s.loglik)) {
                fit.outcome = CoxFit::Outcome::Singular;
                return fit;
            }
            fit.outcome = CoxFit::Outcome::Fitted;
            fit.beta = newBeta;
            // The inverse column by column; coxph flags a coefficient whose remaining step
            // u·I⁻¹ is large beside it: the likelihood still climbs towards infinity there.
            for (std::size_t j = 0; j < m.p; ++j) {
                Vector e{};
                e[j] = 1;
                solve(s.imat, e);
                fit.se[j] = std::sqrt(e[j]);
                double drift = 0;
                for (std::size_t k = 0; k < m.p; ++k)
                    drift += s.u[k] * e[k];
                drift = std::fabs(drift);
                fit.infinite[j] = drift > Eps && drift > tolerInf * std::fabs(newBeta[j]);
            }
            return fit;
        }
        if (iter == MaxIter)
            break;
        if (!(s.loglik >= loglik)) {
            halving = true;
            for (std::size_t j = 0; j < m.p; ++j)
                newBeta[j] = (newBeta[j] + beta[j]) / 2;
        } else {
            halving = false;
            loglik = s.loglik;
            step = s.u;
            solve(s.imat, step);
            for (std::size_t j = 0; j < m.p; ++j) {
                beta[j] = newBeta[j];
                newBeta[j] += step[j];
            }
        }
    }
    return fit;
}

// Texts

QString groupList(const std::vector<SurvivalGroupTexts> &groups,
                  const std::vector<std::size_t> &which) {
    QStringList labels;
    for (std::size_t g : which)
        labels << groups[g].label;
    return labels.join(QStringLiteral("、"));
}

void putCox(SurvivalResult &out, const std::vector<TimeCell> &cells,
            const std::vector<Curve> &curves, QStringList &notes) {
    const std::size_t k = curves.size();
    if (curves[0].events == 0) {
        notes << tr("参照组（%1）没有事件，无法估计风险比。").arg(out.groups[0].label);
        return;
    }
    CoxModel model;
    model.column[0] = -1;
    std::vector<std::size_t> noEvents;
    for (std::size_t g = 1; g < k; ++g) {
        if (curves[g].events == 0) {
            // Its estimate is −∞; at that limit its rows weigh nothing in any risk set.
            model.column[g] = -2;
            noEvents.push_back(g);
        } else {
            model.column[g] = int(model.p);
            model.members[model.p++] = g;
        }
    }
    if (!noEvents.empty())
        notes << tr("%1没有事件，风险比无法估计。").arg(groupList(out.groups, noEvents));
    if (model.p == 0)
        return;
    const CoxFit fit = coxFit(cells, model);
    if (fit.outcome == CoxFit::Outcome::NotConverged) {
        notes << tr("Cox 模型迭代 20 次未收敛，未给出风险比。");
        return;
    }
    if (fit.outcome == CoxFit::Outcome::Singular) {
        notes << tr("Cox 模型的信息矩阵奇异，未给出风险比。");
        return;
    }
    std::vector<std::size_t> infinite;
    for (std::size_t j = 0; j < model.p; ++j) {
        SurvivalGroupTexts &t = out.groups[model.members[j]];
        // Beyond e^±30 the fitter stopped on a likelihood still rising (rounding can hide the
        // score that R's check looks at), so that is no estimate either.
        const double b = fit.beta[j], se = fit.se[j];
        if (fit.infinite[j] || !(se > 0) || !std::isfinite(se) || std::fabs(b) > 30 ||
            !std::isfinite(std::exp(b + Z975 * se)) || std::exp(b - Z975 * se) == 0) {
            infinite.push_back(model.members[j]);
            continue;
        }
        t.hr = displayForm(std::exp(b));
        t.hrLow = displayForm(std::exp(b - Z975 * se));
        t.hrHigh = displayForm(std::exp(b + Z975 * se));
        t.coxP = pValueForm(std::erfc(std::fabs(b / se) / std::sqrt(2.0)));
    }
    if (!infinite.empty())
        notes << tr("%1的风险比估计值趋于无穷，未给出。").arg(groupList(out.groups, infinite));
}

QString codeLabel(std::int64_t code) {
    return tr("组") + plainForm(Fixed4::fromTicks(code));
}

} // namespace

SurvivalResult analyseSurvival(const SurvivalColumns &columns, const QString &rateTime) {
    SurvivalResult out;
    const std::size_t rows =
        std::max({columns.time.size(), columns.timeText.size(), columns.outcome.size(),
                  columns.outcomeText.size(), columns.group.size(), columns.groupText.size()});
    const Tally tally = tallyRows(columns, rows);
    out.grouped = tally.withGroup > 0;
    const std::int64_t noGroupLeftOut = out.grouped ? tally.withoutGroup : 0;
    out.rowsUsed = out.grouped ? tally.withGroup : tally.withoutGroup;
    out.rowsLeftOut = tally.badTimeOutcome + tally.badGroup + noGroupLeftOut;

    QStringList notes;
    if (tally.badTimeOutcome > 0)
        notes << tr("有 %1 行的时间或结局无法使用（结局只能是1或0），已略去。")
                     .arg(tally.badTimeOutcome);
    if (tally.badGroup > 0)
        notes << tr("有 %1 行的组别不是数字，已略去。").arg(tally.badGroup);
    if (noGroupLeftOut > 0)
        notes << tr("有 %1 行没有组别，已略去。").arg(noGroupLeftOut);
    auto finish = [&] {
        out.note = notes.join(QString());
        return out;
    };
    if (tally.codes.size() > MaxGroups) {
        notes << tr("组别超过 %1 个，不作分析。").arg(MaxGroups);
        return finish();
    }
    if (out.rowsUsed == 0)
        return finish();

    const std::vector<TimeCell> cells =
        cellsOf(sortedRows(columns, rows, tally, out.grouped, out.rowsUsed));
    const std::size_t k = out.grouped ? tally.codes.size() : 1;
    const std::vector<Curve> curves = kaplanMeier(cells, k, out.lifeTable);

    const std::optional<Fixed4> rate = Fixed4::parse(rateTime);
    const bool rateShown = rate && rate->ticks() >= 0;
    std::vector<std::size_t> notReached;
    for (std::size_t g = 0; g < k; ++g) {
        SurvivalGroupTexts t;
        t.label = out.grouped ? codeLabel(tally.codes[g]) : tr("全部");
        out.codes.push_back(out.grouped ? seconds(tally.codes[g]) : 0.0);
        const Curve &c = curves[g];
        t.n = plainForm(double(c.n));
        t.events = plainForm(double(c.events));
        const auto median = medianOf(out.lifeTable, c, [](const auto &r) { return r.survival; });
        if (!median)
            notReached.push_back(g);
        t.median = medianText(median);
        t.medianLow = medianText(medianOf(out.lifeTable, c, [](const auto &r) { return r.low; }));
        t.medianHigh = medianText(medianOf(out.lifeTable, c, [](const auto &r) { return r.high; }));
        if (rateShown)
            putRate(t, out.lifeTable, c, rate->ticks());
        out.groups.push_back(t);
    }
    if (!notReached.empty())
        notes << tr("%1的中位生存时间未达到。").arg(groupList(out.groups, notReached));

    if (k >= 2) {
        const LogRank test = logRank(cells, curves);
        for (std::size_t g = 0; g < k; ++g) {
            out.groups[g].logRankObs = plainForm(test.observed[g]);
            out.groups[g].logRankExp = displayForm(test.expected[g]);
        }
        if (std::isfinite(test.chi2)) {
            out.logRankChi2 = displayForm(test.chi2);
            out.logRankDf = plainForm(test.df);
            out.logRankP = pValueForm(boost::math::cdf(boost::math::complement(
                boost::math::chi_squared_distribution<double, Quiet>(test.df), test.chi2)));
        } else if (test.zeroVariance) {
            notes << tr("对数秩检验的方差为 0，无法检验。");
        } else {
            notes << tr("期望事件数大于 0 的组不足 2 个，无法作对数秩检验。");
        }
        putCox(out, cells, curves, notes);
        bool anyHr = false;
        std::vector<std::size_t> few;
        for (std::size_t g = 0; g < k; ++g) {
            anyHr = anyHr || !out.groups[g].hr.isEmpty();
            if (curves[g].events > 0 && curves[g].events < 10)
                few.push_back(g);
        }
        if (anyHr && !few.empty())
            notes << tr("%1的事件数较少，风险比的可信区间可能不可靠。")
                         .arg(groupList(out.groups, few));
    }
    return finish();
}

QStringList lifeTableTexts(const SurvivalResult &result, const LifeTableRow &row) {
    const QString label = row.group >= 0 && std::size_t(row.group) < result.groups.size()
                              ? result.groups[std::size_t(row.group)].label
                              : QString();
    return {label,
            displayForm(Fixed4::fromTicks(row.time)),
            plainForm(double(row.atRisk)),
            plainForm(double(row.events)),
            plainForm(double(row.censored)),
            displayForm(row.survival),
            displayForm(row.se),
            displayForm(row.low),
            displayForm(row.high)};
}

} // namespace quarbel
