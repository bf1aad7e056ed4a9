#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/kgroups/k_groups.h"
#include "core/rank/rank_tests.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace quarbel {
namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("KGroupsReport", text);
}

enum PairColumn { CodeI, CodeJ, Diff, Low, High, TukeyP, GamesHowellP, DunnZ, DunnP };

// A bound of the whiskers in ticks, kept within the range of a tick count.
std::int64_t ticksNear(double value) {
    constexpr double limit = 9.2e18;
    return std::int64_t(std::clamp(value, -limit, limit));
}

bool significant(const QString &p) {
    return p.startsWith(u'<') || (!p.isEmpty() && p.toDouble() < 0.05);
}

// "P = 0.012" or "P < 0.001", as a sentence says it.
QString pPhrase(const QString &p) {
    return p.startsWith(u'<') ? QStringLiteral("P < ") + p.mid(1) : QStringLiteral("P = ") + p;
}

} // namespace

std::vector<KGroupPicture> kGroupsPicture(const KGroupsColumns &columns) {
    std::vector<std::int64_t> codes;
    std::vector<std::vector<std::int64_t>> values;
    const std::size_t rows = std::min(columns.value.size(), columns.group.size());
    for (std::size_t row = 0; row < rows; ++row) {
        const std::int64_t v = columns.value[row], c = columns.group[row];
        if (v == ColumnList::Missing || c == ColumnList::Missing)
            continue;
        auto at = std::lower_bound(codes.begin(), codes.end(), c);
        if (at == codes.end() || *at != c) {
            if (codes.size() == std::size_t(KGroupsMax))
                return {};
            values.insert(values.begin() + (at - codes.begin()), std::vector<std::int64_t>());
            at = codes.insert(at, c);
        }
        values[std::size_t(at - codes.begin())].push_back(v);
    }
    std::vector<KGroupPicture> groups;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        std::vector<std::int64_t> sorted = rank::sortedPresent(values[i]);
        KGroupPicture g;
        g.label = plainForm(Fixed4::fromTicks(codes[i]));
        const double n = double(sorted.size());
        long double sum = 0;
        for (std::int64_t v : sorted)
            sum += (long double)(v);
        const long double mean = sum / n;
        long double squares = 0;
        for (std::int64_t v : sorted)
            squares += ((long double)(v)-mean) * ((long double)(v)-mean);
        const double scale = Fixed4::Scale;
        if (n > 1)
            g.mean =
                meanInterval(double(mean) / scale, double(std::sqrt(squares / (n - 1))) / scale, n);
        if (sorted.size() > MaxDots) {
            const auto q = rank::quartiles(std::span<const std::int64_t>(sorted));
            KGroupBox box;
            box.p25 = rank::quarterTicksValue(q->p25) / scale;
            box.median = rank::quarterTicksValue(q->median) / scale;
            box.p75 = rank::quarterTicksValue(q->p75) / scale;
            const double reach = 1.5 * (box.p75 - box.p25);
            const auto low = std::lower_bound(sorted.begin(), sorted.end(),
                                              ticksNear(std::ceil((box.p25 - reach) * scale)));
            const auto high = std::upper_bound(sorted.begin(), sorted.end(),
                                               ticksNear(std::floor((box.p75 + reach) * scale)));
            box.low = double(*low) / scale;
            box.high = double(*(high - 1)) / scale;
            g.box = box;
        } else {
            g.dots.reserve(sorted.size());
            for (std::int64_t v : values[i])
                g.dots.push_back(double(v) / scale);
            g.dotOffsets = jitterOffsets(g.dots.size(), 0.3);
        }
        groups.push_back(std::move(g));
    }
    return groups;
}

