#include "core/diagnostic/diagnostic.h"

#include "core/entry/number_rules.h"
#include "core/entry/wide_int.h"
#include "core/tables/exact_tests.h"

#include <QCoreApplication>
#include <QStringList>

#include <array>
#include <cmath>
#include <optional>
#include <utility>

namespace quarbel {
namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("Diagnostic", text);
}

constexpr std::array<std::pair<const char *, const char *>, 30> Items{{
    {"DiagSens", "灵敏度 Se"},
    {"DiagSensLow", "95%CI 下限"},
    {"DiagSensHigh", "95%CI 上限"},
    {"DiagSpec", "特异度 Sp"},
    {"DiagSpecLow", "95%CI 下限"},
    {"DiagSpecHigh", "95%CI 上限"},
    {"DiagPpv", "阳性预测值 PPV"},
    {"DiagPpvLow", "95%CI 下限"},
    {"DiagPpvHigh", "95%CI 上限"},
    {"DiagNpv", "阴性预测值 NPV"},
    {"DiagNpvLow", "95%CI 下限"},
    {"DiagNpvHigh", "95%CI 上限"},
    {"DiagAccuracy", "准确度"},
    {"DiagAccuracyLow", "95%CI 下限"},
    {"DiagAccuracyHigh", "95%CI 上限"},
    {"DiagPrevalence", "患病率"},
    {"DiagPrevalenceLow", "95%CI 下限"},
    {"DiagPrevalenceHigh", "95%CI 上限"},
    {"DiagLrPos", "阳性似然比 LR+"},
    {"DiagLrPosLow", "95%CI 下限"},
    {"DiagLrPosHigh", "95%CI 上限"},
    {"DiagLrNeg", "阴性似然比 LR−"},
    {"DiagLrNegLow", "95%CI 下限"},
    {"DiagLrNegHigh", "95%CI 上限"},
    {"DiagDor", "诊断比值比 DOR"},
    {"DiagDorLow", "95%CI 下限"},
    {"DiagDorHigh", "95%CI 上限"},
    {"DiagYouden", "约登指数"},
    {"DiagPpvAtPrev", "实际患病率下 PPV"},
    {"DiagNpvAtPrev", "实际患病率下 NPV"},
}};
// Each estimate is followed by its low and high bound, as in Items.
enum Item {
    Sensitivity = 0,
    Specificity = 3,
    Ppv = 6,
    Npv = 9,
    Accuracy = 12,
    Prevalence = 15,
    LrPos = 18,
    LrNeg = 21,
    Dor = 24,
    Youden = 27,
    PpvAtPrev = 28,
    NpvAtPrev = 29
};
using Texts = std::array<QString, Items.size()>;

// Beyond this denominator the beta quantiles take milliseconds each and may fail outright,
// while the interval is narrower than the shown digits.
constexpr double ExactLimit = 1e11;

// The cells read as the four-fold table reads them: a text that is not a complete number
// counts 0, a number too large to hold refuses the table, and so do negative counts (no
// proportion of them means anything) and a total beyond the fixed-point range.
struct Cells {
    std::array<Fixed4, 4> v{};
    std::optional<Fixed4> total;
    bool outOfRange{false};
    bool negative{false};
    bool whole{true};

    explicit Cells(const FourFoldTexts &texts) {
        std::int64_t sum = 0;
        bool overflow = false;
        for (std::size_t i = 0; i < 4; ++i) {
            if (Fixed4::outOfRange(texts[i])) {
                outOfRange = true;
                continue;
            }
            v[i] = Fixed4::parse(texts[i]).value_or(Fixed4{});
            negative = negative || v[i].ticks() < 0;
            whole = whole && v[i].ticks() % Fixed4::Scale == 0;
            overflow = overflow || addOverflows(sum, v[i].ticks());
        }
        if (!outOfRange && !overflow)
            total = Fixed4::fromTicks(sum);
    }
    bool usable() const { return total && !negative; }
    double at(std::size_t i) const { return v[i].toDouble(); }
};

void putRatio(Texts &t, int item, double ratio, double logSe) {
    t[item] = displayForm(ratio);
    if (ratio > 0) {
        const double half = normal975() * logSe;
        t[item + 1] = displayForm(std::exp(std::log(ratio) - half));
        t[item + 2] = displayForm(std::exp(std::log(ratio) + half));
    }
}

class Evaluation {
  public:
    Evaluation(const Cells &cells, QStringList &notes)
        : m_a(cells.at(0)), m_b(cells.at(1)), m_c(cells.at(2)), m_d(cells.at(3)),
          m_whole(cells.whole), m_notes(notes) {}

