#include "core/report/report.h"

#include "core/report/report_builder.h"

#include "core/entry/number_rules.h"
#include "core/shell/methods.h"
#include "core/tables/four_fold.h"

#include <functional>

namespace quarbel {

namespace reporting {

std::pair<QString, QString> splitResultLine(const QString &line) {
    const qsizetype gap = line.indexOf(labels::Gap);
    const QString statistic = gap < 0 ? line : line.left(gap);
    const QString label = gap < 0 ? QString() : line.mid(gap).trimmed();
    const qsizetype eq = statistic.indexOf(u'=');
    return {eq < 0 ? QString() : statistic.mid(eq + 1).trimmed(), label};
}

QString pPhrase(const QString &exact, const QString &label) {
    if (exact.startsWith(u'<'))
        return QStringLiteral("P < ") + exact.mid(1);
    if (!exact.isEmpty())
        return QStringLiteral("P = ") + exact;
    if (label.startsWith(QLatin1String("p ")))
        return u'P' + label.mid(1);
    return {};
}

bool significant(const QString &exact, const QString &label) {
    if (exact.startsWith(u'<'))
        return true;
    if (!exact.isEmpty())
        return exact.toDouble() < 0.05;
    return label.startsWith(QLatin1String("p <"));
}

QString dfOf(const QStringList &counts, int minus) {
    Fixed4 sum;
    for (const QString &c : counts) {
        const auto v = Fixed4::parse(c);
        if (!v)
            return {};
        sum += *v;
    }
    return plainForm(sum - Fixed4::fromTicks(std::int64_t(minus) * Fixed4::Scale));
}

bool recommends(const QString &note, const char *test) {
    QString plain = note;
    plain.remove(u' ');
    return plain.contains(QStringLiteral("报告") + QString::fromUtf8(test));
}

void compose(Report &report, const Sentence &s) {
    const bool sig = significant(s.exactP, s.labelP);
    const QString p = pPhrase(s.exactP, s.labelP);
    QStringList zh, en;
    if (!s.testZh.isEmpty()) {
        zh << s.testZh;
        en << s.testEn;
    }
    zh << s.statsZh;
    en << s.statsEn;
    if (!p.isEmpty()) {
        zh << p;
        en << p;
    }
    QString zhStats = zh.join(QStringLiteral("，"));
    QString enStats = en.join(QStringLiteral(", "));
    if (!s.extraZh.isEmpty()) {
        zhStats += QStringLiteral("；") + s.extraZh;
        enStats += QStringLiteral("; ") + s.extraEn;
    }
    const bool hasCi = !s.effect.isEmpty() && !s.low.isEmpty() && !s.high.isEmpty();

    QString chinese = s.subjectZh + (sig ? QStringLiteral("有") : QStringLiteral("无")) +
                      QStringLiteral("统计学意义（") + zhStats + QStringLiteral("）");
    if (!s.effect.isEmpty()) {
        chinese += QStringLiteral("，") + s.effectZh + s.effect;
        if (hasCi)
            chinese += QStringLiteral("（95% CI %1 ~ %2）").arg(s.low, s.high);
    }
    report.chinese = chinese + QStringLiteral("。") + s.tailZh;

    QString english;
    if (hasCi) {
        english = QStringLiteral("%1 was %2 (95% CI %3 to %4; %5)")
                      .arg(s.effectEn, s.effect, s.low, s.high, enStats);
        english += sig ? QStringLiteral(".")
                       : QStringLiteral(", which was not statistically significant.");
    } else {
        english = s.subjectEn +
                  (sig ? QStringLiteral(" was statistically significant (")
                       : QStringLiteral(" was not statistically significant (")) +
                  enStats + u')';
        if (!s.effect.isEmpty())
            english += QStringLiteral("; ") + s.effectEn + s.effect;
        english += u'.';
    }
    report.english = english + s.tailEn;
}

} // namespace reporting

namespace {

using namespace reporting;

const QString NoResult = QStringLiteral("无可报告的结果：输入不完整或结果无定义。"
                                        "No result to report: the input is incomplete or the "
                                        "result is undefined.");
const QString SimulatedNote =
    QStringLiteral("数据为正态分布数据生成工具产生的模拟数据，仅供教学与方法演示，并非观察所得。");

// The summary of each group as its panel shows it.
void groupInputs(Builder &b, const char *array, int groups) {
    b.report().inputs.header = {QStringLiteral("组别"), QStringLiteral("n"), QStringLiteral("均数"),
                                QStringLiteral("标准差")};
    for (int g = 0; g < groups; ++g)
        b.report().inputs.rows.append({QStringLiteral("组%1").arg(g + 1), b.item(array, 3 * g + 2),
                                       b.item(array, 3 * g), b.item(array, 3 * g + 1)});
}

bool twoSample(Builder &b, Sentence &s) {
    const auto [t, label] = splitResultLine(b.at("Label5_6"));
    if (t.isEmpty())
        return false;
    groupInputs(b, "Text4", 2);
    const QString df = dfOf({b.item("Text4", 2), b.item("Text4", 5)}, 2);
    const QString note = b.at("Note0");
    const bool welch = recommends(note, "Welch") && !b.at("TwoSampleWelchT").isEmpty();
    b.row(QStringLiteral("t"), t);
    b.row(QStringLiteral("自由度 ν"), df);
    b.row(QStringLiteral("P"), b.at("TwoSampleP"));
    b.rowWithCi(QStringLiteral("均数差"), "TwoSampleDiff", "TwoSampleDiffLow", "TwoSampleDiffHigh");
    b.rowWithCi(QStringLiteral("Cohen's d"), "TwoSampleD", "TwoSampleDLow", "TwoSampleDHigh");
    b.row(QStringLiteral("方差齐性检验 F"), b.at("TwoSampleVarF"));
    b.row(QStringLiteral("方差齐性检验 P"), b.at("TwoSampleVarP"));
    b.row(QStringLiteral("Welch t′"), b.at("TwoSampleWelchT"));
    b.row(QStringLiteral("Welch 自由度 ν"), b.at("TwoSampleWelchDf"));
    b.row(QStringLiteral("Welch P"), b.at("TwoSampleWelchP"));
    b.row(QStringLiteral("结果判断"), label);

    s.subjectZh = QStringLiteral("两组均数差异");
    s.subjectEn = QStringLiteral("The difference between the two means");
    if (welch) {
        s.statsZh = {QStringLiteral("t′ = ") + b.at("TwoSampleWelchT"),
                     QStringLiteral("ν = ") + b.at("TwoSampleWelchDf")};
        s.statsEn = {QStringLiteral("Welch's t′ = ") + b.at("TwoSampleWelchT"),
                     QStringLiteral("df = ") + b.at("TwoSampleWelchDf")};
        s.exactP = b.at("TwoSampleWelchP");
    } else {
        s.statsZh = {QStringLiteral("t = ") + t};
        s.statsEn = {QStringLiteral("t = ") + t};
        if (!df.isEmpty()) {
            s.statsZh << QStringLiteral("ν = ") + df;
            s.statsEn << QStringLiteral("df = ") + df;
        }
        s.exactP = b.at("TwoSampleP");
    }
    s.labelP = label;
    s.effectZh = QStringLiteral("均数差 ");
    s.effectEn = QStringLiteral("The mean difference");
    s.effect = b.at("TwoSampleDiff");
    s.low = b.at("TwoSampleDiffLow");
    s.high = b.at("TwoSampleDiffHigh");
    return true;
}

bool paired(Builder &b, Sentence &s) {
    const auto [t, label] = splitResultLine(b.at("Label5_7"));
    if (t.isEmpty())
        return false;
    const QString n = b.at("Label13_5");
    b.report().inputs.header = {QStringLiteral("对子数 n"), QStringLiteral("差值均数 d"),
                                QStringLiteral("差值标准差 Sd")};
    b.report().inputs.rows.append({n, b.at("Label13_4"), b.at("Label13_3")});
    const QString df = dfOf({n}, 1);
    b.row(QStringLiteral("t"), t);
    b.row(QStringLiteral("自由度 ν"), df);
    b.row(QStringLiteral("P"), b.at("PairedP"));
    b.rowWithCi(QStringLiteral("差值均数"), "PairedMeanDiff", "PairedMeanDiffLow",
                "PairedMeanDiffHigh");
    b.row(QStringLiteral("Cohen's dz"), b.at("PairedDz"));
    b.row(QStringLiteral("结果判断"), label);

    s.subjectZh = QStringLiteral("配对差值均数与0的差异");
    s.subjectEn = QStringLiteral("The mean paired difference");
    s.statsZh = {QStringLiteral("t = ") + t};
    s.statsEn = {QStringLiteral("t = ") + t};
    if (!df.isEmpty()) {
        s.statsZh << QStringLiteral("ν = ") + df;
        s.statsEn << QStringLiteral("df = ") + df;
    }
    s.exactP = b.at("PairedP");
    s.labelP = label;
    s.effectZh = QStringLiteral("差值均数 ");
    s.effectEn = QStringLiteral("The mean paired difference");
    s.effect = b.at("PairedMeanDiff");
    s.low = b.at("PairedMeanDiffLow");
    s.high = b.at("PairedMeanDiffHigh");
    return true;
}

bool anova(Builder &b, Sentence &s) {
    const auto [f, label] = splitResultLine(b.at("Label5_26"));
    if (f.isEmpty())
        return false;
    groupInputs(b, "Text41", 3);
    const QString df2 = dfOf({b.item("Text41", 2), b.item("Text41", 5), b.item("Text41", 8)}, 3);
    const bool welch = recommends(b.at("Note2"), "Welch") && !b.at("AnovaWelchF").isEmpty();
    b.row(QStringLiteral("F"), f);
    b.row(QStringLiteral("自由度 ν₁, ν₂"), df2.isEmpty() ? QString() : QStringLiteral("2, ") + df2);
    b.row(QStringLiteral("P"), b.at("AnovaP"));
    b.row(QStringLiteral("η²"), b.at("AnovaEta2"));
    b.row(QStringLiteral("Bartlett χ²"), b.at("AnovaBartlettChi2"));
    b.row(QStringLiteral("Bartlett P"), b.at("AnovaBartlettP"));
    b.row(QStringLiteral("Welch F"), b.at("AnovaWelchF"));
    b.row(QStringLiteral("Welch ν₂"), b.at("AnovaWelchDf2"));
    b.row(QStringLiteral("Welch P"), b.at("AnovaWelchP"));
    for (const char *pair : {"12", "13", "23"}) {
        const QString k = QLatin1String(pair);
        const QString caption = QStringLiteral("Tukey 组%1 − 组%2").arg(k[0], k[1]);
        b.rowWithCi(caption + QStringLiteral(" 均数差"), b.at(QStringLiteral("AnovaTukeyDiff") + k),
                    b.at(QStringLiteral("AnovaTukeyLow") + k),
                    b.at(QStringLiteral("AnovaTukeyHigh") + k));
        b.row(caption + QStringLiteral(" P"), b.at(QStringLiteral("AnovaTukeyP") + k));
    }
    for (int i = 0; i < 3; ++i)
        b.row(QStringLiteral("两两比较 %1").arg(i + 1),
              b.at(QStringLiteral("Label%1").arg(10 + i)));
    b.row(QStringLiteral("结果判断"), label);

    s.subjectZh = QStringLiteral("三组均数差异");
    s.subjectEn = QStringLiteral("The difference among the three means");
    if (welch) {
        s.statsZh = {QStringLiteral("Welch F = ") + b.at("AnovaWelchF"),
                     QStringLiteral("ν₁ = 2，ν₂ = ") + b.at("AnovaWelchDf2")};
        s.statsEn = {QStringLiteral("Welch's F = ") + b.at("AnovaWelchF"),
                     QStringLiteral("df = 2, ") + b.at("AnovaWelchDf2")};
        s.exactP = b.at("AnovaWelchP");
    } else {
        s.statsZh = {QStringLiteral("F = ") + f};
        s.statsEn = {QStringLiteral("F = ") + f};
        if (!df2.isEmpty()) {
            s.statsZh << QStringLiteral("ν₁ = 2，ν₂ = ") + df2;
            s.statsEn << QStringLiteral("df = 2, ") + df2;
        }
        s.exactP = b.at("AnovaP");
    }
    s.labelP = label;
    s.effectZh = QStringLiteral("η² = ");
    s.effectEn = QStringLiteral("η² = ");
    s.effect = b.at("AnovaEta2");
    return true;
}

// The four cells with their margins, under the row and column captions the panel shows.
void fourFoldInputs(Builder &b, bool pairedTable) {
    // The panel spaces its captions out ("组  别"); a table cell needs none of that.
    auto caption = [&](int i, const char *fallback) {
        QString text = b.item("Label17", i);
        if (text.isEmpty())
            text = QString::fromUtf8(fallback);
        return text.remove(u' ');
    };
    Report &r = b.report();
    const QString corner =
        pairedTable ? caption(0, "治疗后") + QStringLiteral(" \\ ") + caption(1, "治疗前")
                    : caption(0, "组别");
    r.inputs.header = {corner, QStringLiteral("（+）"), QStringLiteral("（-）"),
                       QStringLiteral("合计")};
    r.inputs.rows.append({caption(3, pairedTable ? "（+）" : "试验组"), b.item("Text11", 0),
                          b.item("Text11", 1), b.item("Label18", 2)});
    r.inputs.rows.append({caption(4, pairedTable ? "（-）" : "对照组"), b.item("Text11", 2),
                          b.item("Text11", 3), b.item("Label18", 3)});
    r.inputs.rows.append(
        {QStringLiteral("合计"), b.item("Label18", 0), b.item("Label18", 1), b.item("Label18", 4)});
}

bool fourFold(Builder &b, Sentence &s) {
    const QString chi2 = b.at("Label20_6");
    const QString label = b.at("Label5_21");
    const QString fisher = b.at("FisherP");
    // The panel also says so of an empty table; only a table of counts is reported.
    const bool unsuitable = label == FourFoldUnsuitable && readDisplayed(b.at("Label20_5")) > 0.0;
    if (chi2.isEmpty() && fisher.isEmpty() && !unsuitable)
        return false;
    fourFoldInputs(b, false);
    b.row(QStringLiteral("例数 n"), b.at("Label20_5"));
    b.row(QStringLiteral("χ²"), chi2);
    b.row(QStringLiteral("自由度 ν"), chi2.isEmpty() ? QString() : QStringLiteral("1"));
    b.row(QStringLiteral("P"), b.at("FourFoldP"));
    b.row(QStringLiteral("Fisher确切概率 P"), fisher);
    b.rowWithCi(QStringLiteral("OR"), "OddsRatio", "OddsRatioLow", "OddsRatioHigh");
    b.rowWithCi(QStringLiteral("RR"), "RiskRatio", "RiskRatioLow", "RiskRatioHigh");
    b.rowWithCi(QStringLiteral("率差"), "RiskDiff", "RiskDiffLow", "RiskDiffHigh");
    b.row(QStringLiteral("结果判断"), label);

    s.subjectZh = QStringLiteral("两组率差异");
    s.subjectEn = QStringLiteral("The difference between the two proportions");
    const bool useFisher = !fisher.isEmpty() && (unsuitable || recommends(b.at("Note3"), "Fisher"));
    if (useFisher) {
        s.testZh = QStringLiteral("Fisher确切概率法");
        s.testEn = QStringLiteral("Fisher's exact test");
        s.exactP = fisher;
    } else if (unsuitable || chi2.isEmpty()) {
        b.report().chinese =
            QStringLiteral("本资料n < 40或理论数T < 1，不宜用χ²检验，应改用Fisher确切概率法。");
        b.report().english = QStringLiteral("The χ² test is not suitable for these data (n < 40 "
                                            "or an expected count below 1); Fisher's exact test "
                                            "should be used.");
        return true;
    } else {
        s.statsZh = {QStringLiteral("χ² = ") + chi2, QStringLiteral("ν = 1")};
        s.statsEn = {QStringLiteral("χ² = ") + chi2, QStringLiteral("df = 1")};
        s.exactP = b.at("FourFoldP");
        s.labelP = label;
    }
    s.effectZh = QStringLiteral("OR = ");
    s.effectEn = QStringLiteral("The odds ratio");
    s.effect = b.at("OddsRatio");
    s.low = b.at("OddsRatioLow");
    s.high = b.at("OddsRatioHigh");
    if (s.low.isEmpty() || s.high.isEmpty())
        s.effectEn = QStringLiteral("OR = ");
    return true;
}

bool pairedFourFold(Builder &b, Sentence &s) {
    const QString chi2 = b.at("Label20_7");
    const QString label = b.at("Label5_23");
    const QString exact = b.at("McNemarExactP");
    if (chi2.isEmpty() && exact.isEmpty())
        return false;
    fourFoldInputs(b, true);
    b.row(QStringLiteral("例数 n"), b.at("Label20_8"));
    b.row(QStringLiteral("McNemar χ²"), chi2);
    b.row(QStringLiteral("自由度 ν"), chi2.isEmpty() ? QString() : QStringLiteral("1"));
    b.row(QStringLiteral("P"), b.at("McNemarP"));
    b.row(QStringLiteral("McNemar精确检验 P"), exact);
    b.rowWithCi(QStringLiteral("配对 OR"), "PairedOddsRatio", "PairedOddsRatioLow",
                "PairedOddsRatioHigh");
    b.rowWithCi(QStringLiteral("阳性率差"), "PairedPropDiff", "PairedPropDiffLow",
                "PairedPropDiffHigh");
    b.row(QStringLiteral("结果判断"), label);

    s.subjectZh = QStringLiteral("配对两种结果的阳性率差异");
    s.subjectEn = QStringLiteral("The difference between the paired proportions");
    if (!exact.isEmpty() && (chi2.isEmpty() || recommends(b.at("Note4"), "确切"))) {
        s.testZh = QStringLiteral("McNemar精确检验");
        s.testEn = QStringLiteral("exact McNemar test");
        s.exactP = exact;
    } else {
        s.statsZh = {QStringLiteral("McNemar χ² = ") + chi2, QStringLiteral("ν = 1")};
        s.statsEn = {QStringLiteral("McNemar χ² = ") + chi2, QStringLiteral("df = 1")};
        s.exactP = b.at("McNemarP");
        s.labelP = label;
    }
    s.effectZh = QStringLiteral("配对 OR = ");
    s.effectEn = QStringLiteral("The paired odds ratio");
    s.effect = b.at("PairedOddsRatio");
    s.low = b.at("PairedOddsRatioLow");
    s.high = b.at("PairedOddsRatioHigh");
    if (s.low.isEmpty() || s.high.isEmpty())
        s.effectEn = QStringLiteral("paired OR = ");
    return true;
}

bool used(const QString &total) {
    return !total.isEmpty() && readDisplayed(total) != 0.0;
}

bool rxc(Builder &b, Sentence &s) {
    const QString chi2 = b.at("Label20_13");
    const QString label = b.at("Label5_35");
    if (chi2.isEmpty())
        return false;
    constexpr std::array<int, 3> rowTotals{9, 10, 12};
    QList<int> rows, columns;
    for (int r = 0; r < 3; ++r)
        if (used(b.item("Label18", rowTotals[std::size_t(r)])))
            rows << r;
    for (int c = 0; c < 4; ++c)
        if (used(b.item("Label18", 5 + c)))
            columns << c;
    Report &report = b.report();
    report.inputs.header = {QStringLiteral("组别")};
    for (int c : columns)
        report.inputs.header << QStringLiteral("C%1").arg(c + 1);
    report.inputs.header << QStringLiteral("合计");
    for (int r : rows) {
        QStringList line{QStringLiteral("R%1").arg(r + 1)};
        for (int c : columns)
            line << b.item("Text111", 4 * r + c);
        line << b.item("Label18", rowTotals[std::size_t(r)]);
        report.inputs.rows.append(line);
    }
    QStringList totals{QStringLiteral("合计")};
    for (int c : columns)
        totals << b.item("Label18", 5 + c);
    totals << b.item("Label18", 20);
    report.inputs.rows.append(totals);

    const QString df = rows.size() > 1 && columns.size() > 1
                           ? QString::number((rows.size() - 1) * (columns.size() - 1))
                           : QString();
    b.row(QStringLiteral("例数 n"), b.at("Label20_12"));
    b.row(QStringLiteral("χ²"), chi2);
    b.row(QStringLiteral("自由度 ν"), df);
    b.row(QStringLiteral("P"), b.at("RxCP"));
    b.row(QStringLiteral("Cramér's V"), b.at("CramerV"));
    b.row(QStringLiteral("结果判断"), label);

    s.subjectZh = QStringLiteral("各组间率（构成比）的差异");
    s.subjectEn = QStringLiteral("The difference among the groups' proportions");
    s.statsZh = {QStringLiteral("χ² = ") + chi2};
    s.statsEn = {QStringLiteral("χ² = ") + chi2};
    if (!df.isEmpty()) {
        s.statsZh << QStringLiteral("ν = ") + df;
        s.statsEn << QStringLiteral("df = ") + df;
    }
    s.exactP = b.at("RxCP");
    s.labelP = label;
    s.effectZh = QStringLiteral("Cramér's V = ");
    s.effectEn = QStringLiteral("Cramér's V = ");
    s.effect = b.at("CramerV");
    return true;
}

bool correlation(Builder &b, Sentence &s) {
    const QString r = b.at("Label13_7");
    const QString label = b.at("Label5_16");
    if (r.isEmpty())
        return false;
    const QString n = b.at("Label13_6");
    b.report().inputs.header = {QStringLiteral("对子数 n")};
    b.report().inputs.rows.append({n});
    const QString t = b.at("Label13_12");
    const QString df = dfOf({n}, 2);
    QString slope = b.at("Label7");
    if (slope.startsWith(u'+'))
        slope.remove(0, 1);
    b.rowWithCi(QStringLiteral("r"), "Label13_7", "CorrRLow", "CorrRHigh");
    b.row(QStringLiteral("r²"), b.at("CorrR2"));
    b.row(QStringLiteral("tr"), t);
    b.row(QStringLiteral("自由度 ν"), t.isEmpty() ? QString() : df);
    b.row(QStringLiteral("P"), b.at("CorrP"));
    b.row(QStringLiteral("回归方程"), b.at("Label5_17"));
    b.rowWithCi(QStringLiteral("斜率 b"), slope, b.at("SlopeLow"), b.at("SlopeHigh"));
    b.rowWithCi(QStringLiteral("截距 a"), b.at("Label8"), b.at("InterceptLow"),
                b.at("InterceptHigh"));
    b.row(QStringLiteral("剩余标准差"), b.at("ResidualSD"));
    b.row(QStringLiteral("结果判断"), label);

    const QString equation = b.at("Label5_17");
    if (!equation.isEmpty()) {
        s.tailZh = QStringLiteral("回归方程为 %1。").arg(equation);
        s.tailEn = QStringLiteral(" The regression equation was %1.").arg(equation);
    }
    if (t.isEmpty()) {
        // Every point on one line: there is no test to report, only the exact correlation.
        const bool positive = label == QStringLiteral("完全正相关");
        b.report().chinese = QStringLiteral("两变量%1（r = %2）。").arg(label, r) + s.tailZh;
        b.report().english =
            QStringLiteral("The two variables were perfectly %1 correlated (r = %2).")
                .arg(positive ? QStringLiteral("positively") : QStringLiteral("negatively"), r) +
            s.tailEn;
        return true;
    }
    s.subjectZh = QStringLiteral("两变量间的线性相关");
    s.subjectEn = QStringLiteral("The linear correlation between the two variables");
    s.statsZh = {QStringLiteral("tr = ") + t};
    s.statsEn = {QStringLiteral("t = ") + t};
    if (!df.isEmpty()) {
        s.statsZh << QStringLiteral("ν = ") + df;
        s.statsEn << QStringLiteral("df = ") + df;
    }
    s.exactP = b.at("CorrP");
    s.labelP = label;
    s.effectZh = QStringLiteral("r = ");
    s.effectEn = QStringLiteral("Pearson's r");
    s.effect = r;
    s.low = b.at("CorrRLow");
    s.high = b.at("CorrRHigh");
    if (s.low.isEmpty() || s.high.isEmpty())
        s.effectEn = QStringLiteral("r = ");
    return true;
}

bool graded(Builder &b, Sentence &s) {
    const QString z = b.at("Label20_9");
    const QString label = b.at("Label5_44");
    if (z.isEmpty())
        return false;
    Report &report = b.report();
    report.inputs.header = {QStringLiteral("组别"),     QStringLiteral("（+）"),
                            QStringLiteral("（++）"),   QStringLiteral("（+++）"),
                            QStringLiteral("（++++）"), QStringLiteral("合计")};
    report.inputs.rows.append({QStringLiteral("试验组"), b.item("Text12", 0), b.item("Text12", 1),
                               b.item("Text12", 2), b.item("Text12", 3), b.item("Label18", 13)});
    report.inputs.rows.append({QStringLiteral("对照组"), b.item("Text12", 4), b.item("Text12", 5),
                               b.item("Text12", 6), b.item("Text12", 7), b.item("Label18", 11)});
    report.inputs.rows.append({QStringLiteral("合计"), b.item("Label18", 14), b.item("Label18", 15),
                               b.item("Label18", 16), b.item("Label18", 17),
                               b.item("Label18", 18)});
    const QString riditZ = b.at("Label20_10");
    b.row(QStringLiteral("秩和检验 z"), z);
    b.row(QStringLiteral("秩和检验 P"), b.at("RankSumP"));
    b.row(QStringLiteral("秩和检验 结果判断"), label);
    b.row(QStringLiteral("Ridit分析 z"), riditZ);
    b.row(QStringLiteral("Ridit分析 P"), b.at("RiditP"));
    b.rowWithCi(QStringLiteral("试验组平均Ridit"), "RiditMean1", "RiditMean1Low", "RiditMean1High");
    b.rowWithCi(QStringLiteral("对照组平均Ridit"), "RiditMean2", "RiditMean2Low", "RiditMean2High");
    b.row(QStringLiteral("Ridit分析 结果判断"), b.at("Label5_43"));

    s.subjectZh = QStringLiteral("两组等级分布的差异");
    s.subjectEn = QStringLiteral("The difference in the distribution of grades between the two "
                                 "groups");
    s.testZh = QStringLiteral("秩和检验");
    s.testEn = QStringLiteral("rank-sum test");
    s.statsZh = {QStringLiteral("z = ") + z};
    s.statsEn = {QStringLiteral("z = ") + z};
    s.exactP = b.at("RankSumP");
    s.labelP = label;
    if (!riditZ.isEmpty()) {
        const QString riditP = pPhrase(b.at("RiditP"), b.at("Label5_43"));
        s.extraZh = QStringLiteral("Ridit分析 z = ") + riditZ +
                    (riditP.isEmpty() ? QString() : QStringLiteral("，") + riditP);
        s.extraEn = QStringLiteral("Ridit analysis, z = ") + riditZ +
                    (riditP.isEmpty() ? QString() : QStringLiteral(", ") + riditP);
    }
    return true;
}

Report fromContent(Report report, const ReportContent &content, bool simulated) {
    if (content.results.isEmpty()) {
        report.emptyLine = NoResult;
        return report;
    }
    report.inputs = content.inputs;
    report.results = content.results;
    report.chinese = content.chinese;
    report.english = content.english;
    report.notes = content.notes;
    if (simulated)
        report.notes << SimulatedNote;
    return report;
}

} // namespace

Report buildReport(const ReportTexts &texts) {
    Builder b(texts);
    Report &report = b.report();
    report.title = methodCaption(texts.method);
    report.stamp = texts.made.toString(QStringLiteral("yyyy-MM-dd HH:mm")) +
                   QStringLiteral("　Quarbel ") + texts.version;
    if (texts.content)
        return fromContent(report, *texts.content, texts.simulated);
    const int method = texts.method >= 0 && texts.method < MethodCount ? texts.method : 0;
    report.results.header = {QStringLiteral("指标"), QStringLiteral("结果")};

    static const std::array<std::function<bool(Builder &, Sentence &)>, MethodCount> methods{
        twoSample, paired, anova, fourFold, pairedFourFold, rxc, correlation, graded};
    Sentence s;
    // A group that is not normal: the rank test is reported instead (its own note says why).
    const bool rank = rankReport(method, b, s);
    if (!rank && !methods[std::size_t(method)](b, s)) {
        Report empty;
        empty.title = report.title;
        empty.stamp = report.stamp;
        empty.emptyLine = NoResult;
        return empty;
    }
    if (report.chinese.isEmpty())
        compose(report, s);

    const QString note =
        b.at((rank ? QStringLiteral("NoteRank%1") : QStringLiteral("Note%1")).arg(method));
    if (!note.isEmpty())
        report.notes << note;
    if (method == RxC && !b.at("Label22").isEmpty())
        report.notes << b.at("Label22");
    if (texts.simulated)
        report.notes << SimulatedNote;
    return report;
}

} // namespace quarbel