ReportContent kGroupsReport(const KGroupsResult &result) {
    ReportContent c;
    const Details &d = result.tests;
    KGroupsChoice choice = result.choice;
    if (choice == KGroupsChoice::Welch && d.text(u"KGroupWelchF").isEmpty())
        choice = KGroupsChoice::Anova;
    if (choice == KGroupsChoice::Rank && d.text(u"KGroupKruskalH").isEmpty())
        choice = KGroupsChoice::Anova;
    if (choice == KGroupsChoice::None || d.text(u"KGroupF").isEmpty() || result.groups.size() < 2)
        return c;

    const bool ranked = choice == KGroupsChoice::Rank;
    c.inputs.header = {tr("组别"), tr("例数"), ranked ? tr("M (P25, P75)") : tr("均数 ± 标准差")};
    for (const KGroupTexts &g : result.groups)
        c.inputs.rows.append({g.code, g.n,
                              ranked ? QStringLiteral("%1 (%2, %3)").arg(g.median, g.p25, g.p75)
                              : g.sd.isEmpty() ? g.mean
                                               : QStringLiteral("%1 ± %2").arg(g.mean, g.sd)});

    QString test, statistic, p, pairTest, statisticEn, testEn, pairTestEn;
    int pColumn = TukeyP;
    if (choice == KGroupsChoice::Anova) {
        test = tr("单因素方差分析");
        testEn = QStringLiteral("One-way analysis of variance");
        statistic = QStringLiteral("F = %1，ν₁ = %2，ν₂ = %3，η² = %4")
                        .arg(d.text(u"KGroupF"), d.text(u"KGroupDf1"), d.text(u"KGroupDf2"),
                             d.text(u"KGroupEta2"));
        statisticEn = QStringLiteral("F(%2, %3) = %1, η² = %4")
                          .arg(d.text(u"KGroupF"), d.text(u"KGroupDf1"), d.text(u"KGroupDf2"),
                               d.text(u"KGroupEta2"));
        p = d.text(u"KGroupP");
        pairTest = tr("Tukey 法");
        pairTestEn = QStringLiteral("Tukey's test");
    } else if (choice == KGroupsChoice::Welch) {
        test = tr("Welch 方差分析");
        testEn = QStringLiteral("Welch's analysis of variance");
        statistic =
            QStringLiteral("F = %1，ν₁ = %2，ν₂ = %3")
                .arg(d.text(u"KGroupWelchF"), d.text(u"KGroupDf1"), d.text(u"KGroupWelchDf2"));
        statisticEn =
            QStringLiteral("F(%2, %3) = %1")
                .arg(d.text(u"KGroupWelchF"), d.text(u"KGroupDf1"), d.text(u"KGroupWelchDf2"));
        p = d.text(u"KGroupWelchP");
        pairTest = tr("Games-Howell 法");
        pairTestEn = QStringLiteral("the Games-Howell test");
        pColumn = GamesHowellP;
    } else {
        test = tr("Kruskal-Wallis 检验");
        testEn = QStringLiteral("The Kruskal-Wallis test");
        statistic = QStringLiteral("H = %1，ν = %2，ε² = %3")
                        .arg(d.text(u"KGroupKruskalH"), d.text(u"KGroupKruskalDf"),
                             d.text(u"KGroupKruskalEps2"));
        statisticEn = QStringLiteral("H = %1, df = %2, ε² = %3")
                          .arg(d.text(u"KGroupKruskalH"), d.text(u"KGroupKruskalDf"),
                               d.text(u"KGroupKruskalEps2"));
        p = d.text(u"KGroupKruskalP");
        pairTest = tr("Dunn 检验（Bonferroni 校正）");
        pairTestEn = QStringLiteral("Dunn's test with Bonferroni's correction");
        pColumn = DunnP;
    }
    c.results.header = {tr("比较"), tr("结果"), QStringLiteral("P")};
    c.results.rows.append({test, statistic, p});
    QStringList differing, differingEn;
    for (const QStringList &pair : result.pairs) {
        const QString what =
            choice == KGroupsChoice::Anova
                ? tr("均数差 %1（95%CI %2 ~ %3）").arg(pair[Diff], pair[Low], pair[High])
            : choice == KGroupsChoice::Welch ? tr("均数差 %1").arg(pair[Diff])
                                             : QStringLiteral("z = %1").arg(pair[DunnZ]);
        const QString &pairP = pair[pColumn];
        c.results.rows.append(
            {tr("组%1 vs 组%2（%3）").arg(pair[CodeI], pair[CodeJ], pairTest), what, pairP});
        if (significant(pairP)) {
            differing << tr("组%1与组%2（%3）").arg(pair[CodeI], pair[CodeJ], pPhrase(pairP));
            differingEn << QStringLiteral("groups %1 and %2 (%3)")
                               .arg(pair[CodeI], pair[CodeJ], pPhrase(pairP));
        }
    }
    const bool overall = significant(p);
    c.chinese = tr("%1显示，%2组间差异%3（%4，%5）。")
                    .arg(test, QString::number(result.groups.size()),
                         overall ? tr("有统计学意义") : tr("无统计学意义"), statistic, pPhrase(p));
    c.chinese +=
        differing.isEmpty()
            ? tr("两两比较（%1）未发现差异有统计学意义的组。").arg(pairTest)
            : tr("两两比较（%1）中，%2差异有统计学意义。").arg(pairTest, differing.join(tr("、")));
    c.english =
        QStringLiteral("%1 %2 a difference among the %3 groups (%4, %5).")
            .arg(testEn, overall ? QStringLiteral("showed") : QStringLiteral("did not show"),
                 QString::number(result.groups.size()), statisticEn, pPhrase(p));
    c.english +=
        differingEn.isEmpty()
            ? QStringLiteral(" In pairwise comparisons by %1 no pair differed.").arg(pairTestEn)
            : QStringLiteral(" In pairwise comparisons by %1, %2 differed.")
                  .arg(pairTestEn, differingEn.join(QStringLiteral(", ")));
    if (!d.note.isEmpty())
        c.notes << d.note;
    return c;
}

} // namespace quarbel
