#pragma once

#include "core/report/report.h"

#include <utility>

// The parts every classic method's report is put together from: the texts read by name, the
// rows of the results table and the sentence pair. Shared by the report of each method and the
// rank-test variants that replace them; not for use outside the report.
namespace quarbel::reporting {

// The pieces one sentence pair is put together from.
struct Sentence {
    QString subjectZh; // "两组均数差异"
    QString subjectEn; // "The difference between the two means"
    QString testZh;    // a named test, first inside the brackets: "Fisher确切概率法"
    QString testEn;
    QStringList statsZh; // "t = 2.2361", "ν = 18"
    QStringList statsEn;
    QString exactP;  // "0.026", "<0.001"; empty when not available
    QString labelP;  // the panel's judgement: "p < 0.05"
    QString extraZh; // a second test after the first, already with its P
    QString extraEn;
    QString effectZh; // "均数差 " or "OR = "
    QString effectEn; // "The mean difference" (with a CI) or "η² = " (without)
    QString effect;
    QString low;
    QString high;
    QString tailZh; // a sentence that follows, such as the regression equation
    QString tailEn;
};

class Builder {
  public:
    explicit Builder(const ReportTexts &texts) : m_texts(texts) {}

    QString at(const QString &name) const { return m_texts.fields.value(name).trimmed(); }
    QString at(const char *name) const { return at(QString::fromUtf8(name)); }
    QString item(const char *array, int i) const {
        return at(QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(i));
    }

    // A result row; left out when its value is missing.
    void row(const QString &caption, const QString &value) {
        if (!value.isEmpty())
            m_report.results.rows.append({caption, value});
    }
    // "2.87（0.41 ~ 5.32）" under "caption（95% CI）" when both ends are there, else the value.
    void rowWithCi(const QString &caption, const QString &value, const QString &low,
                   const QString &high) {
        const bool ci = !value.isEmpty() && !low.isEmpty() && !high.isEmpty();
        row(ci ? caption + QStringLiteral("（95% CI）") : caption, withCi(value, low, high));
    }
    void rowWithCi(const QString &caption, const char *value, const char *low, const char *high) {
        rowWithCi(caption, at(value), at(low), at(high));
    }
    static QString withCi(const QString &value, const QString &low, const QString &high) {
        if (value.isEmpty() || low.isEmpty() || high.isEmpty())
            return value;
        return QStringLiteral("%1（%2 ~ %3）").arg(value, low, high);
    }

    Report &report() { return m_report; }
    const ReportTexts &texts() const { return m_texts; }

  private:
    const ReportTexts &m_texts;
    Report m_report;
};

// "t = 2.2361  p < 0.05" -> {"2.2361", "p < 0.05"}.
std::pair<QString, QString> splitResultLine(const QString &line);
// "P = 0.026", "P < 0.001", or the judgement's "P < 0.05" when no exact P is shown.
QString pPhrase(const QString &exact, const QString &label);
bool significant(const QString &exact, const QString &label);
// A sum of displayed counts minus `minus`, in the plain decimal form; empty when any is not
// a number.
QString dfOf(const QStringList &counts, int minus);
// The note names the test to report ("应报告 Welch …", "请报告 Welch …"); a note that only
// says why a test could not be done does not count.
bool recommends(const QString &note, const char *test);
// Writes both sentences of `report` from `s`.
void compose(Report &report, const Sentence &s);

// When the method's rank note asks for the rank test (a group is not normal), fills the
// report with the rank test instead of the method's usual one and returns true. Methods
// TwoSampleT, PairedT, Anova and Correlation only.
bool rankReport(int method, Builder &b, Sentence &s);

} // namespace quarbel::reporting
