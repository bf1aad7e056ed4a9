#include "core/samplesize/sample_size_report.h"

#include "core/diagnostic/diagnostic.h"
#include "core/entry/number_rules.h"

#include <QCoreApplication>

namespace quarbel {
namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("SampleSize", text);
}

const QString Beyond = QStringLiteral("> 10⁹");

QString designName(SizeDesign d) {
    switch (d) {
    case SizeDesign::TwoMeans:
        return tr("两样本均数比较");
    case SizeDesign::PairedMeans:
        return tr("配对均数比较");
    case SizeDesign::TwoRates:
        return tr("两样本率比较");
    case SizeDesign::PairedRates:
        return tr("配对率比较（McNemar）");
    case SizeDesign::Anova:
        return tr("多组均数比较（方差分析）");
    case SizeDesign::Correlation:
        return tr("相关系数的检验");
    case SizeDesign::LogRank:
        return tr("生存分析（log-rank检验）");
    case SizeDesign::OneRate:
        break;
    }
    return tr("估计单个率（可信区间宽度）");
}

bool paired(SizeDesign d) {
    return d == SizeDesign::PairedMeans || d == SizeDesign::PairedRates;
}

// A proportion as a percentage: 0.15 → "15%", from its 15 significant digits.
QString percent(double share) {
    return plainForm(share * 100) + u'%';
}

// A count with the space before it that a Chinese sentence puts before a numeral but not
// before "超过".
QString zhCount(const QString &n) {
    return n == Beyond ? tr("超过 10⁹") : u' ' + n;
}

QString enCount(const QString &n) {
    return n == Beyond ? QStringLiteral("more than 10⁹") : n;
}

void row(ReportTable &table, const QString &caption, const QString &value) {
    if (!value.isEmpty())
        table.rows.append({caption, value});
}

void inputRows(ReportTable &t, const SampleSizeInput &in, const SizeParameters &s) {
    row(t, tr("设计"), designName(s.design));
    auto typed = [&t](const QString &caption, const QString &text) {
        row(t, caption, text.trimmed());
    };
    switch (s.design) {
    case SizeDesign::TwoMeans:
        typed(tr("均数之差 δ"), in.delta);
        typed(tr("标准差 σ"), in.sd);
        break;
    case SizeDesign::PairedMeans:
        typed(tr("差值的均数 δ"), in.delta);
        typed(tr("差值的标准差 σ"), in.sd);
        break;
    case SizeDesign::TwoRates:
        typed(QStringLiteral("p1"), in.p1);
        typed(QStringLiteral("p2"), in.p2);
        break;
    case SizeDesign::PairedRates:
        typed(QStringLiteral("p10"), in.p10);
        typed(QStringLiteral("p01"), in.p01);
        break;
    case SizeDesign::Anova:
        typed(tr("组数 k"), in.groups);
        typed(tr("效应量 f"), in.effectF);
        break;
    case SizeDesign::Correlation:
        typed(tr("相关系数 ρ"), in.rho);
        break;
    case SizeDesign::LogRank:
        typed(tr("风险比 HR"), in.hr);
        typed(tr("发生事件的比例"), in.eventProb);
        break;
    case SizeDesign::OneRate:
        typed(tr("预期率 p"), in.p);
        typed(tr("可信区间半宽"), in.halfWidth);
        break;
    }
    typed(tr("检验水准 α"), in.alpha);
    if (s.design != SizeDesign::Anova && s.design != SizeDesign::OneRate)
        row(t, tr("检验"), s.twoSided ? tr("双侧") : tr("单侧"));
    if (s.design != SizeDesign::OneRate && !s.solveForPower)
        typed(tr("检验效能"), in.power);
    if (twoGroups(s.design))
        typed(tr("样本量之比 n2/n1"), in.ratio);
    typed(tr("脱落率（%）"), in.dropout);
    if (s.solveForPower)
        typed(tr("样本量 n"), in.nInput);
}

void resultRows(ReportTable &t, const SampleSizeResult &r, SizeDesign d) {
    const bool two = twoGroups(d);
    const QString one = paired(d)                ? tr("对子数")
                        : d == SizeDesign::Anova ? tr("每组例数")
                        : two                    ? tr("第一组例数 n1")
                                                 : tr("例数");
    row(t, one, r.n1);
    row(t, tr("第二组例数 n2"), r.n2);
    if (two || d == SizeDesign::Anova)
        row(t, tr("合计例数"), r.total);
    row(t, tr("考虑脱落后") + one, r.n1Dropout);
    row(t, tr("考虑脱落后第二组例数 n2"), r.n2Dropout);
    if (two || d == SizeDesign::Anova)
        row(t, tr("考虑脱落后合计例数"), r.totalDropout);
    row(t, tr("所需事件数"), r.events);
    row(t, tr("连续性校正后第一组例数 n1"), r.n1Cc);
    row(t, tr("连续性校正后第二组例数 n2"), r.n2Cc);
    row(t, tr("检验效能"), r.powerOut);
    if (r.powerOut.isEmpty())
        row(t, tr("实际检验效能"), r.achievedPower);
}

