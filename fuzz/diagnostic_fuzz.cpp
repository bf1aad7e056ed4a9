// Arbitrary cells and columns into the diagnostic computations: the evaluation of a test from
// the four-fold table, Cohen's kappa of the paired table and the ROC analysis. Nothing may
// throw or crash; every shown number keeps its box's form, proportions stay within [0, 1] and
// each bound on its side of the estimate.
#include "core/diagnostic/diagnostic.h"
#include "core/diagnostic/roc.h"
#include "core/entry/column_list.h"
#include "core/tables/kappa.h"
#include "fuzz_support.h"

#include <cstring>
#include <vector>

using namespace quarbel;
using quarbel::fuzz::isDisplayPattern;

namespace {

bool isPValue(const QString &s) {
    if (s == QLatin1String("<0.001"))
        return true;
    bool ok = false;
    const double p = s.toDouble(&ok);
    return ok && s.size() == 5 && s[1] == u'.' && p >= 0.001 && p <= 1;
}

double number(const Details &d, const QString &name) {
    return d.text(name).toDouble();
}

// An estimate with its bounds: each shown in the display form, low ≤ value ≤ high, and within
// [lo, hi] where the quantity is bounded.
void checkEstimate(const Details &d, const QString &name, double lo, double hi) {
    const QString low = d.text(name + QStringLiteral("Low")),
                  high = d.text(name + QStringLiteral("High"));
    const QString value = d.text(name);
    if (value.isEmpty()) {
        FUZZ_CHECK(low.isEmpty() && high.isEmpty());
        return;
    }
    const double v = number(d, name);
    FUZZ_CHECK(v >= lo && v <= hi);
    if (!low.isEmpty())
        FUZZ_CHECK(number(d, name + QStringLiteral("Low")) <= v);
    if (!high.isEmpty())
        FUZZ_CHECK(number(d, name + QStringLiteral("High")) >= v);
}

void checkForms(const Details &d) {
    for (const DetailItem &item : d.items) {
        if (item.text.isEmpty())
            continue;
        if (item.name.endsWith(u'P'))
            FUZZ_CHECK(isPValue(item.text));
        else if (item.name == QLatin1String("RocNPos") || item.name == QLatin1String("RocNNeg"))
            FUZZ_CHECK(item.text.toLongLong() >= 0);
        else
            FUZZ_CHECK(isDisplayPattern(item.text));
    }
}

void checkTable(const FourFoldTexts &cells, const QString &prevalence) {
    const DiagnosticResult r = evaluateDiagnostic(cells, prevalence);
    const Details &d = r.details;
    checkForms(d);
    for (const char *name :
         {"DiagSens", "DiagSpec", "DiagPpv", "DiagNpv", "DiagAccuracy", "DiagPrevalence"})
        checkEstimate(d, QString::fromLatin1(name), 0, 1);
    for (const char *name : {"DiagLrPos", "DiagLrNeg", "DiagDor"})
        checkEstimate(d, QString::fromLatin1(name), 0, 1e300);
    checkEstimate(d, QStringLiteral("DiagYouden"), -1, 1);
    checkEstimate(d, QStringLiteral("DiagPpvAtPrev"), 0, 1);
    checkEstimate(d, QStringLiteral("DiagNpvAtPrev"), 0, 1);
    const ReportContent report = diagnosticReport(r);
    FUZZ_CHECK(!report.chinese.contains(QLatin1String("nan")));

    const Details k = pairedKappa(cells);
    checkForms(k);
    checkEstimate(k, QStringLiteral("KappaAgreement"), 0, 1);
    checkEstimate(k, QStringLiteral("Kappa"), -1, 1);
    if (!k.text(u"KappaLow").isEmpty())
        FUZZ_CHECK(number(k, QStringLiteral("KappaLow")) >= -1 &&
                   number(k, QStringLiteral("KappaHigh")) <= 1);
}

void checkRoc(const RocColumns &columns, bool lowerPositive) {
    const RocResult r = analyseRoc(columns, lowerPositive);
    const Details &d = r.details;
    checkForms(d);
    checkEstimate(d, QStringLiteral("RocAuc"), 0, 1);
    if (!d.text(u"RocAucLow").isEmpty())
        FUZZ_CHECK(number(d, QStringLiteral("RocAucLow")) >= 0 &&
                   number(d, QStringLiteral("RocAucHigh")) <= 1);
    checkEstimate(d, QStringLiteral("RocCutoffSens"), 0, 1);
    checkEstimate(d, QStringLiteral("RocCutoffSpec"), 0, 1);
    checkEstimate(d, QStringLiteral("RocYouden"), -1, 1);
    FUZZ_CHECK(d.text(u"RocAuc").isEmpty() == r.coordinates.empty());
    // Sensitivity falls and specificity rises along the values (the other way when flipped).
    for (std::size_t i = 1; i < r.coordinates.size(); ++i) {
        const RocCoordinate &a = r.coordinates[i - 1], &b = r.coordinates[i];
        FUZZ_CHECK(a.cutoff < b.cutoff);
        FUZZ_CHECK(lowerPositive ? a.truePositive <= b.truePositive
                                 : a.truePositive >= b.truePositive);
    }
    const RocCurve curve = rocCurve(r);
    for (const RocPoint &p : curve.points)
        FUZZ_CHECK(p.falsePositive >= 0 && p.falsePositive <= 1 && p.sensitivity >= 0 &&
                   p.sensitivity <= 1);
    rocReport(r);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QStringList lines = quarbel::fuzz::linesOf(data, size);
    auto line = [&](qsizetype i) { return i < lines.size() ? lines[i] : QString(); };
    checkTable({line(0), line(1), line(2), line(3)}, line(4));

    // Counts straight from the bytes, the largest a cell can hold among them.
    if (size >= 4 * sizeof(std::int64_t)) {
        std::int64_t counts[4];
        std::memcpy(counts, data, sizeof counts);
        FourFoldTexts texts;
        for (std::size_t i = 0; i < 4; ++i)
            texts[i] = QString::number(counts[i] % 1000000000000000LL);
        checkTable(texts, line(4));
        for (std::size_t i = 0; i < 4; ++i)
            texts[i] = QString::number(counts[i] & 0xFFFF);
        checkTable(texts, QString::number(double(counts[0] & 0xFFFFF) / 10000));
    }

    // The lines dealt into the two columns as typed.
    QStringList values, status;
    for (qsizetype i = 0; i < lines.size(); ++i)
        (i % 2 == 0 ? values : status).append(lines[i].trimmed());
    ColumnList valueList(QStringLiteral("List1")), statusList(QStringLiteral("List2"));
    valueList.replaceAll(values);
    statusList.replaceAll(status);
    const RocColumns typed{valueList.ticks(), statusList.ticks(), values, status};
    checkRoc(typed, false);
    checkRoc(typed, true);

    // Raw ticks for the values, the extremes included, each byte's low bit the status.
    std::vector<std::int64_t> ticks(size / sizeof(std::int64_t)), flags(ticks.size());
    if (!ticks.empty())
        std::memcpy(ticks.data(), data, ticks.size() * sizeof(std::int64_t));
    for (std::size_t i = 0; i < flags.size(); ++i)
        flags[i] = (data[i] & 1) ? Fixed4::Scale : 0;
    checkRoc({ticks, flags, {}, {}}, size > 0 && (data[0] & 2) != 0);
    return 0;
}
