#include "core/rank/rank_tests.h"

#include "core/entry/column_list.h"
#include "core/entry/quiet_policy.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>

namespace quarbel::rank {
namespace {

// qnorm(0.975), the point R's interval limits solve for.
constexpr double Z975 = 1.959963984540054;

double normalUpper(double z) {
    if (std::isnan(z))
        return z;
    return boost::math::cdf(
        boost::math::complement(boost::math::normal_distribution<double, Quiet>(), z));
}

double normalQuantile(double p) {
    return boost::math::quantile(boost::math::normal_distribution<double, Quiet>(), p);
}

double twoSidedNormal(double z) {
    return std::min(1.0, 2 * normalUpper(std::fabs(z)));
}

double sign(double v) {
    return v > 0 ? 1.0 : v < 0 ? -1.0 : 0.0;
}

WideUInt magnitude(WideInt v) {
    return v < 0 ? WideUInt(-(v + 1)) + 1 : WideUInt(v);
}

QString digitsOf(WideUInt v) {
    QString s;
    do {
        s.prepend(QChar(u'0' + int(static_cast<unsigned>(v % 10))));
        v /= 10;
    } while (v != 0);
    return s;
}

// t³ − t for a run of t tied values, exact.
WideInt tieTerm(std::int64_t t) {
    const WideInt w = t;
    return w * w * w - w;
}

// ---- Scratch memory ---------------------------------------------------------------------

// Working arrays kept per thread between calls: at a million rows fresh pages cost more than
// the passes over them, and each keystroke would fault them in again. A second user while the
// first holds them gets fresh arrays.
template <class T, int Slot> class Scratch {
  public:
    explicit Scratch(std::size_t n) : m_pool(pool()) {
        if (m_pool.busy) {
            m_own.resize(n);
            m_data = &m_own;
        } else {
            m_pool.busy = true;
            m_pool.data.resize(n);
            m_data = &m_pool.data;
        }
    }
    ~Scratch() {
        if (m_data == &m_pool.data)
            m_pool.busy = false;
    }
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;
    std::vector<T> &operator*() { return *m_data; }

  private:
    struct Pool {
        std::vector<T> data;
        bool busy{false};
    };
    static Pool &pool() {
        thread_local Pool p;
        return p;
    }
    Pool &m_pool;
    std::vector<T> m_own;
    std::vector<T> *m_data;
};

// ---- Sorting ----------------------------------------------------------------------------

constexpr std::uint64_t SignBit = std::uint64_t(1) << 63;

// LSD radix sort on the bytes of the sign-flipped keys, carrying an index along when asked: at
// a million values it is several times faster than a comparison sort. A byte every key shares
// (the high bytes of values of one magnitude) costs one counting pass and no move.
void radixSort(std::span<std::uint64_t> keys, std::vector<std::uint32_t> *index) {
    const std::size_t n = keys.size();
    Scratch<std::uint64_t, 0> keyScratch(n);
    std::vector<std::uint32_t> indexBuffer(index ? n : 0);
    std::uint64_t *from = keys.data(), *to = (*keyScratch).data();
    std::uint32_t *indexFrom = index ? index->data() : nullptr, *indexTo = indexBuffer.data();
    std::array<std::array<std::size_t, 257>, 8> start{};
    for (std::size_t i = 0; i < n; ++i)
        for (int b = 0; b < 8; ++b)
            ++start[std::size_t(b)][((from[i] >> (8 * b)) & 0xFF) + 1];
    for (int b = 0; b < 8; ++b) {
        auto &s = start[std::size_t(b)];
        if (n == 0 || s[((from[0] >> (8 * b)) & 0xFF) + 1] == n)
            continue;
        std::partial_sum(s.begin(), s.end(), s.begin());
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t at = s[(from[i] >> (8 * b)) & 0xFF]++;
            to[at] = from[i];
            if (index)
                indexTo[at] = indexFrom[i];
        }
        std::swap(from, to);
        std::swap(indexFrom, indexTo);
    }
    if (from != keys.data()) {
        std::copy(from, from + n, keys.data());
        if (index)
            std::copy(indexFrom, indexFrom + n, index->data());
    }
}

void sortTicks(std::vector<std::int64_t> &v) {
    if (v.size() < 4096) {
        std::sort(v.begin(), v.end());
        return;
    }
    // Signed and unsigned 64-bit integers may alias: the keys are the values themselves.
    const std::span<std::uint64_t> keys(reinterpret_cast<std::uint64_t *>(v.data()), v.size());
    for (std::uint64_t &k : keys)
        k ^= SignBit;
    radixSort(keys, nullptr);
    for (std::uint64_t &k : keys)
        k ^= SignBit;
}

// The positions of v in ascending order of value (ties in position order).
std::vector<std::uint32_t> ascendingOrder(std::span<const std::int64_t> v) {
    std::vector<std::uint32_t> order(v.size());
    std::iota(order.begin(), order.end(), 0u);
    Scratch<std::uint64_t, 1> keys(v.size());
    for (std::size_t i = 0; i < v.size(); ++i)
        (*keys)[i] = std::uint64_t(v[i]) ^ SignBit;
    radixSort(*keys, &order);
    return order;
}

// ---- Selection of an order statistic from sorted rows -------------------------------------

// Per row, how many of its entries lie below a bound. Rows never exceed 2³² entries: a column
// of that size would not fit in memory.
using Positions = std::vector<std::uint32_t>;

// Two bounds counted in one pass over the rows: per row, the entries strictly below bound[0]
// and those at most bound[1] go to (*pos[b])[row]; total[b] is their sum.
struct Counts {
    std::array<WideInt, 2> bound;
    std::array<Positions *, 2> pos;
    std::array<std::uint64_t, 2> total{0, 0};
};

// Values whose magnitude stays below 2⁶¹ ticks (2·10¹⁴ as typed, so nearly always) have every
// pairwise difference, Walsh sum and bound arithmetic inside 64 bits: the counting passes then
// run on plain integers, the rest on 128 bits.
constexpr std::int64_t NarrowLimit = std::int64_t(1) << 61;
template <class T> bool narrow(std::span<const T> v) {
    return v.empty() || (v.front() > -NarrowLimit && v.back() < NarrowLimit);
}

// The n1·n2 differences x_r − y_j as rows: row r (x ascending) runs over y descending, so each
// row ascends. T is the arithmetic of the counting pass.
template <class T> struct DifferenceRows {
    std::span<const std::int64_t> x, y;
    std::size_t rowCount() const { return x.size(); }
    std::uint32_t length(std::size_t) const { return std::uint32_t(y.size()); }
    WideInt at(std::size_t r, std::uint32_t c) const {
        return WideInt(x[r]) - WideInt(y[y.size() - 1 - c]);
    }
    // As x_r grows, so does the bound x_r − v on y, so one pointer per bound walks y once.
    void count(Counts &c) const {
        const std::size_t n1 = x.size(), n2 = y.size();
        const T below = T(c.bound[0]), atMost = T(c.bound[1]);
        std::uint32_t *strict = c.pos[0]->data(), *loose = c.pos[1]->data();
        std::size_t q0 = 0, q1 = 0;
        std::uint64_t t0 = 0, t1 = 0;
        for (std::size_t r = 0; r < n1; ++r) {
            const T xr = T(x[r]);
            while (q0 < n2 && T(y[q0]) <= xr - below)
                ++q0;
            while (q1 < n2 && T(y[q1]) < xr - atMost)
                ++q1;
            strict[r] = std::uint32_t(n2 - q0);
            loose[r] = std::uint32_t(n2 - q1);
            t0 += n2 - q0;
            t1 += n2 - q1;
        }
        c.total = {t0, t1};
    }
};

// The Walsh sums d_r + d_c for r ≤ c as rows: row r runs over c = r, r + 1, ….
template <class T> struct WalshRows {
    std::span<const T> d;
    std::size_t rowCount() const { return d.size(); }
    std::uint32_t length(std::size_t r) const { return std::uint32_t(d.size() - r); }
    WideInt at(std::size_t r, std::uint32_t c) const { return WideInt(d[r]) + WideInt(d[r + c]); }
    // As d_r grows the bound v − d_r on d_c falls, so one pointer per bound walks d backwards.
    void count(Counts &c) const {
        const std::size_t n = d.size();
        const T below = T(c.bound[0]), atMost = T(c.bound[1]);
        std::uint32_t *strict = c.pos[0]->data(), *loose = c.pos[1]->data();
        std::size_t q0 = n, q1 = n;
        std::uint64_t t0 = 0, t1 = 0;
        for (std::size_t r = 0; r < n; ++r) {
            while (q0 > 0 && d[q0 - 1] >= below - d[r])
                --q0;
            while (q1 > 0 && d[q1 - 1] > atMost - d[r])
                --q1;
            const std::size_t p0 = q0 > r ? q0 - r : 0, p1 = q1 > r ? q1 - r : 0;
            strict[r] = std::uint32_t(p0);
            loose[r] = std::uint32_t(p1);
            t0 += p0;
            t1 += p1;
        }
        c.total = {t0, t1};
    }
};

// Order statistics of sorted rows without listing them. The candidates are a band [lo, hi) of
// each row; each round samples them, takes two sample order statistics that bracket the wanted
// rank closely, counts the entries below each in one linear pass, and keeps the band between
// them. A pivot is always a candidate, so every round either answers or drops it: ties cannot
// stall the search. Once the band is small it is listed and selected directly. The buffers
// are kept between selections: fresh pages cost more than the passes over them.
template <class Rows> class Selector {
  public:
    explicit Selector(Rows rows)
        : m_rows(rows), m_n(rows.rowCount()), m_loScratch(m_n), m_hiScratch(m_n), m_aScratch(m_n),
          m_bScratch(m_n), m_startLoScratch(m_n), m_startHiScratch(m_n), m_lo(*m_loScratch),
          m_hi(*m_hiScratch), m_a(*m_aScratch), m_b(*m_bScratch), m_startLo(*m_startLoScratch),
          m_startHi(*m_startHiScratch) {}

    // Narrows every later search to a band that holds the ranks kLow…kHigh, so that several
    // nearby order statistics share the first rounds.
    void restrict(std::uint64_t kLow, std::uint64_t kHigh) {
        m_startBefore = 0;
        std::fill(m_startLo.begin(), m_startLo.end(), 0);
        for (std::size_t r = 0; r < m_n; ++r)
            m_startHi[r] = m_rows.length(r);
        std::mt19937_64 random(kLow ^ (kHigh << 1));
        for (int round = 0; round < 3; ++round) {
            const std::uint64_t candidates = bandSize(m_startLo, m_startHi);
            if (candidates <= 4 * listLimit() || kHigh - kLow > candidates / 8)
                break;
            const WideInt p1 =
                pivots(random, m_startLo, m_startHi, candidates, kLow - m_startBefore).first;
            const WideInt p2 =
                pivots(random, m_startLo, m_startHi, candidates, kHigh - m_startBefore).second;
            Counts c{{p1, p2}, {&m_a, &m_b}};
            m_rows.count(c);
            if (kLow > c.total[0]) {
                m_startLo.swap(m_a);
                m_startBefore = c.total[0];
            }
            if (kHigh <= c.total[1])
                m_startHi.swap(m_b);
        }
        m_restricted = true;
    }

    // The k-th smallest entry, 1-based.
    WideInt kth(std::uint64_t k) {
        const std::uint64_t start = m_restricted ? bandSize(m_startLo, m_startHi) : 0;
        const bool inBand = m_restricted && k > m_startBefore && k <= m_startBefore + start;
        if (inBand) {
            m_lo = m_startLo;
            m_hi = m_startHi;
        } else {
            std::fill(m_lo.begin(), m_lo.end(), 0);
            for (std::size_t r = 0; r < m_n; ++r)
                m_hi[r] = m_rows.length(r);
        }
        std::uint64_t before = inBand ? m_startBefore : 0;
        std::mt19937_64 random(k); // a fixed seed: the same data always take the same path
        for (;;) {
            const std::uint64_t candidates = bandSize(m_lo, m_hi);
            const std::uint64_t rank = k - before; // 1 ≤ rank ≤ candidates
            if (candidates <= listLimit())
                return listed(candidates, rank);
            const auto [p1, p2] = pivots(random, m_lo, m_hi, candidates, rank);
            Counts first{{p1, p1}, {&m_a, &m_b}};
            m_rows.count(first);
            if (k <= first.total[0]) { // below p1
                m_hi.swap(m_a);
                continue;
            }
            if (k <= first.total[1])
                return p1;
            m_lo.swap(m_b); // above p1; the old lower band and m_a are free now
            before = first.total[1];
            Counts second{{p2, p2}, {&m_a, &m_b}};
            m_rows.count(second);
            if (k <= second.total[0]) {
                m_hi.swap(m_a);
                continue;
            }
            if (k <= second.total[1])
                return p2;
            m_lo.swap(m_b);
            before = second.total[1];
        }
    }

    // The (k + 1)-th entry given the k-th, v: v again while its ties last, else the smallest
    // entry above it.
    WideInt next(WideInt v, std::uint64_t k) {
        Counts c{{v, v}, {&m_a, &m_b}};
        m_rows.count(c);
        if (c.total[1] > k)
            return v;
        bool found = false;
        WideInt best = v;
        for (std::size_t r = 0; r < m_n; ++r)
            if (m_b[r] < m_rows.length(r)) {
                const WideInt e = m_rows.at(r, m_b[r]);
                if (!found || e < best)
                    best = e;
                found = true;
            }
        return best;
    }

    // The median of all n entries, as twice its value (the sum of the two middle ones).
    WideInt twiceMedian(std::uint64_t n) {
        const std::uint64_t k = (n + 1) / 2;
        const WideInt a = kth(k);
        return n % 2 == 1 ? 2 * a : a + next(a, k);
    }

  private:
    std::uint64_t listLimit() const { return std::max<std::uint64_t>(8192, m_n / 4); }

    std::uint64_t bandSize(const Positions &lo, const Positions &hi) const {
        std::uint64_t size = 0;
        for (std::size_t r = 0; r < m_n; ++r)
            size += hi[r] - lo[r];
        return size;
    }

    WideInt listed(std::uint64_t candidates, std::uint64_t rank) {
        Scratch<WideInt, 0> scratch(0);
        std::vector<WideInt> &values = *scratch;
        values.reserve(candidates);
        for (std::size_t r = 0; r < m_n; ++r)
            for (std::uint32_t c = m_lo[r]; c < m_hi[r]; ++c)
                values.push_back(m_rows.at(r, c));
        const auto nth = values.begin() + std::ptrdiff_t(rank - 1);
        std::nth_element(values.begin(), nth, values.end());
        return *nth;
    }

    // Two candidates a little below and a little above the wanted rank, from a uniform sample
    // of the band (sorted draws, so one walk over the rows places them all).
    std::pair<WideInt, WideInt> pivots(std::mt19937_64 &random, const Positions &lo,
                                       const Positions &hi, std::uint64_t candidates,
                                       std::uint64_t rank) {
        constexpr std::size_t SampleSize = 32768;
        std::uniform_int_distribution<std::uint64_t> pick(0, candidates - 1);
        m_draws.resize(SampleSize);
        for (std::uint64_t &u : m_draws)
            u = pick(random);
        std::sort(m_draws.begin(), m_draws.end());
        m_sample.clear();
        std::size_t r = 0;
        std::uint64_t start = 0; // candidates in the rows before r
        for (std::uint64_t u : m_draws) {
            while (start + (hi[r] - lo[r]) <= u)
                start += hi[r] - lo[r], ++r;
            m_sample.push_back(m_rows.at(r, lo[r] + std::uint32_t(u - start)));
        }
        std::sort(m_sample.begin(), m_sample.end());
        const double q = double(rank) / double(candidates);
        const double centre = q * SampleSize;
        const double margin = 2.5 * std::sqrt(SampleSize * q * (1 - q)) + 1;
        const auto at = [this](double i) {
            return m_sample[std::size_t(std::clamp(i, 0.0, double(SampleSize - 1)))];
        };
        return {at(std::floor(centre - margin)), at(std::ceil(centre + margin))};
    }

    Rows m_rows;
    std::size_t m_n;
    Scratch<std::uint32_t, 0> m_loScratch;
    Scratch<std::uint32_t, 1> m_hiScratch;
    Scratch<std::uint32_t, 2> m_aScratch;
    Scratch<std::uint32_t, 3> m_bScratch;
    Scratch<std::uint32_t, 4> m_startLoScratch;
    Scratch<std::uint32_t, 5> m_startHiScratch;
    Positions &m_lo, &m_hi, &m_a, &m_b, &m_startLo, &m_startHi;
    std::uint64_t m_startBefore{0};
    bool m_restricted{false};
    std::vector<std::uint64_t> m_draws;
    std::vector<WideInt> m_sample;
};

// The shift's estimate, the median of the N entries, and when k is known its interval D(k),
// D(N + 1 − k); `unit` entries make a quarter tick.
template <class Rows>
void locateShift(Rows rows, std::uint64_t n, std::optional<std::uint64_t> k, int unit,
                 Shift &shift) {
    Selector select(rows);
    if (k)
        select.restrict(std::min(*k, (n + 1) / 2), std::max(n + 1 - *k, (n + 1) / 2 + 1));
    shift.estimate = unit / 2 * select.twiceMedian(n);
    if (k) {
        shift.low = unit * select.kth(*k);
        shift.high = unit * select.kth(n + 1 - *k);
    }
}

// Without an exact quantile the interval D(k), D(N + 1 − k) takes k = ⌈N/2 − ½ − z·σ₀⌉, σ₀
// the statistic's SD with the ties within each group: the ties that stay when one group is
// shifted between two pairwise values, so this k is where R's root search for the limit ends.
// At least 1, where R would lower the confidence level instead.
std::uint64_t approximateK(std::uint64_t n, double sigma0) {
    const double k = std::ceil(double(n) / 2 - 0.5 - Z975 * sigma0);
    if (!(k >= 1))
        return 1;
    return std::min<std::uint64_t>(n, std::uint64_t(k));
}

// ---- Exact null distributions -----------------------------------------------------------

// Counts of U = 0…mn: the Gaussian binomial [m + n choose m] = Π (1 − q^{n+i})/(1 − q^i).
// Every step is a ring operation, so arithmetic modulo 2¹²⁸ is exact because the final counts
// (at most C(98, 49) ≈ 2.5·10²⁸) fit.
std::vector<WideUInt> rankSumCounts(int m, int n) {
    const std::size_t top = std::size_t(m) * std::size_t(n);
    std::vector<WideUInt> f(top + std::size_t(m) + 1, 0);
    f[0] = 1;
    std::size_t degree = 0;
    for (int i = 1; i <= m; ++i) {
        const std::size_t up = std::size_t(n + i);
        degree += up;
        for (std::size_t u = degree; u >= up; --u)
            f[u] -= f[u - up];
        for (std::size_t u = std::size_t(i); u <= degree; ++u)
            f[u] += f[u - std::size_t(i)];
        degree -= std::size_t(i);
    }
    f.resize(top + 1);
    return f;
}

// Counts of V = 0…n(n+1)/2: Π (1 + q^i); at most 2⁴⁹ for n < 50.
std::vector<std::uint64_t> signedRankCounts(int n) {
    const std::size_t top = std::size_t(n) * std::size_t(n + 1) / 2;
    std::vector<std::uint64_t> f(top + 1, 0);
    f[0] = 1;
    std::size_t degree = 0;
    for (int i = 1; i <= n; ++i) {
        degree += std::size_t(i);
        for (std::size_t u = degree; u >= std::size_t(i); --u)
            f[u] += f[u - std::size_t(i)];
    }
    return f;
}

// Counts of S = Σ (i − p_i)² over the permutations p of 1…n, for n ≤ 9, by S/2 (S is even).
const std::array<std::vector<std::uint32_t>, 10> &spearmanCounts() {
    static const std::array<std::vector<std::uint32_t>, 10> counts = [] {
        std::array<std::vector<std::uint32_t>, 10> c;
        for (int n = 1; n <= 9; ++n) {
            const int top = (n * n * n - n) / 3;
            c[std::size_t(n)].assign(std::size_t(top / 2 + 1), 0);
            std::array<int, 9> p{};
            std::iota(p.begin(), p.begin() + n, 0);
            do {
                int s = 0;
                for (int i = 0; i < n; ++i)
                    s += (i - p[std::size_t(i)]) * (i - p[std::size_t(i)]);
                ++c[std::size_t(n)][std::size_t(s / 2)];
            } while (std::next_permutation(p.begin(), p.begin() + n));
        }
        return c;
    }();
    return counts;
}

template <class T> WideInt wide(T v) {
    return WideInt(v);
}

template <class T> std::optional<Quartiles> quartilesOf(std::span<const T> s) {
    const std::size_t n = s.size();
    if (n == 0)
        return std::nullopt;
    // np = n·q/4: the mean of the two neighbours when it is whole, else the next one up.
    const auto at = [&](std::size_t q) -> QuarterTicks {
        const std::size_t np4 = n * q;
        if (np4 % 4 == 0) {
            const std::size_t k = np4 / 4;
            return 2 * (wide(s[k - 1]) + wide(s[k]));
        }
        return 4 * wide(s[np4 / 4]);
    };
    return Quartiles{at(1), at(2), at(3)};
}

double poly(const double *c, int order, double x) {
    double result = c[0];
    if (order > 1) {
        double p = x * c[order - 1];
        for (int j = order - 2; j > 0; --j)
            p = (p + c[j]) * x;
        result += p;
    }
    return result;
}

} // namespace

