// Two columns of arbitrary texts (lines dealt in turn) and of raw ticks into the methods of
// the two-column grid: the group summaries feeding the two-sample t-test, the paired t-test,
// and correlation with regression. Nothing may crash and every shown number must keep its
// field's pattern. Typed entry by entry, the totals the lists keep must equal a fresh pass.
#include "core/correlation/correlation.h"
#include "core/entry/column_list.h"
#include "core/entry/list_pair.h"
#include "core/entry/number_rules.h"
#include "core/means/group_summary.h"
#include "core/means/paired.h"
#include "core/means/two_sample.h"
#include "fuzz_support.h"

#include <cstring>
#include <vector>

using namespace quarbel;
using quarbel::fuzz::isDisplayPattern;

namespace {

bool displayOrEmpty(const QString &s) {
    return s.isEmpty() || isDisplayPattern(s);
}

bool isLabel(QStringView s) {
    return s == labels::P05 || s == labels::P01 || s == labels::P001 || s == labels::NotSignificant;
}

bool wholeOrEmpty(const QString &s) {
    bool ok = true;
    if (!s.isEmpty())
        ok = s.toLongLong(&ok) >= 0 && ok;
    return ok;
}

// "t = 2.2361  p < 0.05" or empty.
bool tLine(const QString &s) {
    if (s.isEmpty())
        return true;
    if (!s.startsWith(QLatin1String("t = ")))
        return false;
    const QStringList parts = s.mid(4).split(labels::Gap);
    return parts.size() == 2 && isDisplayPattern(parts[0]) && isLabel(parts[1]);
}

// Every detail is empty or in its form: P as "<0.001" or three decimals, Welch's df with two,
// the rest four; and no interval has its bounds the wrong way round.
bool detailsInForm(const Details &d) {
    for (const DetailItem &item : d.items) {
        const QString &s = item.text;
        if (s.isEmpty())
            continue;
        if (item.name.endsWith(u'P')) {
            if (s != QLatin1String("<0.001") && !(isDisplayPattern(s + u'0') && s.size() == 5))
                return false;
        } else if (item.name.endsWith(QLatin1String("Df"))) {
            if (!isDisplayPattern(s + QLatin1String("00")))
                return false;
        } else if (!isDisplayPattern(s)) {
            return false;
        }
        if (item.name.endsWith(QLatin1String("Low"))) {
            QString high = item.name;
            high.replace(high.size() - 3, 3, QLatin1String("High"));
            const QString top = d.text(high);
            if (!top.isEmpty() && s.toDouble() > top.toDouble())
                return false;
        }
    }
    return true;
}

void checkTwoColumns(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    std::array<QString, 6> boxes;
    for (int g = 0; g < 2; ++g) {
        const GroupSummary s = summariseGroup(g == 0 ? x : y);
        boxes[std::size_t(3 * g)] = s.mean;
        boxes[std::size_t(3 * g + 1)] = s.sd;
        boxes[std::size_t(3 * g + 2)] = s.n;
    }
    const TwoSampleResult t = twoSampleT(boxes);
    FUZZ_CHECK(tLine(t.result));
    FUZZ_CHECK(detailsInForm(t.details));

    const PairedResult p = pairedT(x, y);
    FUZZ_CHECK(wholeOrEmpty(p.n));
    FUZZ_CHECK(displayOrEmpty(p.meanDifference) && displayOrEmpty(p.sdDifference));
    FUZZ_CHECK(!p.meanDifference.startsWith(u'-'));
    FUZZ_CHECK(tLine(p.result));
    FUZZ_CHECK(detailsInForm(p.details));

    const CorrelationResult c = correlate(x, y);
    FUZZ_CHECK(wholeOrEmpty(c.n));
    FUZZ_CHECK(displayOrEmpty(c.r) && displayOrEmpty(c.t) && displayOrEmpty(c.intercept));
    if (!c.r.isEmpty())
        FUZZ_CHECK(std::fabs(c.r.toDouble()) <= 1.0);
    FUZZ_CHECK(c.slope.isEmpty() ||
               ((c.slope.startsWith(u'+') || c.slope.startsWith(u'-')) &&
                isDisplayPattern(c.slope.mid(c.slope.startsWith(u'+') ? 1 : 0))));
    FUZZ_CHECK(c.equation.isEmpty() ||
               c.equation == QStringLiteral("Y=") + c.intercept + c.slope + u'X');
    FUZZ_CHECK(detailsInForm(c.details));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // Typed boxes straight into the two-sample test.
    const QStringList lines = quarbel::fuzz::linesOf(data, size);
    std::array<QString, 6> typed;
    for (std::size_t i = 0; i < typed.size() && qsizetype(i) < lines.size(); ++i)
        typed[i] = lines[qsizetype(i)];
    const TwoSampleResult fromBoxes = twoSampleT(typed);
    FUZZ_CHECK(tLine(fromBoxes.result));
    FUZZ_CHECK(detailsInForm(fromBoxes.details));

    // Typed columns, as the grid stores them.
    std::array<QStringList, 2> columns;
    for (qsizetype i = 0; i < lines.size(); ++i)
        columns[std::size_t(i % 2)].append(lines[i].trimmed());
    ColumnList x(QStringLiteral("List1")), y(QStringLiteral("List2"));
    x.replaceAll(columns[0]);
    y.replaceAll(columns[1]);
    checkTwoColumns(x.ticks(), y.ticks());

    // The same entries typed one by one, each over the entry before it, as a keystroke
    // replaces a cell's text: the kept totals must equal those of a fresh pass.
    ColumnList u(QStringLiteral("List1")), v(QStringLiteral("List2"));
    const ListPair pair(&u, &v);
    u.reset(columns[0].size());
    v.reset(columns[1].size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        ColumnList &list = i % 2 == 0 ? u : v;
        const QStringList &texts = columns[std::size_t(i % 2)];
        const qsizetype entry = i / 2;
        list.set(entry, texts[entry > 0 ? entry - 1 : entry]);
        list.set(entry, texts[entry]);
        if (entry > 0 && (i / 2) % 3 == 0)
            list.set(entry - 1, QString());
    }
    FUZZ_CHECK(u.totals() == ColumnTotals::of(u.ticks()));
    FUZZ_CHECK(v.totals() == ColumnTotals::of(v.ticks()));
    FUZZ_CHECK(pair.totals() == PairTotals::of(u.ticks(), v.ticks()));

    // Raw ticks, the extremes a column can hold included.
    const std::size_t n = size / (2 * sizeof(std::int64_t));
    std::vector<std::int64_t> a(n), b(n);
    if (n > 0) {
        std::memcpy(a.data(), data, n * sizeof(std::int64_t));
        std::memcpy(b.data(), data + n * sizeof(std::int64_t), n * sizeof(std::int64_t));
    }
    checkTwoColumns(a, b);
    return 0;
}
