// Arbitrary grid columns into the survival analysis: times negative, huge, tied or not numbers,
// outcomes other than 1 and 0, up to twelve groups, empty cells anywhere, and the rate's time.
// Nothing may throw or crash, no field may show NaN or infinity, and the shown numbers must keep
// their forms and the orders they cannot break (events ≤ n, low ≤ estimate ≤ high, P ≤ 1).
#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/survival/survival.h"
#include "fuzz_support.h"

#include <array>
#include <cstring>
#include <vector>

using namespace quarbel;
using quarbel::fuzz::isDisplayPattern;
using quarbel::fuzz::isPlainPattern;

namespace {

const std::array<const char *, 16> timeTexts{"0",
                                             "1",
                                             "2",
                                             "2.5",
                                             "3",
                                             "-1",
                                             "",
                                             "x",
                                             "100000000000000",
                                             "922337203685477.5807",
                                             "10.0001",
                                             "10.0002",
                                             "7",
                                             "1e3",
                                             " 4 ",
                                             "0.0001"};
const std::array<const char *, 8> outcomeTexts{"1", "0", "1", "0", "2", "", "0.5", "1.0"};

QString timeOf(std::uint8_t b) {
    if (b < 128)
        return QString::number(b % 40) + (b & 64 ? QStringLiteral(".5") : QString());
    return QString::fromLatin1(timeTexts[b % timeTexts.size()]);
}

QString groupOf(std::uint8_t b) {
    if (b < 16)
        return QString();
    if (b < 20)
        return QStringLiteral("x");
    if (b < 24)
        return QStringLiteral("2.5");
    return QString::number(b % 12);
}

bool isPValue(const QString &s) {
    if (s == QLatin1String("<0.001"))
        return true;
    return s.size() == 5 && s[1] == u'.' && s.toDouble() >= 0 && s.toDouble() <= 1;
}

bool noBadNumber(const QString &s) {
    return !s.contains(QLatin1String("nan"), Qt::CaseInsensitive) &&
           !s.contains(QLatin1String("inf"), Qt::CaseInsensitive);
}

bool isMedian(const QString &s) {
    return s == QStringLiteral("未达到") || isDisplayPattern(s);
}

// a ≤ b where both show numbers.
bool ordered(const QString &a, const QString &b) {
    if (!isDisplayPattern(a) || !isDisplayPattern(b))
        return true;
    return a.toDouble() <= b.toDouble();
}

void checkGroup(const SurvivalGroupTexts &g, bool first, bool grouped) {
    for (const QString *t :
         {&g.label, &g.n, &g.events, &g.median, &g.medianLow, &g.medianHigh, &g.rate, &g.rateLow,
          &g.rateHigh, &g.logRankObs, &g.logRankExp, &g.hr, &g.hrLow, &g.hrHigh, &g.coxP})
        FUZZ_CHECK(noBadNumber(*t));
    FUZZ_CHECK(isPlainPattern(g.n) && isPlainPattern(g.events));
    FUZZ_CHECK(g.events.toLongLong() <= g.n.toLongLong() && g.n.toLongLong() > 0);
    FUZZ_CHECK(isMedian(g.median) && isMedian(g.medianLow) && isMedian(g.medianHigh));
    FUZZ_CHECK(ordered(g.medianLow, g.median) && ordered(g.median, g.medianHigh));
    for (const QString *t : {&g.rate, &g.rateLow, &g.rateHigh})
        FUZZ_CHECK(t->isEmpty() ||
                   (isDisplayPattern(*t) && t->toDouble() >= 0 && t->toDouble() <= 1));
    FUZZ_CHECK(ordered(g.rateLow, g.rate) && ordered(g.rate, g.rateHigh));
    FUZZ_CHECK(!g.rate.isEmpty() || (g.rateLow.isEmpty() && g.rateHigh.isEmpty()));
    FUZZ_CHECK(g.logRankObs.isEmpty() || g.logRankObs == g.events);
    FUZZ_CHECK(g.logRankExp.isEmpty() || isDisplayPattern(g.logRankExp));
    FUZZ_CHECK(grouped || g.logRankObs.isEmpty());
    if (first || g.hr.isEmpty()) {
        FUZZ_CHECK(g.hr.isEmpty() && g.hrLow.isEmpty() && g.hrHigh.isEmpty() && g.coxP.isEmpty());
        return;
    }
    FUZZ_CHECK(isDisplayPattern(g.hr) && isDisplayPattern(g.hrLow) && isDisplayPattern(g.hrHigh));
    FUZZ_CHECK(ordered(g.hrLow, g.hr) && ordered(g.hr, g.hrHigh));
    FUZZ_CHECK(isPValue(g.coxP));
    FUZZ_CHECK(g.events != QLatin1String("0"));
}

void check(const SurvivalResult &r) {
    FUZZ_CHECK(r.groups.size() <= std::size_t(SurvivalMaxGroups));
    FUZZ_CHECK(r.rowsUsed >= 0 && r.rowsLeftOut >= 0);
    FUZZ_CHECK(r.rowsLeftOut == 0 || !r.note.isEmpty());
    FUZZ_CHECK(noBadNumber(r.note));
    std::int64_t n = 0;
    for (std::size_t g = 0; g < r.groups.size(); ++g) {
        checkGroup(r.groups[g], g == 0, r.groups.size() > 1);
        n += r.groups[g].n.toLongLong();
    }
    FUZZ_CHECK(r.groups.empty() || n == r.rowsUsed);
    FUZZ_CHECK(r.groups.size() == r.codes.size());
    if (!r.logRankChi2.isEmpty()) {
        FUZZ_CHECK(r.groups.size() > 1);
        FUZZ_CHECK(isDisplayPattern(r.logRankChi2) && r.logRankChi2.toDouble() >= 0);
        FUZZ_CHECK(isPlainPattern(r.logRankDf) && r.logRankDf.toInt() >= 1);
        FUZZ_CHECK(isPValue(r.logRankP));
    } else {
        FUZZ_CHECK(r.logRankDf.isEmpty() && r.logRankP.isEmpty());
    }
    std::int64_t lifeRows = 0;
    for (std::size_t i = 0; i < r.lifeTable.size(); ++i) {
        const LifeTableRow &row = r.lifeTable[i];
        FUZZ_CHECK(row.group >= 0 && std::size_t(row.group) < r.groups.size());
        FUZZ_CHECK(row.events >= 0 && row.censored >= 0 && row.events + row.censored > 0);
        FUZZ_CHECK(row.atRisk >= row.events + row.censored);
        FUZZ_CHECK(row.survival >= 0 && row.survival <= 1);
        if (i > 0 && r.lifeTable[i - 1].group == row.group)
            FUZZ_CHECK(r.lifeTable[i - 1].time < row.time);
        lifeRows += row.events + row.censored;
        const QStringList texts = lifeTableTexts(r, row);
        FUZZ_CHECK(texts.size() == 9);
        for (const QString &t : texts)
            FUZZ_CHECK(noBadNumber(t));
    }
    FUZZ_CHECK(lifeRows == (r.groups.empty() ? 0 : r.rowsUsed));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 2)
        return 0;
    const QString rateTime = timeOf(data[0]);
    const bool rawTicks = data[1] & 1;
    std::vector<QString> time, outcome, group;
    for (std::size_t i = 2; i + 2 < size; i += 3) {
        time.push_back(timeOf(data[i]));
        outcome.push_back(QString::fromLatin1(outcomeTexts[data[i + 1] % outcomeTexts.size()]));
        group.push_back(groupOf(data[i + 2]));
    }
    // Columns of unequal length: the group column may stop short.
    if (data[1] & 2)
        group.resize(group.size() / 2);
    std::vector<std::int64_t> t, o, g;
    for (const QString &s : time)
        t.push_back(ColumnList::ticksOf(s));
    for (const QString &s : outcome)
        o.push_back(ColumnList::ticksOf(s));
    for (const QString &s : group)
        g.push_back(ColumnList::ticksOf(s));
    // Raw times, the extremes a column can hold included.
    if (rawTicks)
        for (std::size_t i = 0; i < t.size() && (i + 1) * 8 <= size; ++i)
            if (data[i % size] & 4)
                std::memcpy(&t[i], data + i * 8 % (size - 7), sizeof(std::int64_t));
    check(analyseSurvival({t, o, g, time, outcome, group}, rateTime));
    return 0;
}