QString quarterTicksForm(QuarterTicks value) {
    const WideUInt mag = magnitude(value);
    const WideUInt ticks = mag / 4 + (mag % 4 >= 2 ? 1 : 0);
    const QString frac = digitsOf(ticks % 10000).rightJustified(4, u'0');
    return (value < 0 && ticks != 0 ? QStringLiteral("-") : QString()) + digitsOf(ticks / 10000) +
           u'.' + frac;
}

double quarterTicksValue(QuarterTicks value) {
    return toDouble(value) / (4.0 * 10000);
}

std::vector<std::int64_t> sortedPresent(std::span<const std::int64_t> ticks) {
    std::vector<std::int64_t> v;
    v.reserve(ticks.size());
    for (std::int64_t t : ticks)
        if (t != ColumnList::Missing)
            v.push_back(t);
    sortTicks(v);
    return v;
}

void sortDifferences(std::vector<WideInt> &d) {
    const bool narrow = std::all_of(d.begin(), d.end(), [](const WideInt &v) {
        return v >= std::numeric_limits<std::int64_t>::min() &&
               v <= std::numeric_limits<std::int64_t>::max();
    });
    if (!narrow) {
        std::sort(d.begin(), d.end());
        return;
    }
    std::vector<std::int64_t> t(d.size());
    for (std::size_t i = 0; i < d.size(); ++i)
        t[i] = std::int64_t(d[i]);
    sortTicks(t);
    for (std::size_t i = 0; i < d.size(); ++i)
        d[i] = t[i];
}

