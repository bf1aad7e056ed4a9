// Arbitrary texts into the computations behind the grids: the group summaries of a column,
// and the analysis of variance with its pairwise q and LSD-t tests fed both the typed boxes
// and the summaries of three typed columns. Nothing may crash and every shown number must
// keep its field's pattern, the details' exact P, intervals and Welch df included.
#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/means/anova.h"
#include "core/means/group_summary.h"
#include "core/means/pairwise.h"
#include "fuzz_support.h"

#include <cstring>
#include <vector>

using namespace quarbel;
using quarbel::fuzz::isDisplayPattern;

namespace {

bool isLabel(QStringView s) {
    return s == labels::P05 || s == labels::P01 || s == labels::NotSignificant;
}

bool isTwoDecimals(const QString &s) {
    const qsizetype point = s.indexOf(u'.');
    bool ok = false;
    s.toDouble(&ok);
    return ok && point > 0 && point == s.size() - 3;
}

void checkSummary(const GroupSummary &s) {
    FUZZ_CHECK(s.mean.isEmpty() || isDisplayPattern(s.mean));
    FUZZ_CHECK(isDisplayPattern(s.sd));
    bool ok = false;
    FUZZ_CHECK(s.n.toLongLong(&ok) >= 0 && ok);
    FUZZ_CHECK(s.mean.isEmpty() == (s.n == QLatin1String("0")));
}

// "PREFIX" + "NAME" + number + rest, where rest is checked by the caller.
bool pairLine(const QString &line, std::size_t k, QStringView name, QStringView *rest) {
    const QString head = pairPrefixes()[k] + name.toString();
    if (!line.startsWith(head))
        return false;
    *rest = QStringView(line).mid(head.size());
    return true;
}

bool isPValue(const QString &s) {
    return s == QLatin1String("<0.001") ||
           (isTwoDecimals(s.chopped(1)) && s.front() <= u'1' && s.back().isDigit());
}

// Every item in its field's pattern, and nothing shown where F is not.
void checkDetails(const AnovaResult &a) {
    FUZZ_CHECK(a.details.items.size() == 19);
    for (const DetailItem &item : a.details.items) {
        if (item.text.isEmpty())
            continue;
        FUZZ_CHECK(!a.fResult.isEmpty());
        if (item.name.endsWith(u'P') || item.name.contains(QLatin1String("TukeyP")))
            FUZZ_CHECK(isPValue(item.text));
        else if (item.name == QLatin1String("AnovaWelchDf2"))
            FUZZ_CHECK(isTwoDecimals(item.text));
        else
            FUZZ_CHECK(isDisplayPattern(item.text));
    }
}

void checkAnova(const AnovaBoxes &boxes) {
    const AnovaResult a = runAnova(boxes);
    checkDetails(a);
    if (!a.fResult.isEmpty()) {
        FUZZ_CHECK(a.fResult.startsWith(QLatin1String("F = ")));
        const QStringList parts = a.fResult.mid(4).split(labels::Gap);
        FUZZ_CHECK(parts.size() == 2 && isDisplayPattern(parts[0]) && isLabel(parts[1]));
    }
    if (a.critical)
        FUZZ_CHECK(isTwoDecimals(a.critical->f05) && isTwoDecimals(a.critical->f01));

    const QTestResult q = runQTest(boxes, a.terms);
    if (q.meanOrder)
        FUZZ_CHECK(q.meanOrder->size() == 3);
    for (std::size_t k = 0; k < 3; ++k) {
        if (q.lines[k].isEmpty())
            continue;
        QStringView rest;
        FUZZ_CHECK(pairLine(q.lines[k], k, u"q = ", &rest));
        const auto parts = rest.split(labels::Gap);
        FUZZ_CHECK(parts.size() == 2 && isDisplayPattern(parts[0].toString()) && isLabel(parts[1]));
    }
    const LsdResult lsd = runLsdTest(boxes, a.terms);
    for (std::size_t k = 0; k < 3; ++k) {
        if (lsd.lines[k].isEmpty())
            continue;
        QStringView rest;
        FUZZ_CHECK(pairLine(lsd.lines[k], k, u"LSD-t=", &rest));
        const auto parts = rest.split(QStringLiteral(" p="));
        FUZZ_CHECK(parts.size() == 2 && isDisplayPattern(parts[0].toString()) &&
                   isDisplayPattern(parts[1].toString()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QStringList lines = quarbel::fuzz::linesOf(data, size);

    AnovaBoxes typed;
    for (std::size_t i = 0; i < typed.size() && qsizetype(i) < lines.size(); ++i)
        typed[i] = lines[qsizetype(i)];
    checkAnova(typed);

    // Three columns dealt from the lines in turn, summarised into the boxes as the grid does.
    std::array<QStringList, 3> columns;
    for (qsizetype i = 0; i < lines.size(); ++i)
        columns[std::size_t(i % 3)].append(lines[i].trimmed());
    AnovaBoxes summarised;
    for (std::size_t g = 0; g < 3; ++g) {
        ColumnList list(QStringLiteral("List%1").arg(g + 3));
        list.replaceAll(columns[g]);
        const GroupSummary s = summariseGroup(list.ticks());
        checkSummary(s);
        summarised[3 * g] = s.mean;
        summarised[3 * g + 1] = s.sd;
        summarised[3 * g + 2] = s.n;
    }
    checkAnova(summarised);

    // Raw ticks, the extremes a column can hold included.
    std::vector<std::int64_t> ticks(size / sizeof(std::int64_t));
    if (!ticks.empty())
        std::memcpy(ticks.data(), data, ticks.size() * sizeof(std::int64_t));
    checkSummary(summariseGroup(ticks));
    return 0;
}
