// The reports of the grid methods when a group is not normal: the rank test, the medians with
// their quartiles and the location shift take the place of the t-test, the analysis of variance
// or Pearson's r, read from the "秩和检验与正态性" values by name.

#include "core/report/report_builder.h"
#include "core/shell/methods.h"

namespace quarbel::reporting {
namespace {

// "5.2000 (3.1000, 7.9000)"; empty when any of the three is missing.
QString medianForm(const QString &median, const QString &p25, const QString &p75) {
    if (median.isEmpty() || p25.isEmpty() || p75.isEmpty())
        return {};
    return QStringLiteral("%1 (%2, %3)").arg(median, p25, p75);
}

QString numbered(const char *stem, int i) {
    return QLatin1String(stem) + QString::number(i);
}

// The groups' medians with their quartiles, as a Chinese and an English sentence.
void medianSentences(Sentence &s, const QStringList &names, const QStringList &namesEn,
                     const QStringList &forms) {
    QStringList zh, en;
    for (qsizetype g = 0; g < forms.size(); ++g)
        if (!forms[g].isEmpty()) {
            zh << QStringLiteral("%1为 %2").arg(names[g], forms[g]);
            en << QStringLiteral("%1 in %2").arg(forms[g], namesEn[g]);
        }
    if (zh.isEmpty())
        return;
    s.tailZh = QStringLiteral("M (P25, P75)：") + zh.join(QStringLiteral("，")) + u'。';
    s.tailEn =
        QStringLiteral(" The medians (P25, P75) were ") + en.join(QStringLiteral(", ")) + u'.';
}

void groupMedians(Builder &b, Sentence &s, const char *nArray, int groups, const char *median,
                  const char *p25, const char *p75) {
    b.report().inputs.header = {QStringLiteral("组别"), QStringLiteral("n"),
                                QStringLiteral("M (P25, P75)")};
    QStringList names, namesEn, forms;
    for (int g = 1; g <= groups; ++g) {
        const QString form =
            medianForm(b.at(numbered(median, g)), b.at(numbered(p25, g)), b.at(numbered(p75, g)));
        b.report().inputs.rows.append(
            {QStringLiteral("组%1").arg(g), b.item(nArray, 3 * g - 1), form});
        names << QStringLiteral("组%1").arg(g);
        namesEn << QStringLiteral("group %1").arg(g);
        forms << form;
    }
    medianSentences(s, names, namesEn, forms);
}

void normalityRows(Builder &b, const QStringList &captions, const QStringList &names) {
    for (qsizetype i = 0; i < names.size(); ++i)
        b.row(captions[i] + QStringLiteral(" Shapiro-Wilk P"), b.at(names[i]));
}

bool twoSample(Builder &b, Sentence &s) {
    if (!recommends(b.at("NoteRank0"), "秩和检验") || b.at("MannWhitneyP").isEmpty())
        return false;
    groupMedians(b, s, "Text4", 2, "TwoSampleMedian", "TwoSampleP25of", "TwoSampleP75of");
    b.row(QStringLiteral("Mann-Whitney U"), b.at("MannWhitneyU"));
    b.row(QStringLiteral("Z"), b.at("MannWhitneyZ"));
    b.row(QStringLiteral("P"), b.at("MannWhitneyP"));
    b.row(QStringLiteral("P 值算法"), b.at("MannWhitneyMethod"));
    b.rowWithCi(QStringLiteral("位置差（Hodges-Lehmann）"), "MannWhitneyShift",
                "MannWhitneyShiftLow", "MannWhitneyShiftHigh");
    b.row(QStringLiteral("秩双列相关 r"), b.at("MannWhitneyRrb"));
    normalityRows(b, {QStringLiteral("组1"), QStringLiteral("组2")},
                  {QStringLiteral("TwoSampleShapiroP1"), QStringLiteral("TwoSampleShapiroP2")});

    s.subjectZh = QStringLiteral("两组分布差异");
    s.subjectEn = QStringLiteral("The difference between the two distributions");
    s.testZh = QStringLiteral("Mann-Whitney U检验");
    s.testEn = QStringLiteral("Mann–Whitney U test");
    s.statsZh = {QStringLiteral("U = ") + b.at("MannWhitneyU"),
                 QStringLiteral("Z = ") + b.at("MannWhitneyZ")};
    s.statsEn = s.statsZh;
    s.exactP = b.at("MannWhitneyP");
    s.effectZh = QStringLiteral("位置差（Hodges-Lehmann估计）");
    s.effectEn = QStringLiteral("The Hodges–Lehmann location shift");
    s.effect = b.at("MannWhitneyShift");
    s.low = b.at("MannWhitneyShiftLow");
    s.high = b.at("MannWhitneyShiftHigh");
    return true;
}

bool paired(Builder &b, Sentence &s) {
    if (!recommends(b.at("NoteRank1"), "秩和检验") || b.at("SignedRankP").isEmpty())
        return false;
    const QString form =
        medianForm(b.at("PairedMedianDiff"), b.at("PairedP25Diff"), b.at("PairedP75Diff"));
    b.report().inputs.header = {QStringLiteral("对子数 n"), QStringLiteral("差值 M (P25, P75)")};
    b.report().inputs.rows.append({b.at("Label13_5"), form});
    b.row(QStringLiteral("Wilcoxon 符号秩 V"), b.at("SignedRankV"));
    b.row(QStringLiteral("Z"), b.at("SignedRankZ"));
    b.row(QStringLiteral("P"), b.at("SignedRankP"));
    b.row(QStringLiteral("P 值算法"), b.at("SignedRankMethod"));
    b.rowWithCi(QStringLiteral("伪中位数（Hodges-Lehmann）"), "SignedRankShift",
                "SignedRankShiftLow", "SignedRankShiftHigh");
    b.row(QStringLiteral("配对秩双列相关 r"), b.at("SignedRankRrb"));
    normalityRows(b, {QStringLiteral("差值")}, {QStringLiteral("PairedShapiroP")});

    s.subjectZh = QStringLiteral("配对差值与0的差异");
    s.subjectEn = QStringLiteral("The shift of the paired differences from zero");
    s.testZh = QStringLiteral("Wilcoxon符号秩检验");
    s.testEn = QStringLiteral("Wilcoxon signed-rank test");
    s.statsZh = {QStringLiteral("V = ") + b.at("SignedRankV"),
                 QStringLiteral("Z = ") + b.at("SignedRankZ")};
    s.statsEn = s.statsZh;
    s.exactP = b.at("SignedRankP");
    s.effectZh = QStringLiteral("差值的伪中位数（Hodges-Lehmann估计）");
    s.effectEn = QStringLiteral("The Hodges–Lehmann pseudo-median of the differences");
    s.effect = b.at("SignedRankShift");
    s.low = b.at("SignedRankShiftLow");
    s.high = b.at("SignedRankShiftHigh");
    medianSentences(s, {QStringLiteral("差值")}, {QStringLiteral("the differences")}, {form});
    return true;
}

bool anova(Builder &b, Sentence &s) {
    if (!recommends(b.at("NoteRank2"), "秩和检验") || b.at("KruskalP").isEmpty())
        return false;
    groupMedians(b, s, "Text41", 3, "AnovaMedian", "AnovaP25of", "AnovaP75of");
    b.row(QStringLiteral("Kruskal-Wallis H"), b.at("KruskalH"));
    b.row(QStringLiteral("自由度 ν"), b.at("KruskalDf"));
    b.row(QStringLiteral("P"), b.at("KruskalP"));
    b.row(QStringLiteral("ε²"), b.at("KruskalEps2"));
    QStringList dunnZh, dunnEn;
    for (const char *pair : {"12", "13", "23"}) {
        const QString k = QLatin1String(pair);
        const QString caption = QStringLiteral("Dunn 组%1 − 组%2").arg(k[0], k[1]);
        const QString p = b.at(QStringLiteral("DunnP") + k);
        b.row(caption + QStringLiteral(" z"), b.at(QStringLiteral("DunnZ") + k));
        b.row(caption + QStringLiteral(" P（Bonferroni）"), p);
        if (!p.isEmpty()) {
            dunnZh << QStringLiteral("组%1与组%2 %3").arg(k[0], k[1], pPhrase(p, {}));
            dunnEn << QStringLiteral("group %1 vs %2, %3").arg(k[0], k[1], pPhrase(p, {}));
        }
    }
    normalityRows(b, {QStringLiteral("组1"), QStringLiteral("组2"), QStringLiteral("组3")},
                  {QStringLiteral("AnovaShapiroP1"), QStringLiteral("AnovaShapiroP2"),
                   QStringLiteral("AnovaShapiroP3")});

    s.subjectZh = QStringLiteral("三组分布差异");
    s.subjectEn = QStringLiteral("The difference among the three distributions");
    s.testZh = QStringLiteral("Kruskal-Wallis H检验");
    s.testEn = QStringLiteral("Kruskal–Wallis test");
    s.statsZh = {QStringLiteral("H = ") + b.at("KruskalH"),
                 QStringLiteral("ν = ") + b.at("KruskalDf")};
    s.statsEn = {QStringLiteral("H = ") + b.at("KruskalH"),
                 QStringLiteral("df = ") + b.at("KruskalDf")};
    s.exactP = b.at("KruskalP");
    s.effectZh = QStringLiteral("ε² = ");
    s.effectEn = QStringLiteral("ε² = ");
    s.effect = b.at("KruskalEps2");
    if (!dunnZh.isEmpty()) {
        s.tailZh += QStringLiteral("两两比较（Dunn检验，Bonferroni校正）：") +
                    dunnZh.join(QStringLiteral("；")) + u'。';
        s.tailEn += QStringLiteral(" Pairwise (Dunn's test, Bonferroni-adjusted): ") +
                    dunnEn.join(QStringLiteral("; ")) + u'.';
    }
    return true;
}

bool correlation(Builder &b, Sentence &s) {
    if (!recommends(b.at("NoteRank6"), "Spearman") || b.at("SpearmanP").isEmpty())
        return false;
    b.report().inputs.header = {QStringLiteral("对子数 n")};
    b.report().inputs.rows.append({b.at("Label13_6")});
    b.rowWithCi(QStringLiteral("Spearman ρ"), "SpearmanRho", "SpearmanLow", "SpearmanHigh");
    b.row(QStringLiteral("P"), b.at("SpearmanP"));
    normalityRows(b, {QStringLiteral("X"), QStringLiteral("Y")},
                  {QStringLiteral("CorrShapiroPX"), QStringLiteral("CorrShapiroPY")});

    s.subjectZh = QStringLiteral("两变量间的秩相关");
    s.subjectEn = QStringLiteral("The rank correlation between the two variables");
    s.testZh = QStringLiteral("Spearman秩相关");
    s.testEn = QStringLiteral("Spearman's rank correlation");
    s.exactP = b.at("SpearmanP");
    s.effectZh = QStringLiteral("ρ = ");
    s.effectEn = QStringLiteral("Spearman's ρ");
    s.effect = b.at("SpearmanRho");
    s.low = b.at("SpearmanLow");
    s.high = b.at("SpearmanHigh");
    if (s.low.isEmpty() || s.high.isEmpty())
        s.effectEn = QStringLiteral("ρ = ");
    return true;
}

} // namespace

bool rankReport(int method, Builder &b, Sentence &s) {
    switch (method) {
    case TwoSampleT:
        return twoSample(b, s);
    case PairedT:
        return paired(b, s);
    case Anova:
        return anova(b, s);
    case Correlation:
        return correlation(b, s);
    default:
        return false;
    }
}

} // namespace quarbel::reporting