std::optional<Quartiles> quartiles(std::span<const std::int64_t> sorted) {
    return quartilesOf(sorted);
}
std::optional<Quartiles> quartiles(std::span<const WideInt> sorted) {
    return quartilesOf(sorted);
}

// Royston's (1995) algorithm AS R94: the coefficients from normal scores with his polynomial
// corrections of the two outermost, W as the squared correlation of coefficients and data, and
// P from his normalising transformations of 1 − W.
std::optional<ShapiroWilk> shapiroWilk(std::span<const double> x) {
    static constexpr double c1[] = {0, .221157, -.147981, -2.07119, 4.434685, -2.706056};
    static constexpr double c2[] = {0, .042981, -.293762, -1.752461, 5.682633, -3.582633};
    static constexpr double c3[] = {.544, -.39978, .025054, -6.714e-4};
    static constexpr double c4[] = {1.3822, -.77857, .062767, -.0020322};
    static constexpr double c5[] = {-1.5861, -.31082, -.083751, .0038915};
    static constexpr double c6[] = {-.4803, -.082676, .0030302};
    static constexpr double g[] = {-2.273, .459};

    const std::size_t n = x.size();
    if (n < 3 || n > 5000)
        return std::nullopt;
    const double range = x[n - 1] - x[0];
    if (!(range > 0) || !std::isfinite(range))
        return std::nullopt;
    const std::size_t half = n / 2;
    const double an = double(n);
    std::vector<double> a(half);
    if (n == 3) {
        a[0] = std::sqrt(0.5);
    } else {
        std::vector<double> m(half);
        double summ2 = 0;
        for (std::size_t i = 0; i < half; ++i) {
            m[i] = normalQuantile((double(i + 1) - .375) / (an + .25));
            summ2 += m[i] * m[i];
        }
        summ2 *= 2;
        const double ssumm2 = std::sqrt(summ2), rsn = 1 / std::sqrt(an);
        const double a1 = poly(c1, 6, rsn) - m[0] / ssumm2;
        std::size_t first;
        double fac;
        if (n > 5) {
            first = 2;
            const double a2 = -m[1] / ssumm2 + poly(c2, 6, rsn);
            fac = std::sqrt((summ2 - 2 * m[0] * m[0] - 2 * m[1] * m[1]) /
                            (1 - 2 * a1 * a1 - 2 * a2 * a2));
            a[1] = a2;
        } else {
            first = 1;
            fac = std::sqrt((summ2 - 2 * m[0] * m[0]) / (1 - 2 * a1 * a1));
        }
        a[0] = a1;
        for (std::size_t i = first; i < half; ++i)
            a[i] = -m[i] / fac;
    }

    // Scaled by the range, so neither huge nor tiny values lose the sums.
    long double sum = 0;
    for (double v : x)
        sum += v / range;
    const double mean = double(sum / n);
    double ssx = 0, sax = 0, ssa = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double d = x[i] / range - mean;
        ssx += d * d;
    }
    for (std::size_t i = 0; i < half; ++i) {
        sax += a[i] * ((x[n - 1 - i] - x[i]) / range);
        ssa += 2 * a[i] * a[i];
    }
    const double ssassx = std::sqrt(ssa * ssx);
    // 1 − W formed as a difference of squares keeps its digits when W is near 1.
    const double w1 = (ssassx - sax) * (ssassx + sax) / (ssa * ssx);
    const double w = 1 - w1;
    if (!std::isfinite(w))
        return std::nullopt;

    double p;
    if (n == 3) {
        p = 1.90985931710274 * (std::asin(std::sqrt(std::clamp(w, 0.0, 1.0))) - 1.04719755119660);
    } else {
        double y = std::log(w1);
        double mu, s;
        if (n <= 11) {
            const double gamma = poly(g, 2, an);
            if (y >= gamma)
                return ShapiroWilk{w, 1e-99};
            y = -std::log(gamma - y);
            mu = poly(c3, 4, an);
            s = std::exp(poly(c4, 4, an));
        } else {
            const double xx = std::log(an);
            mu = poly(c5, 4, xx);
            s = std::exp(poly(c6, 3, xx));
        }
        p = normalUpper((y - mu) / s);
    }
    if (std::isnan(p))
        return std::nullopt;
    return ShapiroWilk{w, std::clamp(p, 0.0, 1.0)};
}