    void run(Texts &t) {
        const double diseased = m_a + m_c, healthy = m_b + m_d;
        proportion(t, Sensitivity, m_a, diseased);
        proportion(t, Specificity, m_d, healthy);
        proportion(t, Ppv, m_a, m_a + m_b);
        proportion(t, Npv, m_d, m_c + m_d);
        proportion(t, Accuracy, m_a + m_d, diseased + healthy);
        proportion(t, Prevalence, diseased, diseased + healthy);
        if (!m_whole && diseased + healthy > 0)
            m_notes << tr("例数含小数：确切区间需要整数例数");
        if (m_tooLarge)
            m_notes << tr("分母超过 10¹¹：不计算确切区间");
        if (diseased == 0 && healthy > 0)
            m_notes << tr("无患病者（a + c = 0）：灵敏度、似然比和约登指数无定义");
        if (healthy == 0 && diseased > 0)
            m_notes << tr("无未患病者（b + d = 0）：特异度、似然比和约登指数无定义");
        if (m_a + m_b == 0 && m_c + m_d > 0)
            m_notes << tr("无试验阳性者（a + b = 0）：阳性预测值无定义");
        if (m_c + m_d == 0 && m_a + m_b > 0)
            m_notes << tr("无试验阴性者（c + d = 0）：阴性预测值无定义");
        if (diseased == 0 || healthy == 0)
            return;

        QStringList zero;
        // LR+ = Se / (1 − Sp) = (a / (a + c)) / (b / (b + d)).
        if (m_b > 0) {
            putRatio(t, LrPos, (m_a / diseased) / (m_b / healthy),
                     std::sqrt(m_c / (m_a * diseased) + m_d / (m_b * healthy)));
            if (m_a == 0)
                zero << tr("阳性似然比");
        } else if (m_a > 0) {
            m_notes << tr("b = 0：阳性似然比为无穷大");
        } else {
            m_notes << tr("a 与 b 均为 0：阳性似然比为 0/0，无定义");
        }
        // LR− = (1 − Se) / Sp = (c / (a + c)) / (d / (b + d)).
        if (m_d > 0) {
            putRatio(t, LrNeg, (m_c / diseased) / (m_d / healthy),
                     std::sqrt(m_a / (m_c * diseased) + m_b / (m_d * healthy)));
            if (m_c == 0)
                zero << tr("阴性似然比");
        } else if (m_c > 0) {
            m_notes << tr("d = 0：阴性似然比为无穷大");
        } else {
            m_notes << tr("c 与 d 均为 0：阴性似然比为 0/0，无定义");
        }
        const bool zeroAd = m_a == 0 || m_d == 0, zeroBc = m_b == 0 || m_c == 0;
        if (zeroAd && zeroBc) {
            m_notes << tr("ad 与 bc 均为 0：诊断比值比无定义");
        } else if (zeroBc) {
            m_notes << tr("b 或 c 为 0：诊断比值比为无穷大");
        } else {
            putRatio(t, Dor, (m_a * m_d) / (m_b * m_c),
                     std::sqrt(1 / m_a + 1 / m_b + 1 / m_c + 1 / m_d));
            if (zeroAd)
                zero << tr("诊断比值比");
        }
        if (!zero.isEmpty())
            m_notes << zero.join(QStringLiteral("、")) + tr("为 0：按对数法无置信区间");
        t[Youden] = displayForm(m_a / diseased + m_d / healthy - 1);
    }

    // Bayes' theorem at prevalence p: PPV = Se·p / (Se·p + (1 − Sp)(1 − p)), with Se and
    // 1 − Sp as a / (a + c) and b / (b + d) multiplied out so no ratio is formed twice.
    void atPrevalence(Texts &t, double p) {
        const double diseased = m_a + m_c, healthy = m_b + m_d;
        if (diseased == 0 || healthy == 0)
            return;
        const double truePos = m_a * p * healthy, falsePos = m_b * (1 - p) * diseased;
        const double trueNeg = m_d * (1 - p) * diseased, falseNeg = m_c * p * healthy;
        if (truePos + falsePos > 0)
            t[PpvAtPrev] = displayForm(truePos / (truePos + falsePos));
        if (trueNeg + falseNeg > 0)
            t[NpvAtPrev] = displayForm(trueNeg / (trueNeg + falseNeg));
        if (t[PpvAtPrev].isEmpty() || t[NpvAtPrev].isEmpty())
            m_notes << tr("灵敏度或特异度为 0：按实际患病率的预测值有一个为 0/0，无定义");
    }

