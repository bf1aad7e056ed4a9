#include "core/rank/rank_details.h"

#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/rank/rank_tests.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

namespace quarbel {
namespace {

using namespace rank;

QString tr(const char *text) {
    return QCoreApplication::translate("RankNotes", text);
}

void put(Details &d, QStringView name, const QString &text) {
    for (DetailItem &item : d.items)
        if (item.name == name) {
            item.text = text;
            return;
        }
}

QString methodLabel(bool exact) {
    return exact ? QStringLiteral("精确") : QStringLiteral("正态近似");
}

// One group's normality check and its place in the note.
struct GroupCheck {
    QString label; // "第1组", "差值", "X"
    std::size_t n{0};
    std::optional<ShapiroWilk> sw;
    bool spread{false};
};

template <class T>
GroupCheck describe(Details &d, const QString &label, std::span<const T> sorted,
                    const QString &median, const QString &p25, const QString &p75, const QString &w,
                    const QString &p) {
    GroupCheck g{label, sorted.size(), std::nullopt,
                 !sorted.empty() && sorted.front() != sorted.back()};
    if (const auto q = quartiles(sorted)) {
        put(d, median, quarterTicksForm(q->median));
        put(d, p25, quarterTicksForm(q->p25));
        put(d, p75, quarterTicksForm(q->p75));
    }
    g.sw = shapiroWilk(sorted);
    if (g.sw) {
        put(d, w, displayForm(g.sw->w));
        put(d, p, pValueForm(g.sw->p));
    }
    return g;
}

// The note from the groups' checks: a group that is not normal asks for the rank test; else
// the first reason a value is empty (`testGap` for the test itself, when there is one).
QString noteOf(const std::vector<GroupCheck> &groups, bool spearmanTest, const QString &testGap,
               bool *recommend) {
    QStringList failing;
    for (const GroupCheck &g : groups)
        if (g.sw && g.sw->p < 0.05) {
            const QString p = pValueForm(g.sw->p);
            failing << tr("%1（P%2）").arg(g.label, p.startsWith(u'<') ? p : u'=' + p);
        }
    *recommend = !failing.isEmpty();
    if (*recommend) {
        const QString list = failing.join(tr("、"));
        return spearmanTest ? tr("%1的 Shapiro-Wilk 正态性检验 P < 0.05，不宜假定正态分布：请报告 "
                                 "Spearman 秩相关，并以 M (P25, P75) 描述。")
                                  .arg(list)
                            : tr("%1的 Shapiro-Wilk 正态性检验 P < 0.05，不宜假定正态分布：请报告"
                                 "秩和检验，并以 M (P25, P75) 描述。")
                                  .arg(list);
    }
    bool anyData = false;
    for (const GroupCheck &g : groups)
        anyData = anyData || g.n > 0;
    if (!anyData)
        return tr("秩和检验与正态性检验需要原始数据：请在表格中输入各组的原始数据（由汇总框输入的"
                  "均数和标准差不能计算这些值）。");
    if (!testGap.isEmpty())
        return testGap;
    for (const GroupCheck &g : groups) {
        if (g.n == 0)
            continue;
        switch (normalityGap(g.n, g.spread)) {
        case NormalityGap::TooFew:
            return tr("%1不足 3 例，无法做 Shapiro-Wilk 正态性检验。").arg(g.label);
        case NormalityGap::TooMany:
            return tr("%1超过 5000 例，Shapiro-Wilk 检验不适用：请看正态Q-Q图判断正态性。")
                .arg(g.label);
        case NormalityGap::NoSpread:
            return tr("%1的值全部相同，无法做正态性检验。").arg(g.label);
        case NormalityGap::None:
            break;
        }
    }
    return {};
}

QString groupLabel(int i) {
    return tr("第%1组").arg(i);
}

QString numbered(const char *stem, int i) {
    return QLatin1String(stem) + QString::number(i);
}

// Present ticks of complete pairs only.
std::pair<std::vector<std::int64_t>, std::vector<std::int64_t>>
completePairs(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    std::pair<std::vector<std::int64_t>, std::vector<std::int64_t>> pairs;
    const std::size_t n = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < n; ++i)
        if (x[i] != ColumnList::Missing && y[i] != ColumnList::Missing) {
            pairs.first.push_back(x[i]);
            pairs.second.push_back(y[i]);
        }
    return pairs;
}

void putShift(Details &d, const Shift &s, const char *estimate, const char *low, const char *high) {
    put(d, QString::fromLatin1(estimate), quarterTicksForm(s.estimate));
    if (s.low && s.high) {
        put(d, QString::fromLatin1(low), quarterTicksForm(*s.low));
        put(d, QString::fromLatin1(high), quarterTicksForm(*s.high));
    }
}

} // namespace