std::optional<ShapiroWilk> shapiroWilk(std::span<const std::int64_t> sorted) {
    if (sorted.size() < 3 || sorted.size() > 5000)
        return std::nullopt;
    // Centred on the median first: ticks near the 64-bit limits keep their spacing as doubles.
    const WideInt centre = sorted[sorted.size() / 2];
    std::vector<double> v(sorted.size());
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = toDouble(WideInt(sorted[i]) - centre);
    return shapiroWilk(std::span<const double>(v));
}

std::optional<ShapiroWilk> shapiroWilk(std::span<const WideInt> sorted) {
    if (sorted.size() < 3 || sorted.size() > 5000)
        return std::nullopt;
    const WideInt centre = sorted[sorted.size() / 2];
    std::vector<double> v(sorted.size());
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = toDouble(sorted[i] - centre);
    return shapiroWilk(std::span<const double>(v));
}

NormalityGap normalityGap(std::size_t n, bool spread) {
    if (n < 3)
        return NormalityGap::TooFew;
    if (n > 5000)
        return NormalityGap::TooMany;
    if (!spread)
        return NormalityGap::NoSpread;
    return NormalityGap::None;
}

double rankSumCdf(std::int64_t u, int n1, int n2) {
    if (n1 < 1 || n2 < 1 || n1 >= 50 || n2 >= 50 || u < 0)
        return u < 0 ? 0 : std::nan("");
    const std::vector<WideUInt> f = rankSumCounts(n1, n2);
    if (u >= std::int64_t(f.size()) - 1)
        return 1;
    long double all = 0, below = 0;
    for (std::size_t i = 0; i < f.size(); ++i) {
        const long double c = toLongDouble(f[i]);
        all += c;
        if (std::int64_t(i) <= u)
            below += c;
    }
    return double(below / all);
}

