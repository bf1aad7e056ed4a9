#include "core/kgroups/k_groups.h"

#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/entry/quiet_policy.h"
#include "core/means/studentized_range.h"
#include "core/rank/rank_tests.h"

#include <QCoreApplication>

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace quarbel {
namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("KGroups", text);
}

constexpr std::array<std::pair<const char *, const char *>, 16> Items{{
    {"KGroupF", "方差分析 F"},
    {"KGroupDf1", "ν₁"},
    {"KGroupDf2", "ν₂"},
    {"KGroupP", "P"},
    {"KGroupEta2", "效应量 η²"},
    {"KGroupBartlettChi2", "Bartlett χ²"},
    {"KGroupBartlettP", "Bartlett P"},
    {"KGroupLeveneF", "Levene F"},
    {"KGroupLeveneP", "Levene P"},
    {"KGroupWelchF", "Welch F"},
    {"KGroupWelchDf2", "Welch ν₂"},
    {"KGroupWelchP", "Welch P"},
    {"KGroupKruskalH", "Kruskal-Wallis H"},
    {"KGroupKruskalDf", "ν"},
    {"KGroupKruskalP", "Kruskal-Wallis P"},
    {"KGroupKruskalEps2", "效应量 ε²"},
}};
enum Item {
    F,
    Df1,
    Df2,
    P,
    Eta2,
    BartlettChi2,
    BartlettP,
    LeveneF,
    LeveneP,
    WelchF,
    WelchDf2,
    WelchP,
    KruskalH,
    KruskalDf,
    KruskalP,
    KruskalEps2
};
enum PairColumn { CodeI, CodeJ, Diff, Low, High, TukeyP, GamesHowellP, DunnZ, DunnP, PairColumns };

constexpr long double Scale = Fixed4::Scale;

long double wide(const exact::Int &v) {
    return exact::toLongDouble(v);
}

double upperF(double f, double df1, double df2) {
    if (!std::isfinite(f) || !(df1 > 0) || !(df2 > 0) || !std::isfinite(df2))
        return NAN;
    const boost::math::fisher_f_distribution<double, Quiet> dist(df1, df2);
    return boost::math::cdf(boost::math::complement(dist, std::max(f, 0.0)));
}

QString groupName(const QString &code) {
    return tr("组%1").arg(code);
}

// One group as its totals give it; values in the units typed.
struct Group {
    std::int64_t code{0};
    std::int64_t n{0};
    WideInt sum{0};
    exact::Int spread{0}; // n·Σv² − (Σv)² in ticks², exact
    long double mean{0};
    long double variance{NAN}; // NaN below two values
};

// What the note must explain, found while the values are computed.
struct Gaps {
    QStringList single, flat;
    bool withinZero{false};
    bool tukeyDf{false};
    bool gamesHowellDf{false};
    bool allTied{false};
    QStringList tooFew, tooMany, noSpread;
    QStringList notNormal; // "组1（P=0.012）"
    QString leveneP;
};

// The 95% point of the range of k means depends on k and the within-group df alone, which most
// keystrokes leave as they were: remembering the last pair spares the quantile's root search.
std::optional<double> tukeyCritical(int k, double df) {
    thread_local int lastK = 0;
    thread_local double lastDf = NAN;
    thread_local std::optional<double> lastQ;
    if (k != lastK || !(df == lastDf)) {
        lastQ = studentizedRangeQuantile(0.95, k, df);
        lastK = k;
        lastDf = df;
    }
    return lastQ;
}