  private:
    void proportion(Texts &t, int item, double x, double n) {
        if (n == 0)
            return;
        t[item] = displayForm(x / n);
        if (!m_whole)
            return;
        if (n > ExactLimit) {
            m_tooLarge = true;
            return;
        }
        const Interval ci = clopperPearsonInterval(x, n);
        t[item + 1] = displayForm(ci.low);
        t[item + 2] = displayForm(ci.high);
    }

    double m_a, m_b, m_c, m_d;
    bool m_whole;
    bool m_tooLarge{false};
    QStringList &m_notes;
};

Details detailsOf(const Texts &texts, const QStringList &notes) {
    Details details = diagnosticLayout();
    for (std::size_t i = 0; i < texts.size(); ++i)
        details.items[qsizetype(i)].text = texts[i];
    details.note = notes.join(QStringLiteral("；"));
    return details;
}

// The practice prevalence as a fraction when the box holds a number strictly between 0 and 100.
std::optional<Fixed4> acceptedPrevalence(const QString &text) {
    const std::optional<Fixed4> v = Fixed4::parse(text);
    if (!v || v->ticks() <= 0 || v->ticks() >= 100 * Fixed4::Scale)
        return std::nullopt;
    return v;
}

// (a + c) / n == percent / 100, compared exactly on the ticks.
bool samePrevalence(const Cells &cells, Fixed4 percent) {
    const WideInt diseased = WideInt(cells.v[0].ticks()) + WideInt(cells.v[2].ticks());
    return diseased * WideInt(100 * Fixed4::Scale) ==
           WideInt(percent.ticks()) * WideInt(cells.total->ticks());
}

} // namespace

Details diagnosticLayout() {
    return emptyDetails(Items);
}

DiagnosticResult evaluateDiagnostic(const FourFoldTexts &cells, const QString &practicePrevalence) {
    const Cells read(cells);
    DiagnosticResult result;
    result.margins = fourFoldMargins(cells);
    Texts texts;
    QStringList notes;
    const std::optional<Fixed4> prevalence = acceptedPrevalence(practicePrevalence);
    if (prevalence)
        result.practicePrevalence = plainForm(*prevalence);
    else if (!practicePrevalence.trimmed().isEmpty())
        notes << tr("实际患病率应大于 0 且小于 100（%）");

    if (read.outOfRange) {
        notes.prepend(tr("例数过大，无法准确计算"));
    } else if (read.negative) {
        notes.prepend(tr("例数不能为负数"));
    } else if (read.total) {
        if (const auto n = roundHalfEven(read.total->toDouble()))
            result.n = QString::number(*n);
        for (std::size_t i = 0; i < 4; ++i)
            result.counts[i] = plainForm(read.v[i]);
        QStringList computed;
        Evaluation evaluation(read, computed);
        evaluation.run(texts);
        if (prevalence && !texts[Youden].isEmpty()) {
            evaluation.atPrevalence(texts, prevalence->toDouble() / 100);
            if (!samePrevalence(read, *prevalence))
                computed << tr("预测值依赖患病率：表中患病率与实际患病率不同，实际应用时 PPV 和 "
                               "NPV 以按实际患病率计算的值为准");
        }
        notes = computed + notes;
    }
    result.details = detailsOf(texts, notes);
    return result;
}

QString percentText(const QString &proportion) {
    const qsizetype point = proportion.indexOf(u'.');
    if (point < 1 || proportion.size() - point != 5 || proportion.startsWith(u'-'))
        return {};
    bool okWhole = false, okFraction = false;
    const qlonglong whole = proportion.left(point).toLongLong(&okWhole);
    const int hundredths = proportion.mid(point + 1, 2).toInt(&okFraction);
    if (!okWhole || !okFraction)
        return {};
    return QStringLiteral("%1.%2%").arg(whole * 100 + hundredths).arg(proportion.mid(point + 3));
}