// What was assumed, from the boxes as typed.
QString zhAssumed(const SampleSizeInput &in, const SizeParameters &s) {
    switch (s.design) {
    case SizeDesign::TwoMeans:
        return tr("预期两组均数之差为 %1、标准差为 %2").arg(in.delta.trimmed(), in.sd.trimmed());
    case SizeDesign::PairedMeans:
        return tr("预期配对差值的均数为 %1、标准差为 %2").arg(in.delta.trimmed(), in.sd.trimmed());
    case SizeDesign::TwoRates:
        return tr("预期两组率分别为 %1 和 %2").arg(percent(s.p1), percent(s.p2));
    case SizeDesign::PairedRates:
        return tr("预期两种不一致配对的比例分别为 %1（p10）和 %2（p01）")
            .arg(percent(s.p10), percent(s.p01));
    case SizeDesign::Anova:
        return tr("预期 %1 组的效应量 f 为 %2").arg(s.groups).arg(in.effectF.trimmed());
    case SizeDesign::Correlation:
        return tr("预期相关系数为 %1").arg(in.rho.trimmed());
    case SizeDesign::LogRank:
        return tr("预期风险比 HR 为 %1、随访期间发生事件的比例为 %2")
            .arg(in.hr.trimmed(), percent(s.eventProb));
    case SizeDesign::OneRate:
        break;
    }
    return tr("预期率为 %1、可信区间半宽为 %2").arg(percent(s.p), percent(s.halfWidth));
}

QString enAssumed(const SampleSizeInput &in, const SizeParameters &s) {
    switch (s.design) {
    case SizeDesign::TwoMeans:
        return QStringLiteral("a difference in means of %1 and a standard deviation of %2")
            .arg(in.delta.trimmed(), in.sd.trimmed());
    case SizeDesign::PairedMeans:
        return QStringLiteral("a mean paired difference of %1 and a standard deviation of the "
                              "differences of %2")
            .arg(in.delta.trimmed(), in.sd.trimmed());
    case SizeDesign::TwoRates:
        return QStringLiteral("proportions of %1 and %2 in the two groups")
            .arg(percent(s.p1), percent(s.p2));
    case SizeDesign::PairedRates:
        return QStringLiteral("discordant proportions of %1 (p10) and %2 (p01)")
            .arg(percent(s.p10), percent(s.p01));
    case SizeDesign::Anova:
        return QStringLiteral("an effect size f of %1 across %2 groups")
            .arg(in.effectF.trimmed())
            .arg(s.groups);
    case SizeDesign::Correlation:
        return QStringLiteral("a correlation coefficient of %1").arg(in.rho.trimmed());
    case SizeDesign::LogRank:
        return QStringLiteral("a hazard ratio of %1 and an event rate of %2 during follow-up")
            .arg(in.hr.trimmed(), percent(s.eventProb));
    case SizeDesign::OneRate:
        break;
    }
    return QStringLiteral("a proportion of %1 and a confidence interval half-width of %2")
        .arg(percent(s.p), percent(s.halfWidth));
}

// "每组需 64 例" / "第一组需 92 例、第二组需 184 例" / "需 34 对", from one pair of n fields.
QString zhNeed(SizeDesign d, const QString &n1, const QString &n2, const QString &verb) {
    if (twoGroups(d) && n1 != n2)
        return tr("第一组%1%2 例、第二组%1%3 例").arg(verb, zhCount(n1), zhCount(n2));
    if (twoGroups(d) || d == SizeDesign::Anova)
        return tr("每组%1%2 例").arg(verb, zhCount(n1));
    if (paired(d))
        return tr("%1%2 对").arg(verb, zhCount(n1));
    return tr("%1%2 例").arg(verb, zhCount(n1));
}

QString enNeed(SizeDesign d, const QString &n1, const QString &n2) {
    if (twoGroups(d) && n1 != n2)
        return QStringLiteral("%1 subjects in group 1 and %2 in group 2")
            .arg(enCount(n1), enCount(n2));
    if (twoGroups(d) || d == SizeDesign::Anova)
        return QStringLiteral("%1 subjects per group").arg(enCount(n1));
    if (paired(d))
        return QStringLiteral("%1 pairs").arg(enCount(n1));
    return QStringLiteral("%1 subjects").arg(enCount(n1));
}

bool hasTotal(SizeDesign d) {
    return twoGroups(d) || d == SizeDesign::Anova;
}