void putMeans(const std::map<std::int64_t, ColumnTotals> &totals, KGroupsResult &r, Gaps &gaps) {
    auto put = [&r](Item item, const QString &text) { r.tests.items[item].text = text; };
    std::vector<Group> g;
    g.reserve(totals.size());
    std::int64_t total = 0;
    WideInt grandSum = 0;
    for (const auto &[code, t] : totals) {
        Group group{code, t.n, t.sum, exact::spread(t.n, t.sum, t.squares.value()), 0, NAN};
        group.mean = wide(exact::Int(t.sum)) / t.n / Scale;
        if (t.n > 1)
            group.variance = wide(group.spread) / (long double)(t.n) / (t.n - 1) / Scale / Scale;
        total += t.n;
        grandSum += t.sum;
        g.push_back(group);
    }
    const std::size_t k = g.size();
    bool everyTwo = true, everySpread = true;
    for (const Group &group : g) {
        KGroupTexts texts;
        texts.code = plainForm(Fixed4::fromTicks(group.code));
        texts.n = QString::number(group.n);
        texts.mean = displayForm(double(group.mean));
        if (group.n > 1)
            texts.sd = displayForm(double(std::sqrt(group.variance)));
        r.groups.push_back(texts);
        r.codes.push_back(group.code);
        if (group.n < 2)
            gaps.single << groupName(texts.code);
        else if (group.spread == 0)
            gaps.flat << groupName(texts.code);
        everyTwo = everyTwo && group.n > 1;
        everySpread = everySpread && group.spread > 0;
    }
    if (k < 2)
        return;

    // Deviations from the grand mean from exact numerators, so means of 10⁹ keep the digits of
    // their spread; the within sum of squares from each group's exact spread.
    const long double n = (long double)(total);
    long double between = 0, within = 0;
    std::vector<long double> dev(k);
    for (std::size_t i = 0; i < k; ++i) {
        const exact::Int num = exact::Int(g[i].sum) * total - exact::Int(grandSum) * g[i].n;
        dev[i] = wide(num) / (long double)(g[i].n) / n / Scale;
        between += (long double)(g[i].n) * dev[i] * dev[i];
        within += wide(g[i].spread) / (long double)(g[i].n) / Scale / Scale;
    }
    const double df1 = double(k - 1), df2 = double(total) - double(k);
    if (between + within > 0)
        put(Eta2, displayForm(double(between / (between + within))));
    const long double msWithin = within / (long double)(df2);
    if (df2 >= 1 && within > 0) {
        const double f = double(between / (long double)(df1) / msWithin);
        put(F, displayForm(f));
        put(Df1, plainForm(df1));
        put(Df2, plainForm(df2));
        put(P, pValueForm(upperF(f, df1, df2)));
    } else if (df2 >= 1) {
        gaps.withinZero = true;
    }

    if (everyTwo && everySpread) {
        long double logs = 0, reciprocal = 0;
        for (const Group &group : g) {
            const long double nu = (long double)(group.n - 1);
            logs += nu * std::log(msWithin / group.variance);
            reciprocal += 1 / nu;
        }
        const long double chi2 =
            logs / (1 + (reciprocal - 1 / (long double)(df2)) / (3 * (long double)(df1)));
        const double c = std::max(0.0, double(chi2));
        if (std::isfinite(c)) {
            put(BartlettChi2, displayForm(c));
            put(BartlettP, pValueForm(boost::math::cdf(boost::math::complement(
                               boost::math::chi_squared_distribution<double, Quiet>(df1), c))));
        }
        long double weights = 0, shift = 0;
        std::vector<long double> w(k);
        for (std::size_t i = 0; i < k; ++i) {
            w[i] = (long double)(g[i].n) / g[i].variance;
            weights += w[i];
            shift += w[i] * dev[i];
        }
        shift /= weights;
        long double spreadOfMeans = 0, lambda = 0;
        for (std::size_t i = 0; i < k; ++i) {
            spreadOfMeans += w[i] * (dev[i] - shift) * (dev[i] - shift);
            lambda += (1 - w[i] / weights) * (1 - w[i] / weights) / (long double)(g[i].n - 1);
        }
        const long double kk = (long double)(k);
        const double welchF =
            double(spreadOfMeans / (kk - 1) / (1 + 2 * (kk - 2) / (kk * kk - 1) * lambda));
        const double welchDf = double((kk * kk - 1) / (3 * lambda));
        if (std::isfinite(welchF) && std::isfinite(welchDf)) {
            put(WelchF, displayForm(welchF));
            put(WelchDf2, fixedForm(welchDf, 2));
            put(WelchP, pValueForm(upperF(welchF, df1, welchDf)));
        }
    }

    const double q95 = df2 >= 2 && within > 0 ? tukeyCritical(int(k), df2).value_or(NAN) : NAN;
    if (df2 < 2)
        gaps.tukeyDf = true;
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = i + 1; j < k; ++j) {
            QStringList row(PairColumns);
            row[CodeI] = r.groups[i].code;
            row[CodeJ] = r.groups[j].code;
            const exact::Int num = exact::Int(g[i].sum) * g[j].n - exact::Int(g[j].sum) * g[i].n;
            const long double diff =
                wide(num) / (long double)(g[i].n) / (long double)(g[j].n) / Scale;
            row[Diff] = displayForm(double(diff));
            const long double inverse = 1 / (long double)(g[i].n) + 1 / (long double)(g[j].n);
            const double se = double(std::sqrt(msWithin / 2 * inverse));
            if (std::isfinite(q95) && se > 0 && std::isfinite(se)) {
                row[Low] = displayForm(double(diff) - q95 * se);
                row[High] = displayForm(double(diff) + q95 * se);
                if (const auto cdf = studentizedRangeCdf(std::fabs(double(diff)) / se, int(k), df2))
                    row[TukeyP] = pValueForm(1 - *cdf);
            }
            if (g[i].n > 1 && g[j].n > 1) {
                const long double vi = g[i].variance / (long double)(g[i].n);
                const long double vj = g[j].variance / (long double)(g[j].n);
                const double ghSe = double(std::sqrt((vi + vj) / 2));
                const double ghDf = double(
                    (vi + vj) * (vi + vj) /
                    (vi * vi / (long double)(g[i].n - 1) + vj * vj / (long double)(g[j].n - 1)));
                if (ghSe > 0 && std::isfinite(ghSe) && ghDf < 2)
                    gaps.gamesHowellDf = true;
                else if (ghSe > 0 && std::isfinite(ghSe))
                    if (const auto cdf =
                            studentizedRangeCdf(std::fabs(double(diff)) / ghSe, int(k), ghDf))
                        row[GamesHowellP] = pValueForm(1 - *cdf);
            }
            r.pairs.push_back(row);
        }
}