namespace {

QString reportTr(const char *text) {
    return QCoreApplication::translate("DiagnosticReport", text);
}

struct Reported {
    const char *name;
    const char *caption;
    const char *english;
    bool percent;
};

// What the report says of each value, in its order.
constexpr std::array<Reported, 12> ReportedValues{{
    {"DiagSens", "灵敏度", "sensitivity", true},
    {"DiagSpec", "特异度", "specificity", true},
    {"DiagPpv", "阳性预测值", "positive predictive value", true},
    {"DiagNpv", "阴性预测值", "negative predictive value", true},
    {"DiagAccuracy", "准确度", "accuracy", true},
    {"DiagPrevalence", "患病率", "prevalence", true},
    {"DiagLrPos", "阳性似然比", "positive likelihood ratio", false},
    {"DiagLrNeg", "阴性似然比", "negative likelihood ratio", false},
    {"DiagDor", "诊断比值比", "diagnostic odds ratio", false},
    {"DiagYouden", "约登指数", "Youden index", false},
    {"DiagPpvAtPrev", "按实际患病率的阳性预测值", "positive predictive value at that prevalence",
     true},
    {"DiagNpvAtPrev", "按实际患病率的阴性预测值", "negative predictive value at that prevalence",
     true},
}};

struct Shown {
    QString value, low, high;
    bool hasCi() const { return !low.isEmpty() && !high.isEmpty(); }
};

Shown shownValue(const Details &details, const Reported &r) {
    const QString name = QString::fromLatin1(r.name);
    Shown s{details.text(name), details.text(name + QStringLiteral("Low")),
            details.text(name + QStringLiteral("High"))};
    if (r.percent)
        s = {percentText(s.value), percentText(s.low), percentText(s.high)};
    return s;
}

} // namespace

ReportContent diagnosticReport(const DiagnosticResult &result) {
    ReportContent c;
    const Details &d = result.details;
    if (result.counts[0].isEmpty() || d.text(u"DiagAccuracy").isEmpty())
        return c;
    const FourFoldMargins &m = result.margins;
    c.inputs.header = {QString(), reportTr("患病"), reportTr("未患病"), reportTr("合计")};
    c.inputs.rows = {{reportTr("试验阳性"), result.counts[0], result.counts[1], m.row1},
                     {reportTr("试验阴性"), result.counts[2], result.counts[3], m.row2},
                     {reportTr("合计"), m.positive, m.negative, m.total}};

    c.results.header = {reportTr("指标"), reportTr("结果")};
    if (!result.practicePrevalence.isEmpty())
        c.results.rows.append({reportTr("实际患病率"), result.practicePrevalence + u'%'});
    QStringList zh, en, zhAtPrev, enAtPrev;
    for (const Reported &r : ReportedValues) {
        const Shown s = shownValue(d, r);
        if (s.value.isEmpty())
            continue;
        const QString caption = reportTr(r.caption);
        c.results.rows.append(
            {s.hasCi() ? caption + QStringLiteral("（95% CI）") : caption,
             s.hasCi() ? QStringLiteral("%1（%2 ~ %3）").arg(s.value, s.low, s.high) : s.value});
        const bool atPrev = QLatin1String(r.name).endsWith(QLatin1String("AtPrev"));
        if (QLatin1String(r.name) == QLatin1String("DiagPrevalence"))
            continue;
        const QString english = QString::fromLatin1(r.english);
        (atPrev ? zhAtPrev : zh)
            << (s.hasCi()
                    ? reportTr("%1为 %2（95% CI %3 ~ %4）").arg(caption, s.value, s.low, s.high)
                    : reportTr("%1为 %2").arg(caption, s.value));
        const QString article = QStringLiteral("aeiou").contains(english.front())
                                    ? QStringLiteral("an")
                                    : QStringLiteral("a");
        (atPrev ? enAtPrev : en)
            << (s.hasCi() ? QStringLiteral("%1 %2 of %3 (95% CI %4 to %5)")
                                .arg(article, english, s.value, s.low, s.high)
                          : QStringLiteral("%1 %2 of %3").arg(article, english, s.value));
    }
    c.chinese = reportTr("以金标准为参照，") + zh.join(QStringLiteral("，")) + QStringLiteral("。");
    c.english = QStringLiteral("Against the reference standard, the test had ") +
                en.join(QStringLiteral(", ")) + u'.';
    if (!zhAtPrev.isEmpty()) {
        c.chinese += reportTr("按实际患病率 %1% 计算，").arg(result.practicePrevalence) +
                     zhAtPrev.join(QStringLiteral("，")) + QStringLiteral("。");
        c.english += QStringLiteral(" At a prevalence of %1% in practice, the test would have ")
                         .arg(result.practicePrevalence) +
                     enAtPrev.join(QStringLiteral(" and ")) + u'.';
    }
    if (!d.note.isEmpty())
        c.notes << d.note;
    return c;
}

} // namespace quarbel
