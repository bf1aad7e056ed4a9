#include "core/survival/survival_report.h"

#include "core/entry/number_rules.h"

#include <QCoreApplication>

namespace quarbel {
namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("SurvivalReport", text);
}

QString withCi(const QString &value, const QString &low, const QString &high) {
    if (value.isEmpty() || low.isEmpty() || high.isEmpty())
        return value;
    return QStringLiteral("%1（%2 ~ %3）").arg(value, low, high);
}

void row(ReportTable &table, const QString &caption, const QString &value) {
    if (!value.isEmpty())
        table.rows.append({caption, value});
}

void rowWithCi(ReportTable &table, const QString &caption, const QString &value, const QString &low,
               const QString &high) {
    const bool ci = !value.isEmpty() && !low.isEmpty() && !high.isEmpty();
    row(table, ci ? caption + QStringLiteral("（95% CI）") : caption, withCi(value, low, high));
}

QString pPhrase(const QString &p) {
    if (p.startsWith(u'<'))
        return QStringLiteral("P < ") + p.mid(1);
    return QStringLiteral("P = ") + p;
}

bool significant(const QString &p) {
    return p.startsWith(u'<') || p.toDouble() < 0.05;
}

// "12.0000、15.0000 和 20.0000"; no space after a closing bracket.
QString listed(const QStringList &items, const QString &comma, const QString &last) {
    if (items.size() < 2)
        return items.join(QString());
    const QString head = items.mid(0, items.size() - 1).join(comma);
    return head + (head.endsWith(QStringLiteral("）")) ? last.trimmed() + u' ' : last) +
           items.back();
}

// The English sentences name a group "group 2", and the single group "all subjects".
QString englishLabel(const SurvivalResult &r, std::size_t g) {
    if (!r.grouped)
        return QStringLiteral("all subjects");
    return QStringLiteral("group ") + plainForm(r.codes.at(g));
}

QString countWord(qsizetype groups) {
    static const QStringList words{QStringLiteral("两"), QStringLiteral("三"), QStringLiteral("四"),
                                   QStringLiteral("五"), QStringLiteral("六"), QStringLiteral("七"),
                                   QStringLiteral("八")};
    return groups >= 2 && groups <= 8 ? words[groups - 2] : QString::number(groups);
}

void sentences(ReportContent &c, const SurvivalResult &r) {
    const auto &groups = r.groups;
    QStringList mediansZh, mediansEn;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const SurvivalGroupTexts &g = groups[i];
        const QString median = withCi(g.median, g.medianLow, g.medianHigh)
                                   .replace(QStringLiteral("（"), QStringLiteral("（95% CI "));
        mediansZh << median;
        QString en = g.median;
        if (!g.medianLow.isEmpty() && !g.medianHigh.isEmpty())
            en += QStringLiteral(" (95% CI %1 to %2)").arg(g.medianLow, g.medianHigh);
        mediansEn << QStringLiteral("%1 in %2").arg(en, englishLabel(r, i));
    }
    for (QString &m : mediansEn)
        m.replace(QStringLiteral("未达到"), QStringLiteral("not reached"));
    if (groups.size() == 1) {
        c.chinese = tr("中位生存时间为 %1。").arg(mediansZh.front());
        c.english = QStringLiteral("The median survival time was %1.")
                        .arg(mediansEn.front().section(QStringLiteral(" in "), 0, 0));
        return;
    }
    QString zh = tr("%1组中位生存时间分别为 %2")
                     .arg(countWord(groups.size()),
                          listed(mediansZh, QStringLiteral("、"), QStringLiteral(" 和 ")));
    QString en = QStringLiteral("The median survival times were %1")
                     .arg(listed(mediansEn, QStringLiteral(", "), QStringLiteral(" and ")));
    if (!r.logRankP.isEmpty()) {
        const bool sig = significant(r.logRankP);
        zh += (sig ? tr("，差异有统计学意义") : tr("，差异无统计学意义")) +
              QStringLiteral("（log-rank χ² = %1，%2）").arg(r.logRankChi2, pPhrase(r.logRankP));
        en += QStringLiteral("; the difference was %1 (log-rank χ² = %2, df = %3, %4)")
                  .arg(sig ? QStringLiteral("statistically significant")
                           : QStringLiteral("not statistically significant"),
                       r.logRankChi2, r.logRankDf, pPhrase(r.logRankP));
    }
    QStringList hrZh, hrEn;
    for (std::size_t g = 1; g < groups.size(); ++g) {
        const SurvivalGroupTexts &t = groups[g];
        if (t.hr.isEmpty())
            continue;
        const QString ci = t.hrLow.isEmpty() || t.hrHigh.isEmpty()
                               ? QString()
                               : QStringLiteral("（95% CI %1 ~ %2）").arg(t.hrLow, t.hrHigh);
        hrZh << (groups.size() > 2 ? QStringLiteral("%1 vs %2 ").arg(t.label, groups[0].label)
                                   : QString()) +
                    QStringLiteral("HR = %1%2").arg(t.hr, ci);
        const QString ciEn =
            ci.isEmpty() ? QString() : QStringLiteral(" (95% CI %1 to %2)").arg(t.hrLow, t.hrHigh);
        hrEn << QStringLiteral("%1 against %2, HR = %3%4")
                    .arg(englishLabel(r, g), englishLabel(r, 0), t.hr, ciEn);
    }
    if (!hrZh.isEmpty()) {
        zh += QStringLiteral("，") + hrZh.join(QStringLiteral("，"));
        en += QStringLiteral("; ") + hrEn.join(QStringLiteral("; "));
    }
    c.chinese = zh + QStringLiteral("。");
    c.english = en + u'.';
}

} // namespace

ReportContent survivalReport(const SurvivalResult &result, const QString &rateTime) {
    ReportContent c;
    if (result.groups.empty())
        return c;
    c.inputs.header = {tr("组别"), tr("例数 n"), tr("事件数")};
    for (const SurvivalGroupTexts &g : result.groups)
        c.inputs.rows.append({g.label, g.n, g.events});

    c.results.header = {tr("指标"), tr("结果")};
    const QString t = rateTime.trimmed();
    for (const SurvivalGroupTexts &g : result.groups) {
        rowWithCi(c.results, g.label + tr(" 中位生存时间"), g.median, g.medianLow, g.medianHigh);
        rowWithCi(c.results, g.label + QStringLiteral(" S(%1)").arg(t), g.rate, g.rateLow,
                  g.rateHigh);
    }
    row(c.results, QStringLiteral("log-rank χ²"), result.logRankChi2);
    row(c.results, tr("自由度 ν"), result.logRankDf);
    row(c.results, tr("log-rank P"), result.logRankP);
    for (std::size_t i = 1; i < result.groups.size(); ++i) {
        const SurvivalGroupTexts &g = result.groups[i];
        const QString pair = QStringLiteral("%1 vs %2").arg(g.label, result.groups[0].label);
        rowWithCi(c.results, pair + QStringLiteral(" HR"), g.hr, g.hrLow, g.hrHigh);
        row(c.results, pair + tr(" Cox P"), g.coxP);
    }
    sentences(c, result);
    if (!result.note.isEmpty())
        c.notes << result.note;
    return c;
}

} // namespace quarbel