// Levene's test about the median (Brown–Forsythe): the analysis of variance of |x − median|,
// the deviations exact in quarter ticks.
void putLevene(const std::vector<std::vector<std::int64_t>> &sorted,
               const std::vector<rank::QuarterTicks> &medians, KGroupsResult &r, Gaps &gaps) {
    const std::size_t k = sorted.size();
    std::vector<long double> mean(k, 0);
    long double grand = 0, within = 0;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < k; ++i) {
        long double sum = 0;
        for (std::int64_t x : sorted[i]) {
            const WideInt d = 4 * WideInt(x) - medians[i];
            sum += (long double)(d < 0 ? -d : d);
        }
        mean[i] = sum / (long double)(sorted[i].size());
        grand += sum;
        total += std::int64_t(sorted[i].size());
        for (std::int64_t x : sorted[i]) {
            const WideInt d = 4 * WideInt(x) - medians[i];
            const long double e = (long double)(d < 0 ? -d : d) - mean[i];
            within += e * e;
        }
    }
    grand /= (long double)(total);
    long double between = 0;
    for (std::size_t i = 0; i < k; ++i)
        between += (long double)(sorted[i].size()) * (mean[i] - grand) * (mean[i] - grand);
    const double df1 = double(k - 1), df2 = double(total) - double(k);
    if (!(within > 0) || df2 < 1)
        return;
    const double f = double(between / (long double)(df1) / (within / (long double)(df2)));
    if (!std::isfinite(f))
        return;
    const double p = upperF(f, df1, df2);
    r.tests.items[LeveneF].text = displayForm(f);
    r.tests.items[LeveneP].text = pValueForm(p);
    if (p < 0.05)
        gaps.leveneP = pValueForm(p);
}

void putRanks(const KGroupsColumns &columns, KGroupsResult &r, Gaps &gaps) {
    const std::size_t k = r.codes.size();
    std::vector<std::vector<std::int64_t>> sorted(k);
    for (std::size_t i = 0; i < k; ++i)
        sorted[i].reserve(std::size_t(r.groups[i].n.toLongLong()));
    const std::size_t rows = std::min(columns.value.size(), columns.group.size());
    for (std::size_t row = 0; row < rows; ++row) {
        const std::int64_t v = columns.value[row], c = columns.group[row];
        if (v == ColumnList::Missing || c == ColumnList::Missing)
            continue;
        const auto at = std::lower_bound(r.codes.begin(), r.codes.end(), c);
        sorted[std::size_t(at - r.codes.begin())].push_back(v);
    }
    std::vector<rank::QuarterTicks> medians(k, 0);
    double smallestP = 1;
    for (std::size_t i = 0; i < k; ++i) {
        sorted[i] = rank::sortedPresent(sorted[i]);
        const std::vector<std::int64_t> &s = sorted[i];
        KGroupTexts &t = r.groups[i];
        if (const auto q = rank::quartiles(std::span<const std::int64_t>(s))) {
            t.median = rank::quarterTicksForm(q->median);
            t.p25 = rank::quarterTicksForm(q->p25);
            t.p75 = rank::quarterTicksForm(q->p75);
            medians[i] = q->median;
        }
        const bool spread = !s.empty() && s.front() != s.back();
        const auto sw = rank::shapiroWilk(std::span<const std::int64_t>(s));
        if (sw && std::isfinite(sw->p)) {
            t.shapiroP = pValueForm(sw->p);
            if (sw->p < 0.05) {
                const QString p = t.shapiroP;
                gaps.notNormal << tr("%1（P%2）")
                                      .arg(groupName(t.code),
                                           p.startsWith(u'<') ? p : QStringLiteral("=") + p);
                smallestP = std::min(smallestP, sw->p);
            }
        } else {
            switch (rank::normalityGap(s.size(), spread)) {
            case rank::NormalityGap::TooFew:
                gaps.tooFew << groupName(t.code);
                break;
            case rank::NormalityGap::TooMany:
                gaps.tooMany << groupName(t.code);
                break;
            default:
                gaps.noSpread << groupName(t.code);
                break;
            }
        }
    }
    if (k < 2)
        return;
    if (gaps.single.isEmpty())
        putLevene(sorted, medians, r, gaps);

    std::vector<std::span<const std::int64_t>> spans(sorted.begin(), sorted.end());
    const auto kw = rank::kruskalWallis(spans);
    if (!kw || !std::isfinite(kw->h)) {
        gaps.allTied = kw.has_value();
        return;
    }
    r.tests.items[KruskalH].text = displayForm(kw->h);
    r.tests.items[KruskalDf].text = QString::number(kw->df);
    r.tests.items[KruskalP].text = pValueForm(kw->p);
    r.tests.items[KruskalEps2].text = displayForm(kw->epsilonSquared);
    for (std::size_t q = 0; q < kw->dunn.size() && q < r.pairs.size(); ++q) {
        r.pairs[q][DunnZ] = displayForm(kw->dunn[q].z);
        r.pairs[q][DunnP] = pValueForm(kw->dunn[q].p);
    }
}