void sentences(ReportContent &c, const SampleSizeInput &in, const SampleSizeResult &r,
               const SizeParameters &s) {
    const SizeDesign d = s.design;
    const QString alpha = in.alpha.trimmed();
    QString zh, en;
    if (d == SizeDesign::OneRate) {
        const QString level = plainForm((1 - s.alpha) * 100) + u'%';
        zh = tr("按 %1 可信区间（α = %2）").arg(level, alpha);
        en = QStringLiteral("For a %1 confidence interval (α = %2)").arg(level, alpha);
    } else {
        const QString sides = d == SizeDesign::Anova ? QString()
                              : s.twoSided           ? tr("双侧")
                                                     : tr("单侧");
        const QString enSides = d == SizeDesign::Anova ? QString()
                                : s.twoSided           ? QStringLiteral("two-sided ")
                                                       : QStringLiteral("one-sided ");
        zh = tr("按%1检验水准 α = %2").arg(sides, alpha);
        en = QStringLiteral("At a %1significance level of α = %2").arg(enSides, alpha);
        if (!s.solveForPower) {
            zh += tr("、检验效能 %1").arg(percent(s.power));
            en += QStringLiteral(" and a power of %1").arg(percent(s.power));
        }
    }
    zh += QStringLiteral("，") + zhAssumed(in, s);
    en += QStringLiteral(", assuming ") + enAssumed(in, s);
    if (twoGroups(d) && s.ratio != 1) {
        zh += tr("、两组例数之比 n2/n1 为 %1").arg(in.ratio.trimmed());
        en += QStringLiteral(" with an allocation ratio n2/n1 of %1").arg(in.ratio.trimmed());
    }
    zh += QStringLiteral("，");
    en += QStringLiteral(", ");

    const bool dropout = s.dropout > 0;
    const QString loss = percent(s.dropout);
    if (s.solveForPower) {
        zh += zhNeed(d, r.n1, r.n2, QString()).simplified() +
              tr("时检验效能为 %1").arg(percentText(r.powerOut));
        en += enNeed(d, r.n1, r.n2) +
              QStringLiteral(" give a power of %1").arg(percentText(r.powerOut));
        if (dropout) {
            zh += tr("；考虑 %1 的脱落，").arg(loss) +
                  zhNeed(d, r.n1Dropout, r.n2Dropout, tr("需纳入"));
            en += QStringLiteral("; allowing for a drop-out rate of %1, %2 should be enrolled")
                      .arg(loss, enNeed(d, r.n1Dropout, r.n2Dropout));
        }
    } else {
        if (d == SizeDesign::LogRank) {
            zh += tr("共需观察%1 个事件，").arg(zhCount(r.events));
            en += QStringLiteral("%1 events are required, that is ").arg(enCount(r.events));
        }
        zh += zhNeed(d, r.n1, r.n2, tr("需"));
        en += enNeed(d, r.n1, r.n2) +
              (d == SizeDesign::LogRank ? QString() : QStringLiteral(" are required"));
        if (!r.n1Cc.isEmpty()) {
            zh += tr("（连续性校正后") + zhNeed(d, r.n1Cc, r.n2Cc, tr("需")) + QStringLiteral("）");
            en += QStringLiteral(" (%1 with continuity correction)").arg(enNeed(d, r.n1Cc, r.n2Cc));
        }
        if (dropout) {
            zh +=
                tr("；考虑 %1 的脱落，").arg(loss) + zhNeed(d, r.n1Dropout, r.n2Dropout, tr("需"));
            en += QStringLiteral("; allowing for a drop-out rate of %1, %2 are required")
                      .arg(loss, enNeed(d, r.n1Dropout, r.n2Dropout));
        }
    }
    if (hasTotal(d)) {
        const QString total = dropout ? r.totalDropout : r.total;
        zh += tr("，共%1 例").arg(zhCount(total));
        en += QStringLiteral(", %1 in total").arg(enCount(total));
    }
    c.chinese = zh + QStringLiteral("。");
    c.english = en + u'.';
}

} // namespace

ReportContent sampleSizeReport(const SampleSizeInput &input, const SampleSizeResult &result) {
    ReportContent c;
    if (!result.parameters || result.n1.isEmpty()) {
        if (!result.note.isEmpty())
            c.notes << result.note;
        return c;
    }
    const SizeParameters &s = *result.parameters;
    c.inputs.header = {tr("输入项"), tr("数值")};
    inputRows(c.inputs, input, s);
    c.results.header = {tr("结果"), tr("数值")};
    resultRows(c.results, result, s.design);
    sentences(c, input, result, s);
    if (!result.note.isEmpty())
        c.notes << result.note;
    return c;
}

} // namespace quarbel