Details rankTwoSampleLayout() {
    static const Details layout =
        emptyDetails(std::array<std::pair<const char *, const char *>, 18>{{
            {"TwoSampleMedian1", "第1组 M="},
            {"TwoSampleP25of1", "第1组 P25="},
            {"TwoSampleP75of1", "第1组 P75="},
            {"TwoSampleMedian2", "第2组 M="},
            {"TwoSampleP25of2", "第2组 P25="},
            {"TwoSampleP75of2", "第2组 P75="},
            {"MannWhitneyU", "秩和检验 U="},
            {"MannWhitneyZ", "Z="},
            {"MannWhitneyP", "秩和检验 P="},
            {"MannWhitneyMethod", "P 值算法："},
            {"MannWhitneyShift", "位置差 HL="},
            {"MannWhitneyShiftLow", "95%CI 下限="},
            {"MannWhitneyShiftHigh", "95%CI 上限="},
            {"MannWhitneyRrb", "秩双列相关 r="},
            {"TwoSampleShapiroW1", "第1组 S-W W="},
            {"TwoSampleShapiroP1", "第1组 S-W P="},
            {"TwoSampleShapiroW2", "第2组 S-W W="},
            {"TwoSampleShapiroP2", "第2组 S-W P="},
        }});
    return layout;
}

Details rankPairedLayout() {
    static const Details layout =
        emptyDetails(std::array<std::pair<const char *, const char *>, 13>{{
            {"PairedMedianDiff", "差值中位数 M="},
            {"PairedP25Diff", "差值 P25="},
            {"PairedP75Diff", "差值 P75="},
            {"SignedRankV", "Wilcoxon 符号秩 V="},
            {"SignedRankZ", "Z="},
            {"SignedRankP", "符号秩检验 P="},
            {"SignedRankMethod", "P 值算法："},
            {"SignedRankShift", "伪中位数 HL="},
            {"SignedRankShiftLow", "95%CI 下限="},
            {"SignedRankShiftHigh", "95%CI 上限="},
            {"SignedRankRrb", "配对秩双列相关 r="},
            {"PairedShapiroW", "差值 S-W W="},
            {"PairedShapiroP", "差值 S-W P="},
        }});
    return layout;
}

Details rankAnovaLayout() {
    static const Details layout = [] {
        Details d;
        auto add = [&d](const QString &name, const QString &caption) {
            d.items.append(DetailItem{name, caption, QString()});
        };
        for (int g = 1; g <= 3; ++g) {
            add(numbered("AnovaMedian", g), QStringLiteral("第%1组 M=").arg(g));
            add(numbered("AnovaP25of", g), QStringLiteral("第%1组 P25=").arg(g));
            add(numbered("AnovaP75of", g), QStringLiteral("第%1组 P75=").arg(g));
        }
        add(QStringLiteral("KruskalH"), QStringLiteral("Kruskal-Wallis H="));
        add(QStringLiteral("KruskalDf"), QStringLiteral("自由度 ν="));
        add(QStringLiteral("KruskalP"), QStringLiteral("Kruskal-Wallis P="));
        add(QStringLiteral("KruskalEps2"), QStringLiteral("效应量 ε²="));
        for (const char *pair : {"12", "13", "23"}) {
            const QString shown = QStringLiteral("%1-%2").arg(QChar(pair[0]), QChar(pair[1]));
            add(QLatin1String("DunnZ") + QLatin1String(pair),
                QStringLiteral("Dunn z(%1)=").arg(shown));
            add(QLatin1String("DunnP") + QLatin1String(pair),
                QStringLiteral("P(%1) 校正=").arg(shown));
        }
        for (int g = 1; g <= 3; ++g) {
            add(numbered("AnovaShapiroW", g), QStringLiteral("第%1组 S-W W=").arg(g));
            add(numbered("AnovaShapiroP", g), QStringLiteral("第%1组 S-W P=").arg(g));
        }
        return d;
    }();
    return layout;
}