QString listed(const QStringList &groups) {
    return groups.join(tr("、"));
}

QString noteOf(const Gaps &gaps, KGroupsChoice choice, std::int64_t halfRows, bool complete) {
    QStringList notes;
    if (choice == KGroupsChoice::Rank)
        notes << tr("%1的 Shapiro-Wilk 正态性检验 P < 0.05，不宜假定正态分布：请报告 "
                    "Kruskal-Wallis 检验和 Dunn 两两比较，并以 M (P25, P75) 描述")
                     .arg(listed(gaps.notNormal));
    else if (choice == KGroupsChoice::Welch)
        notes << tr("各组方差不齐（Levene 检验 P%1）：请报告 Welch 方差分析和 Games-Howell "
                    "两两比较")
                     .arg(gaps.leveneP.startsWith(u'<') ? gaps.leveneP
                                                        : QStringLiteral(" = ") + gaps.leveneP);
    if (halfRows > 0)
        notes << tr("%1 行只有观察值或只有组别，未纳入分析").arg(halfRows);
    if (!gaps.single.isEmpty())
        notes << tr("%1只有 1 个数据：没有标准差，也没有与其他组的 Games-Howell P；Welch 方差分析、"
                    "Bartlett 和 Levene 检验需要每组至少 2 个数据")
                     .arg(listed(gaps.single));
    else if (!gaps.flat.isEmpty())
        notes << tr("%1的值全部相同：无法作 Bartlett 检验和 Welch 方差分析").arg(listed(gaps.flat));
    if (gaps.withinZero)
        notes << tr("各组内的值都相同（组内变异为 0）：无法作 F 检验和 Tukey 比较");
    else if (gaps.tukeyDf)
        notes << tr("组内自由度不足 2，数据太少：无法给出 Tukey 区间和校正 P");
    if (gaps.gamesHowellDf)
        notes << tr("有的两组 Welch 自由度小于 2：这些组对的 Games-Howell P 无法计算");
    if (complete) {
        if (!gaps.tooFew.isEmpty())
            notes << tr("%1不足 3 例，无法作 Shapiro-Wilk 正态性检验").arg(listed(gaps.tooFew));
        if (!gaps.tooMany.isEmpty())
            notes << tr("%1超过 5000 例，Shapiro-Wilk 检验不适用：请看图中的分布判断正态性")
                         .arg(listed(gaps.tooMany));
        if (!gaps.noSpread.isEmpty() && gaps.flat.isEmpty())
            notes << tr("%1的值全部相同，无法作正态性检验").arg(listed(gaps.noSpread));
        if (gaps.allTied)
            notes << tr("所有观察值都相同：无法作 Kruskal-Wallis 检验和 Dunn 比较");
    }
    return notes.isEmpty() ? QString() : notes.join(tr("；")) + tr("。");
}