// R's qwilcox: the smallest q with P(U ≤ q) ≥ p, allowing for rounding in the running sum.
std::int64_t rankSumQuantile(double p, int n1, int n2) {
    if (n1 < 1 || n2 < 1 || n1 >= 50 || n2 >= 50)
        return 0;
    const std::vector<WideUInt> f = rankSumCounts(n1, n2);
    long double all = 0;
    for (const WideUInt &c : f)
        all += toLongDouble(c);
    const double target = p - 10 * DBL_EPSILON;
    double cumulative = 0;
    for (std::size_t q = 0; q < f.size(); ++q) {
        cumulative += double(toLongDouble(f[q]) / all);
        if (cumulative >= target)
            return std::int64_t(q);
    }
    return std::int64_t(f.size()) - 1;
}

double signedRankCdf(std::int64_t v, int n) {
    if (v < 0)
        return 0;
    if (n < 1 || n >= 50)
        return std::nan("");
    const std::vector<std::uint64_t> f = signedRankCounts(n);
    if (v >= std::int64_t(f.size()) - 1)
        return 1;
    std::uint64_t below = 0;
    for (std::int64_t i = 0; i <= v; ++i)
        below += f[std::size_t(i)];
    return std::ldexp(double(below), -n);
}

std::int64_t signedRankQuantile(double p, int n) {
    if (n < 1 || n >= 50)
        return 0;
    const std::vector<std::uint64_t> f = signedRankCounts(n);
    const double target = p - 10 * DBL_EPSILON;
    double cumulative = 0;
    for (std::size_t q = 0; q < f.size(); ++q) {
        cumulative += std::ldexp(double(f[q]), -n);
        if (cumulative >= target)
            return std::int64_t(q);
    }
    return std::int64_t(f.size()) - 1;
}

