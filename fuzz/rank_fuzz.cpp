// Columns of ticks from the bytes into the rank tests and normality checks of the four grid
// methods and their building blocks: heavy ties, huge values beside tiny ones, empty cells,
// single values and whole columns of one value. Nothing may throw or crash, every shown text
// keeps its field's pattern (no "nan", no "inf"), P stays in [0, 1], intervals are ordered,
// and the selection of order statistics agrees with the sorted list of all pairs.
#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/plots/qq_plot.h"
#include "core/rank/rank_details.h"
#include "core/rank/rank_tests.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace quarbel;
using quarbel::fuzz::isDisplayPattern;

namespace {

constexpr std::size_t Columns = 4;

// Three bytes an entry: the column and kind of value, then two bytes of value.
std::array<std::vector<std::int64_t>, Columns> columnsOf(const std::uint8_t *data,
                                                         std::size_t size) {
    std::array<std::vector<std::int64_t>, Columns> c;
    for (std::size_t i = 0; i + 2 < size; i += 3) {
        const std::uint8_t head = data[i];
        const auto value = std::int64_t(data[i + 1]) << 8 | data[i + 2];
        std::int64_t t;
        switch ((head >> 2) % 8) {
        case 0:
            t = ColumnList::Missing;
            break;
        case 1:
            t = (value % 5) * 10000;
            break; // a few whole values: ties everywhere
        case 2:
            t = std::int64_t(1'000'000'000'000'000'000) + value;
            break; // 10¹⁴
        case 3:
            t = -std::int64_t(1'000'000'000'000'000'000) - value;
            break;
        case 4:
            t = std::numeric_limits<std::int64_t>::max() - value;
            break;
        case 5:
            t = std::numeric_limits<std::int64_t>::min() + 1 + value;
            break;
        case 6:
            t = value - 32768;
            break; // tiny
        default:
            t = value * 97;
            break;
        }
        c[head % Columns].push_back(t);
    }
    return c;
}

bool isPValue(const QString &s) {
    if (s == QLatin1String("<0.001"))
        return true;
    bool ok = false;
    const double p = s.toDouble(&ok);
    return ok && p >= 0 && p <= 1 && s.size() == 5 && s[1] == u'.';
}

void checkDetails(const RankDetails &r, const Details &layout) {
    FUZZ_CHECK(r.details.items.size() == layout.items.size());
    for (qsizetype i = 0; i < layout.items.size(); ++i) {
        const DetailItem &item = r.details.items[i];
        FUZZ_CHECK(item.name == layout.items[i].name);
        const QString &t = item.text;
        FUZZ_CHECK(!t.contains(QLatin1String("nan"), Qt::CaseInsensitive) &&
                   !t.contains(QLatin1String("inf"), Qt::CaseInsensitive));
        if (t.isEmpty())
            continue;
        if (item.name.endsWith(QLatin1String("Method")))
            FUZZ_CHECK(t == QStringLiteral("精确") || t == QStringLiteral("正态近似"));
        else if (item.name == QLatin1String("KruskalDf"))
            FUZZ_CHECK(t == QLatin1String("2"));
        else if (item.name.endsWith(u'P') || item.name.contains(QLatin1String("ShapiroP")) ||
                 item.name.startsWith(QLatin1String("DunnP")))
            FUZZ_CHECK(isPValue(t));
        else
            FUZZ_CHECK(isDisplayPattern(t));
    }
    // An interval is shown whole or not at all.
    for (const char *stem : {"MannWhitneyShift", "SignedRankShift", "Spearman"}) {
        const QString low = r.details.text(QLatin1String(stem) + QLatin1String("Low"));
        const QString high = r.details.text(QLatin1String(stem) + QLatin1String("High"));
        FUZZ_CHECK(low.isEmpty() == high.isEmpty());
    }
    FUZZ_CHECK(!r.reportRankTest || !r.details.note.isEmpty());
}

void checkShift(const rank::Shift &s) {
    FUZZ_CHECK(s.low.has_value() == s.high.has_value());
    if (s.low)
        FUZZ_CHECK(*s.low <= s.estimate && s.estimate <= *s.high);
}

bool inUnit(double p) {
    return std::isnan(p) || (p >= 0 && p <= 1);
}

// The selection against the sorted list of every pair, where that list is small.
void checkSelection(const std::vector<std::int64_t> &x, const std::vector<std::int64_t> &y) {
    if (x.empty() || y.empty() || x.size() * y.size() > 20000)
        return;
    std::vector<WideInt> all;
    for (auto a : x)
        for (auto b : y)
            all.push_back(WideInt(a) - WideInt(b));
    std::sort(all.begin(), all.end());
    for (std::uint64_t k :
         {std::uint64_t(1), std::uint64_t(all.size() + 1) / 2, std::uint64_t(all.size())})
        FUZZ_CHECK(rank::kthDifference(x, y, k) == all[k - 1]);
    const std::vector<WideInt> d(x.begin(), x.end());
    std::vector<WideInt> walsh;
    for (std::size_t i = 0; i < d.size(); ++i)
        for (std::size_t j = i; j < d.size(); ++j)
            walsh.push_back(d[i] + d[j]);
    std::sort(walsh.begin(), walsh.end());
    for (std::uint64_t k :
         {std::uint64_t(1), std::uint64_t(walsh.size() + 1) / 2, std::uint64_t(walsh.size())})
        FUZZ_CHECK(rank::kthWalshSum(d, k) == walsh[k - 1]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const auto c = columnsOf(data, size);

    checkDetails(rankTwoSample(c[0], c[1]), rankTwoSampleLayout());
    checkDetails(rankPaired(c[0], c[1]), rankPairedLayout());
    checkDetails(rankAnova({c[0], c[1], c[2]}), rankAnovaLayout());
    checkDetails(rankCorrelation(c[0], c[1]), rankCorrelationLayout());

    // The normal Q–Q plots drawn from the same lists: sorted points, finite where the values
    // are, and a line wherever a group has two values.
    const std::array<std::span<const std::int64_t>, 3> lists{c[0], c[1], c[2]};
    for (Method m : {TwoSampleT, PairedT, Anova, Correlation})
        for (const QqSeries &q : qqPicture(m, lists)) {
            for (std::size_t i = 1; i < q.points.size(); ++i)
                FUZZ_CHECK(q.points[i - 1].x < q.points[i].x && q.points[i - 1].y <= q.points[i].y);
            FUZZ_CHECK(q.slope.has_value() == (q.points.size() >= 2));
        }

    std::array<std::vector<std::int64_t>, Columns> sorted;
    for (std::size_t i = 0; i < Columns; ++i)
        sorted[i] = rank::sortedPresent(c[i]);
    checkSelection(sorted[0], sorted[1]);

    if (const auto t = rank::rankSumTest(sorted[0], sorted[1])) {
        FUZZ_CHECK(inUnit(t->p) && t->rankBiserial >= -1 && t->rankBiserial <= 1);
        checkShift(t->shift);
    }
    std::vector<WideInt> d(sorted[0].begin(), sorted[0].end());
    if (const auto t = rank::signedRankTest(d)) {
        FUZZ_CHECK(inUnit(t->p) && t->r >= -1 && t->r <= 1 && t->n <= d.size());
        checkShift(t->shift);
    }
    for (std::size_t i = 0; i < Columns; ++i)
        if (const auto sw = rank::shapiroWilk(std::span<const std::int64_t>(sorted[i])))
            FUZZ_CHECK(sw->w >= 0 && sw->w <= 1 + 1e-12 && inUnit(sw->p));
    // Kruskal–Wallis with k = 2…4 groups, Dunn for every pair.
    for (std::size_t k = 2; k <= Columns; ++k) {
        std::vector<std::span<const std::int64_t>> groups(sorted.begin(), sorted.begin() + k);
        if (const auto kw = rank::kruskalWallis(groups)) {
            FUZZ_CHECK(kw->df == int(k) - 1 && kw->dunn.size() == k * (k - 1) / 2);
            FUZZ_CHECK(inUnit(kw->p) && (std::isnan(kw->h) || kw->h >= -1e-9));
            for (const auto &pair : kw->dunn)
                FUZZ_CHECK(inUnit(pair.p));
        }
    }
    const std::size_t n = std::min(c[0].size(), c[1].size());
    if (const auto s = rank::spearman(std::span(c[0]).first(n), std::span(c[1]).first(n))) {
        FUZZ_CHECK(std::isnan(s->rho) || (s->rho >= -1 && s->rho <= 1));
        FUZZ_CHECK(inUnit(s->p));
        if (!std::isnan(s->low))
            FUZZ_CHECK(s->low <= s->rho && s->rho <= s->high);
    }
    return 0;
}