Details rankCorrelationLayout() {
    static const Details layout =
        emptyDetails(std::array<std::pair<const char *, const char *>, 8>{{
            {"SpearmanRho", "Spearman ρ="},
            {"SpearmanP", "Spearman P="},
            {"SpearmanLow", "ρ 的95%CI 下限="},
            {"SpearmanHigh", "ρ 的95%CI 上限="},
            {"CorrShapiroWX", "X 的 S-W W="},
            {"CorrShapiroPX", "X 的 S-W P="},
            {"CorrShapiroWY", "Y 的 S-W W="},
            {"CorrShapiroPY", "Y 的 S-W P="},
        }});
    return layout;
}

RankDetails rankTwoSample(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    RankDetails r{rankTwoSampleLayout()};
    Details &d = r.details;
    const std::vector<std::int64_t> a = sortedPresent(x), b = sortedPresent(y);
    std::vector<GroupCheck> groups;
    for (int g = 1; g <= 2; ++g)
        groups.push_back(describe<std::int64_t>(
            d, groupLabel(g), g == 1 ? a : b, numbered("TwoSampleMedian", g),
            numbered("TwoSampleP25of", g), numbered("TwoSampleP75of", g),
            numbered("TwoSampleShapiroW", g), numbered("TwoSampleShapiroP", g)));
    QString gap;
    if (const auto t = rankSumTest(a, b)) {
        put(d, u"MannWhitneyU", displayForm(t->u));
        put(d, u"MannWhitneyRrb", displayForm(t->rankBiserial));
        putShift(d, t->shift, "MannWhitneyShift", "MannWhitneyShiftLow", "MannWhitneyShiftHigh");
        if (std::isfinite(t->z)) {
            put(d, u"MannWhitneyZ", displayForm(t->z));
            put(d, u"MannWhitneyP", pValueForm(t->p));
            put(d, u"MannWhitneyMethod", methodLabel(t->exact));
        } else {
            gap = tr("两组的值全部相同：秩和检验的 Z、P 和位置差的区间无法计算。");
        }
    } else if (!a.empty() || !b.empty()) {
        gap = tr("两组都需要数据才能做秩和检验。");
    }
    d.note = noteOf(groups, false, gap, &r.reportRankTest);
    return r;
}

RankDetails rankPaired(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    RankDetails r{rankPairedLayout()};
    Details &d = r.details;
    const auto [px, py] = completePairs(x, y);
    std::vector<WideInt> diff(px.size());
    for (std::size_t i = 0; i < diff.size(); ++i)
        diff[i] = WideInt(px[i]) - WideInt(py[i]);
    sortDifferences(diff);
    std::vector<GroupCheck> groups{
        describe<WideInt>(d, tr("差值"), diff, QStringLiteral("PairedMedianDiff"),
                          QStringLiteral("PairedP25Diff"), QStringLiteral("PairedP75Diff"),
                          QStringLiteral("PairedShapiroW"), QStringLiteral("PairedShapiroP"))};
    QString gap;
    if (const auto t = signedRankTest(diff)) {
        put(d, u"SignedRankV", displayForm(t->v));
        put(d, u"SignedRankZ", displayForm(t->z));
        put(d, u"SignedRankP", pValueForm(t->p));
        put(d, u"SignedRankMethod", methodLabel(t->exact));
        put(d, u"SignedRankRrb", displayForm(t->r));
        putShift(d, t->shift, "SignedRankShift", "SignedRankShiftLow", "SignedRankShiftHigh");
    } else if (!diff.empty()) {
        gap = tr("所有差值都为 0：无法做符号秩检验。");
    } else if (std::any_of(x.begin(), x.end(), [](auto v) { return v != ColumnList::Missing; }) ||
               std::any_of(y.begin(), y.end(), [](auto v) { return v != ColumnList::Missing; })) {
        gap = tr("没有成对的数据：符号秩检验需要同一行两列都有数值。");
    }
    d.note = noteOf(groups, false, gap, &r.reportRankTest);
    return r;
}