KGroupsResult tooMany() {
    KGroupsResult r;
    r.tests = kGroupsLayout();
    r.tests.note = tr("组别超过 10 个：本方法最多比较 10 组，请合并或删去一些组。");
    return r;
}

} // namespace

KGroupTotals KGroupTotals::of(const KGroupsColumns &columns) {
    KGroupTotals t;
    const std::size_t rows = std::max(columns.value.size(), columns.group.size());
    for (std::size_t i = 0; i < rows; ++i) {
        const std::int64_t v = i < columns.value.size() ? columns.value[i] : ColumnList::Missing;
        const std::int64_t c = i < columns.group.size() ? columns.group[i] : ColumnList::Missing;
        if (v != ColumnList::Missing && c != ColumnList::Missing) {
            t.add(v, c);
            if (t.m_groups.size() > std::size_t(KGroupsMax)) {
                t.m_overflowed = true;
                return t;
            }
        } else if ((v == ColumnList::Missing) != (c == ColumnList::Missing))
            ++t.m_halfRows;
    }
    return t;
}

void KGroupTotals::add(std::int64_t value, std::int64_t code) {
    m_groups[code].add(value);
}

void KGroupTotals::remove(std::int64_t value, std::int64_t code) {
    const auto at = m_groups.find(code);
    if (at == m_groups.end())
        return;
    at->second.remove(value);
    if (at->second.n == 0)
        m_groups.erase(at);
}

void KGroupTotals::valueChanged(std::int64_t before, std::int64_t after, std::int64_t code) {
    constexpr std::int64_t M = ColumnList::Missing;
    if (m_overflowed)
        return;
    if (code == M) {
        m_halfRows += std::int64_t(after != M) - std::int64_t(before != M);
        return;
    }
    if (before != M)
        remove(before, code);
    else
        --m_halfRows;
    if (after != M)
        add(after, code);
    else
        ++m_halfRows;
    m_overflowed = m_groups.size() > std::size_t(KGroupsMax);
}

void KGroupTotals::codeChanged(std::int64_t value, std::int64_t before, std::int64_t after) {
    constexpr std::int64_t M = ColumnList::Missing;
    if (m_overflowed)
        return;
    if (value == M) {
        m_halfRows += std::int64_t(after != M) - std::int64_t(before != M);
        return;
    }
    if (before != M)
        remove(value, before);
    else
        --m_halfRows;
    if (after != M)
        add(value, after);
    else
        ++m_halfRows;
    m_overflowed = m_groups.size() > std::size_t(KGroupsMax);
}

std::int64_t KGroupTotals::rows() const {
    std::int64_t n = 0;
    for (const auto &entry : m_groups)
        n += entry.second.n;
    return n;
}

Details kGroupsLayout() {
    Details d;
    for (const auto &[name, caption] : Items)
        d.items.append({QString::fromLatin1(name), tr(caption), QString()});
    return d;
}

QStringList kGroupPairHeader() {
    return {tr("组 i"),           tr("组 j"),      tr("均数差 i−j"),
            tr("95%CI下限"),      tr("95%CI上限"), tr("Tukey P"),
            tr("Games-Howell P"), tr("Dunn z"),    tr("Dunn P（Bonferroni）")};
}

KGroupsResult kGroupMeans(const KGroupTotals &totals) {
    if (totals.overflowed())
        return tooMany();
    KGroupsResult r;
    r.tests = kGroupsLayout();
    Gaps gaps;
    putMeans(totals.groups(), r, gaps);
    r.tests.note = r.groups.size() == 1
                       ? tr("只有 1 组：至少需要 2 组才能比较。")
                       : noteOf(gaps, KGroupsChoice::None, totals.halfRows(), false);
    return r;
}

KGroupsResult analyseKGroups(const KGroupsColumns &columns) {
    const KGroupTotals totals = KGroupTotals::of(columns);
    if (totals.overflowed())
        return tooMany();
    KGroupsResult r;
    r.tests = kGroupsLayout();
    r.complete = true;
    Gaps gaps;
    putMeans(totals.groups(), r, gaps);
    putRanks(columns, r, gaps);
    if (r.groups.size() >= 2)
        r.choice = !gaps.notNormal.isEmpty() ? KGroupsChoice::Rank
                   : !gaps.leveneP.isEmpty() ? KGroupsChoice::Welch
                                             : KGroupsChoice::Anova;
    r.tests.note = noteOf(gaps, r.choice, totals.halfRows(), true);
    if (r.groups.size() == 1)
        r.tests.note = tr("只有 1 组：至少需要 2 组才能比较。");
    r.picture = kGroupsPicture(columns);
    return r;
}

} // namespace quarbel