// Best and Roberts (1975), AS 89.
double spearmanS(double s, int n, bool lowerTail) {
    if (n <= 1 || std::isnan(s))
        return std::nan("");
    if (s <= 0)
        return lowerTail ? 0 : 1;
    const double n3 = double(n) * (double(n) * n - 1) / 3; // the largest S
    if (s > n3)
        return lowerTail ? 1 : 0;
    double upper;
    if (n <= 9) {
        const std::vector<std::uint32_t> &c = spearmanCounts()[std::size_t(n)];
        std::uint64_t atLeast = 0, all = 0;
        for (std::size_t h = 0; h < c.size(); ++h) {
            all += c[h];
            if (double(2 * h) >= s)
                atLeast += c[h];
        }
        upper = double(atLeast) / double(all);
        return lowerTail ? double(all - atLeast) / double(all) : upper;
    }
    static constexpr double c1 = 0.2274, c2 = 0.2531, c3 = 0.1745, c4 = 0.0758, c5 = 0.1033,
                            c6 = 0.3932, c7 = 0.0879, c8 = 0.0151, c9 = 0.0072, c10 = 0.0831,
                            c11 = 0.0131, c12 = 4.6e-4;
    const double b = 1 / double(n);
    const double x = (6 * (s - 1) * b / (double(n) * n - 1) - 1) * std::sqrt(1 / b - 1);
    double y = x * x;
    const double u = x * b *
                     (c1 + b * (c2 + c3 * b) +
                      y * (-c4 + b * (c5 + c6 * b) -
                           y * b * (c7 + c8 * b - y * (c9 - c10 * b + y * b * (c11 - c12 * y)))));
    y = u / std::exp(y / 2);
    upper = std::clamp(y + normalUpper(x), 0.0, 1.0);
    return lowerTail ? 1 - upper : upper;
}

WideInt kthDifference(std::span<const std::int64_t> x, std::span<const std::int64_t> y,
                      std::uint64_t k) {
    if (narrow(x) && narrow(y)) {
        const DifferenceRows<std::int64_t> rows{x, y};
        return Selector(rows).kth(k);
    }
    const DifferenceRows<WideInt> rows{x, y};
    return Selector(rows).kth(k);
}

WideInt kthWalshSum(std::span<const WideInt> d, std::uint64_t k) {
    if (narrow(d)) {
        const std::vector<std::int64_t> small(d.begin(), d.end());
        const WalshRows<std::int64_t> rows{small};
        return Selector(rows).kth(k);
    }
    const WalshRows<WideInt> rows{d};
    return Selector(rows).kth(k);
}