RankDetails rankAnova(const std::array<std::span<const std::int64_t>, 3> &lists) {
    RankDetails r{rankAnovaLayout()};
    Details &d = r.details;
    std::array<std::vector<std::int64_t>, 3> sorted;
    std::array<std::span<const std::int64_t>, 3> spans;
    std::vector<GroupCheck> groups;
    for (int g = 0; g < 3; ++g) {
        sorted[std::size_t(g)] = sortedPresent(lists[std::size_t(g)]);
        spans[std::size_t(g)] = sorted[std::size_t(g)];
        groups.push_back(describe<std::int64_t>(
            d, groupLabel(g + 1), spans[std::size_t(g)], numbered("AnovaMedian", g + 1),
            numbered("AnovaP25of", g + 1), numbered("AnovaP75of", g + 1),
            numbered("AnovaShapiroW", g + 1), numbered("AnovaShapiroP", g + 1)));
    }
    QString gap;
    if (const auto k = kruskalWallis(spans)) {
        if (std::isfinite(k->h)) {
            put(d, u"KruskalH", displayForm(k->h));
            put(d, u"KruskalDf", QString::number(k->df));
            put(d, u"KruskalP", pValueForm(k->p));
            put(d, u"KruskalEps2", displayForm(k->epsilonSquared));
            for (const auto &pair : k->dunn) {
                const QString digits = QStringLiteral("%1%2").arg(pair.i + 1).arg(pair.j + 1);
                put(d, QString(QLatin1String("DunnZ") + digits), displayForm(pair.z));
                put(d, QString(QLatin1String("DunnP") + digits), pValueForm(pair.p));
            }
        } else {
            gap = tr("三组的值全部相同：Kruskal-Wallis 检验和 Dunn 检验无法计算。");
        }
    } else if (std::any_of(sorted.begin(), sorted.end(),
                           [](const auto &s) { return !s.empty(); })) {
        gap = tr("三组都需要数据才能做 Kruskal-Wallis 检验。");
    }
    d.note = noteOf(groups, false, gap, &r.reportRankTest);
    return r;
}

RankDetails rankCorrelation(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    RankDetails r{rankCorrelationLayout()};
    Details &d = r.details;
    const auto [px, py] = completePairs(x, y);
    std::vector<GroupCheck> groups;
    for (int v = 0; v < 2; ++v) {
        const bool isX = v == 0;
        const std::vector<std::int64_t> &values = isX ? px : py;
        GroupCheck g{isX ? QStringLiteral("X") : QStringLiteral("Y"), values.size(), std::nullopt,
                     false};
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        g.spread = !values.empty() && *low != *high;
        // Sorted only where Shapiro–Wilk applies: above 5000 pairs nothing needs the order.
        if (normalityGap(values.size(), g.spread) == NormalityGap::None) {
            std::vector<std::int64_t> sorted = values;
            std::sort(sorted.begin(), sorted.end());
            g.sw = shapiroWilk(std::span<const std::int64_t>(sorted));
        }
        if (g.sw) {
            put(d, isX ? u"CorrShapiroWX" : u"CorrShapiroWY", displayForm(g.sw->w));
            put(d, isX ? u"CorrShapiroPX" : u"CorrShapiroPY", pValueForm(g.sw->p));
        }
        groups.push_back(g);
    }
    QString gap;
    if (const auto s = spearman(px, py)) {
        if (std::isfinite(s->rho)) {
            put(d, u"SpearmanRho", displayForm(s->rho));
            put(d, u"SpearmanP", pValueForm(s->p));
            put(d, u"SpearmanLow", displayForm(s->low));
            put(d, u"SpearmanHigh", displayForm(s->high));
        } else {
            gap = tr("X 或 Y 的值全部相同：无法计算 Spearman 秩相关。");
        }
    } else if (!px.empty()) {
        gap = tr("Spearman 秩相关至少需要 2 对数据。");
    }
    d.note = noteOf(groups, true, gap, &r.reportRankTest);
    return r;
}

bool hasRankDetails(Method method) {
    return method == TwoSampleT || method == PairedT || method == Anova || method == Correlation;
}

Details rankLayout(Method method) {
    switch (method) {
    case TwoSampleT:
        return rankTwoSampleLayout();
    case PairedT:
        return rankPairedLayout();
    case Anova:
        return rankAnovaLayout();
    case Correlation:
        return rankCorrelationLayout();
    default:
        return {};
    }
}

RankDetails rankDetails(Method method, std::span<const std::span<const std::int64_t>> lists) {
    if (!hasRankDetails(method) || lists.size() < (method == Anova ? 3U : 2U))
        return {};
    switch (method) {
    case TwoSampleT:
        return rankTwoSample(lists[0], lists[1]);
    case PairedT:
        return rankPaired(lists[0], lists[1]);
    case Anova:
        return rankAnova({lists[0], lists[1], lists[2]});
    default:
        return rankCorrelation(lists[0], lists[1]);
    }
}

} // namespace quarbel