std::optional<RankSum> rankSumTest(std::span<const std::int64_t> x,
                                   std::span<const std::int64_t> y) {
    const std::size_t n1 = x.size(), n2 = y.size();
    if (n1 == 0 || n2 == 0)
        return std::nullopt;
    // One merge gives the mid-ranks (doubled, so they stay whole), the ties over both groups
    // for the test and the ties within each group for the interval.
    WideInt rankSum2 = 0, ties = 0, tiesWithin = 0;
    bool anyTie = false;
    std::size_t i = 0, j = 0;
    std::int64_t position = 1;
    while (i < n1 || j < n2) {
        const std::int64_t v = i < n1 && (j >= n2 || x[i] <= y[j]) ? x[i] : y[j];
        std::int64_t cx = 0, cy = 0;
        while (i < n1 && x[i] == v)
            ++i, ++cx;
        while (j < n2 && y[j] == v)
            ++j, ++cy;
        const std::int64_t t = cx + cy;
        rankSum2 += WideInt(cx) * (2 * position + t - 1);
        if (t > 1) {
            anyTie = true;
            ties += tieTerm(t);
            tiesWithin += tieTerm(cx) + tieTerm(cy);
        }
        position += t;
    }
    RankSum r;
    const double d1 = double(n1), d2 = double(n2), nn = d1 + d2;
    const WideInt w1 = WideInt(n1);
    r.u = toDouble(rankSum2 - w1 * (w1 + 1)) / 2;
    r.rankBiserial = 2 * r.u / (d1 * d2) - 1;
    const WideInt all = WideInt(n1 + n2);
    // (N + 1)·N(N − 1), so that bracket = (it − Σ(t³ − t)) / (N(N − 1)).
    const WideInt span3 = (all + 1) * all * (all - 1);
    const auto sd = [&](WideInt tieSum) {
        // √(n1 n2 / 12 · ((N + 1) − Σ(t³ − t)/(N(N − 1)))), the bracket kept exact.
        const WideInt inner = span3 - tieSum;
        if (inner <= 0)
            return 0.0;
        return std::sqrt(d1 * d2 / 12 * (toDouble(inner) / (nn * (nn - 1))));
    };
    const double sigma = n1 + n2 > 1 ? sd(ties) : 0.0;
    r.exact = n1 < 50 && n2 < 50 && !anyTie;
    const std::uint64_t count = std::uint64_t(n1) * std::uint64_t(n2);
    std::optional<std::uint64_t> k;
    if (!(sigma > 0)) {
        r.z = r.p = std::nan("");
        r.exact = false;
    } else {
        const double centred = r.u - d1 * d2 / 2;
        r.z = (centred - sign(centred) * 0.5) / sigma;
        if (r.exact) {
            const auto u = std::int64_t(r.u);
            r.p = std::min(1.0, 2 * rankSumCdf(std::min<std::int64_t>(u, std::int64_t(count) - u),
                                               int(n1), int(n2)));
            k = std::uint64_t(std::max<std::int64_t>(1, rankSumQuantile(0.025, int(n1), int(n2))));
        } else {
            r.p = twoSidedNormal(r.z);
            k = approximateK(count, sd(tiesWithin));
        }
    }
    // Differences are in ticks: four to a quarter tick.
    if (narrow(x) && narrow(y))
        locateShift(DifferenceRows<std::int64_t>{x, y}, count, k, 4, r.shift);
    else
        locateShift(DifferenceRows<WideInt>{x, y}, count, k, 4, r.shift);
    return r;
}

std::optional<SignedRank> signedRankTest(std::span<const WideInt> d) {
    const auto zeroBegin = std::lower_bound(d.begin(), d.end(), WideInt(0));
    const auto zeroEnd = std::upper_bound(zeroBegin, d.end(), WideInt(0));
    std::vector<WideInt> nz;
    nz.reserve(d.size() - std::size_t(zeroEnd - zeroBegin));
    nz.insert(nz.end(), d.begin(), zeroBegin);
    nz.insert(nz.end(), zeroEnd, d.end());
    const std::size_t n = nz.size();
    if (n == 0)
        return std::nullopt;
    const bool zeros = zeroEnd != zeroBegin;
    // Ranks of |d| by merging the negatives (read backwards) with the positives; ties of |d|
    // for the test, ties of equal values for the interval.
    const std::size_t negatives = std::size_t(zeroBegin - d.begin());
    std::size_t neg = negatives, pos = negatives;
    WideInt v2 = 0, ties = 0, tiesEqual = 0;
    bool anyTie = false;
    std::int64_t position = 1;
    while (neg > 0 || pos < n) {
        const bool takeNeg = neg > 0 && (pos >= n || -nz[neg - 1] <= nz[pos]);
        const WideInt a = takeNeg ? -nz[neg - 1] : nz[pos];
        std::int64_t cn = 0, cp = 0;
        while (neg > 0 && -nz[neg - 1] == a)
            --neg, ++cn;
        while (pos < n && nz[pos] == a)
            ++pos, ++cp;
        const std::int64_t t = cn + cp;
        v2 += WideInt(cp) * (2 * position + t - 1);
        if (t > 1) {
            anyTie = true;
            ties += tieTerm(t);
            tiesEqual += tieTerm(cn) + tieTerm(cp);
        }
        position += t;
    }
    SignedRank r;
    r.n = n;
    const WideInt wn = WideInt(n);
    const WideInt count = wn * (wn + 1) / 2;
    r.v = toDouble(v2) / 2;
    const double all = toDouble(count);
    r.r = (2 * r.v - all) / all;
    const WideInt base = 2 * wn * (wn + 1) * (2 * wn + 1); // 48 × n(n + 1)(2n + 1)/24
    const auto sd = [&](WideInt tieSum) { return std::sqrt(toDouble(base - tieSum) / 48); };
    const double sigma = sd(ties);
    const double centred = r.v - all / 2;
    r.z = (centred - sign(centred) * 0.5) / sigma;
    r.exact = n < 50 && !anyTie && !zeros;
    const auto walshCount = std::uint64_t(count);
    std::uint64_t k;
    if (r.exact) {
        const auto v = std::int64_t(r.v);
        r.p = std::min(
            1.0, 2 * signedRankCdf(std::min<std::int64_t>(v, std::int64_t(count) - v), int(n)));
        k = std::uint64_t(std::max<std::int64_t>(1, signedRankQuantile(0.025, int(n))));
    } else {
        r.p = twoSidedNormal(r.z);
        k = approximateK(walshCount, sd(tiesEqual));
    }
    // A Walsh sum is twice the average: two to a quarter tick.
    if (narrow(std::span<const WideInt>(nz))) {
        const std::vector<std::int64_t> small(nz.begin(), nz.end());
        locateShift(WalshRows<std::int64_t>{small}, walshCount, k, 2, r.shift);
    } else {
        locateShift(WalshRows<WideInt>{nz}, walshCount, k, 2, r.shift);
    }
    return r;
}

std::optional<KruskalWallis> kruskalWallis(std::span<const std::span<const std::int64_t>> groups) {
    const std::size_t k = groups.size();
    if (k < 2)
        return std::nullopt;
    std::size_t n = 0;
    for (const auto &g : groups) {
        if (g.empty())
            return std::nullopt;
        n += g.size();
    }
    std::vector<std::size_t> head(k, 0);
    std::vector<WideInt> rankSum2(k, 0);
    std::vector<std::int64_t> run(k, 0);
    WideInt ties = 0;
    std::int64_t position = 1;
    for (;;) {
        bool any = false;
        std::int64_t v = 0;
        for (std::size_t g = 0; g < k; ++g)
            if (head[g] < groups[g].size() && (!any || groups[g][head[g]] < v)) {
                v = groups[g][head[g]];
                any = true;
            }
        if (!any)
            break;
        std::int64_t t = 0;
        for (std::size_t g = 0; g < k; ++g) {
            run[g] = 0;
            while (head[g] < groups[g].size() && groups[g][head[g]] == v)
                ++head[g], ++run[g];
            t += run[g];
        }
        for (std::size_t g = 0; g < k; ++g)
            rankSum2[g] += WideInt(run[g]) * (2 * position + t - 1);
        if (t > 1)
            ties += tieTerm(t);
        position += t;
    }
    KruskalWallis r;
    r.df = int(k) - 1;
    const double nn = double(n);
    const WideInt wn = WideInt(n);
    const WideInt inner = (wn + 1) * wn * (wn - 1) - ties; // (n³ − n) − Σ(t³ − t)
    const double tieFactor = toDouble(inner) / (nn * nn * nn - nn);
    std::vector<double> meanRank(k);
    double between = 0;
    for (std::size_t g = 0; g < k; ++g) {
        const double ng = double(groups[g].size());
        meanRank[g] = toDouble(rankSum2[g]) / 2 / ng;
        const double dev = meanRank[g] - (nn + 1) / 2;
        between += ng * dev * dev;
    }
    const bool spread = inner > 0;
    r.h = spread ? 12 / (nn * (nn + 1)) * between / tieFactor : std::nan("");
    r.p = boost::math::cdf(
        boost::math::complement(boost::math::chi_squared_distribution<double, Quiet>(r.df), r.h));
    if (std::isnan(r.h))
        r.p = r.h;
    r.epsilonSquared = r.h / (nn - 1);
    // Dunn: the variance of a mean rank, n(n + 1)/12 − Σ(t³ − t)/(12(n − 1)) = inner/(12(n − 1)).
    const double variance = spread ? toDouble(inner) / (12 * (nn - 1)) : std::nan("");
    const double pairs = double(k * (k - 1) / 2);
    for (std::size_t a = 0; a < k; ++a)
        for (std::size_t b = a + 1; b < k; ++b) {
            const double se =
                std::sqrt(variance * (1 / double(groups[a].size()) + 1 / double(groups[b].size())));
            const double z = (meanRank[a] - meanRank[b]) / se;
            r.dunn.push_back({a, b, z, std::min(1.0, pairs * 2 * normalUpper(std::fabs(z)))});
        }
    return r;
}

std::optional<Spearman> spearman(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 2)
        return std::nullopt;
    // Doubled mid-ranks in pair order.
    bool ties = false;
    const auto ranks = [&](std::span<const std::int64_t> v) {
        const std::vector<std::uint32_t> order = ascendingOrder(v);
        std::vector<std::int64_t> r(n);
        for (std::size_t i = 0; i < n;) {
            std::size_t e = i + 1;
            while (e < n && v[order[e]] == v[order[i]])
                ++e;
            if (e - i > 1)
                ties = true;
            const auto doubled = std::int64_t(i + 1 + e); // 2 × mean of positions i+1 … e
            for (std::size_t q = i; q < e; ++q)
                r[order[q]] = doubled;
            i = e;
        }
        return r;
    };
    const std::vector<std::int64_t> rx = ranks(x.first(n)), ry = ranks(y.first(n));
    const WideInt centre = WideInt(n) + 1;
    WideInt sxx = 0, syy = 0, sxy = 0, s4 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const WideInt a = rx[i] - centre, b = ry[i] - centre, d = rx[i] - ry[i];
        sxx += a * a;
        syy += b * b;
        sxy += a * b;
        s4 += d * d;
    }
    Spearman r;
    const double nn = double(n);
    if (sxx == 0 || syy == 0) {
        r.rho = r.p = r.low = r.high = std::nan("");
        return r;
    }
    // Equal (or mirrored) rank vectors are exactly ±1; no rounding may reach past it.
    if (sxx == syy && (sxy == sxx || sxy == -sxx))
        r.rho = sxy > 0 ? 1 : -1;
    else
        r.rho =
            std::clamp(double(toLongDouble(sxy) / std::sqrt(toLongDouble(sxx) * toLongDouble(syy))),
                       -1.0, 1.0);
    if (n <= 1290 && !ties) {
        // S = Σ (rank x − rank y)², whole without ties; doubled ranks give 4S.
        const double s = toDouble(s4 / 4);
        const double mid = (nn * nn * nn - nn) / 6;
        const double p = s > mid ? spearmanS(s, int(n), false) : spearmanS(s + 2, int(n), true);
        r.p = std::min(1.0, 2 * p);
    } else {
        const double df = nn - 2;
        const double t = r.rho / std::sqrt((1 - r.rho * r.rho) / df);
        if (std::fabs(r.rho) == 1)
            r.p = 0;
        else
            r.p = std::min(1.0, 2 * boost::math::cdf(boost::math::complement(
                                        boost::math::students_t_distribution<double, Quiet>(df),
                                        std::fabs(t))));
    }
    if (n >= 4 && std::fabs(r.rho) < 1) {
        const double z = std::atanh(r.rho);
        const double se = std::sqrt((1 + r.rho * r.rho / 2) / (nn - 3));
        r.low = std::tanh(z - Z975 * se);
        r.high = std::tanh(z + Z975 * se);
    } else {
        r.low = r.high = std::nan("");
    }
    return r;
}

} // namespace quarbel::rank
