// Arbitrary cell texts, one a line, into every count-table computation: the four-fold and
// paired four-fold tests, the R×C test and the graded-table analyses. Nothing may crash and
// every shown field must be empty or keep the pattern its field uses; negative counts, and
// counts too large to be held, show no statistic; a small-count warning shows no result; a
// judgment never shows without its statistic; the details keep their forms.
#include "core/entry/number_rules.h"
#include "core/tables/four_fold.h"
#include "core/tables/graded.h"
#include "core/tables/rxc.h"
#include "fuzz_support.h"

using namespace quarbel;
using quarbel::fuzz::isDisplayPattern;
using quarbel::fuzz::isPlainPattern;

namespace {

bool plainOrEmpty(const QString &s) {
    return s.isEmpty() || isPlainPattern(s);
}
bool displayOrEmpty(const QString &s) {
    return s.isEmpty() || isDisplayPattern(s);
}
bool label(const QString &s) {
    return s.isEmpty() || s == labels::P05 || s == labels::P01 || s == labels::NotSignificant;
}
// "<0.001" or "D.DDD" between 0 and 1.
bool pOrEmpty(const QString &s) {
    if (s.isEmpty() || s == QLatin1String("<0.001"))
        return true;
    bool ok = false;
    const double p = s.toDouble(&ok);
    return ok && s.size() == 5 && s[1] == u'.' && p >= 0.0 && p <= 1.0;
}
bool allEmpty(const Details &d) {
    for (const DetailItem &item : d.items)
        if (!item.text.isEmpty())
            return false;
    return true;
}

template <std::size_t N> std::array<QString, N> cellsOf(const QStringList &lines) {
    std::array<QString, N> cells;
    for (std::size_t i = 0; i < N && qsizetype(i) < lines.size(); ++i)
        cells[i] = lines[qsizetype(i)];
    return cells;
}

void checkMargins(const FourFoldMargins &m) {
    for (const QString *s : {&m.positive, &m.negative, &m.row1, &m.row2, &m.total})
        FUZZ_CHECK(plainOrEmpty(*s));
}

void checkWhole(const QString &n) {
    bool ok = true;
    if (!n.isEmpty())
        n.toLongLong(&ok);
    FUZZ_CHECK(ok);
}

void checkFourFold(const FourFoldTexts &cells) {
    bool negative = false, outOfRange = false;
    for (const QString &c : cells) {
        negative = negative || Fixed4::parse(c).value_or(Fixed4{}).ticks() < 0;
        outOfRange = outOfRange || Fixed4::outOfRange(c);
    }
    // A count that cannot be held exactly is refused like a negative one.
    const bool refused = negative || outOfRange;
    checkMargins(fourFoldMargins(cells));
    const FourFoldResult r = fourFoldChiSquare(cells);
    checkMargins(r.margins);
    for (const QString &e : r.expected)
        FUZZ_CHECK(displayOrEmpty(e));
    checkWhole(r.n);
    FUZZ_CHECK(displayOrEmpty(r.chiSquare));
    FUZZ_CHECK(label(r.judgment) || r.judgment == FourFoldUnsuitable);
    FUZZ_CHECK(r.n.isEmpty() == r.margins.total.isEmpty());
    // A judgment stands only with its statistic's inputs: refused or overflowing counts empty it.
    FUZZ_CHECK(!refused || r.judgment.isEmpty());
    FUZZ_CHECK(!r.judgment.isEmpty() || refused || r.n.isEmpty());
    if (refused)
        FUZZ_CHECK(r.chiSquare.isEmpty() && r.expected[0].isEmpty());

    const PairedFourFoldResult p = pairedFourFoldChiSquare(cells);
    checkMargins(p.margins);
    checkWhole(p.n);
    FUZZ_CHECK(displayOrEmpty(p.chiSquare));
    FUZZ_CHECK(label(p.judgment));
    FUZZ_CHECK(p.chiSquare.isEmpty() == p.judgment.isEmpty());
    FUZZ_CHECK(!refused || p.chiSquare.isEmpty());
}

void checkRxC(const RxCTexts &cells) {
    bool negative = false, outOfRange = false;
    for (const QString &c : cells) {
        negative = negative || leadingNumber(c) < 0.0;
        outOfRange = outOfRange || !leadingCount(c);
    }
    const RxCResult r = rxcChiSquare(cells);
    for (const QString &s : r.columnTotals)
        FUZZ_CHECK(plainOrEmpty(s));
    for (const QString &s : r.rowTotals)
        FUZZ_CHECK(plainOrEmpty(s));
    FUZZ_CHECK(plainOrEmpty(r.grandTotal));
    if (r.expected)
        for (const QString &s : *r.expected)
            FUZZ_CHECK(plainOrEmpty(s));
    FUZZ_CHECK(r.chiSquare.isEmpty() || (r.degreesOfFreedom >= 2 && r.degreesOfFreedom <= 6));
    FUZZ_CHECK(plainOrEmpty(r.n));
    FUZZ_CHECK(displayOrEmpty(r.chiSquare));
    FUZZ_CHECK(plainOrEmpty(r.critical05) && plainOrEmpty(r.critical01));
    FUZZ_CHECK(label(r.judgment));
    FUZZ_CHECK(r.critical05.isEmpty() == r.judgment.isEmpty());
    FUZZ_CHECK(r.judgment.isEmpty() || (!negative && !r.warning));
    if (r.degreesOfFreedom < 2)
        FUZZ_CHECK(r.grandTotal.isEmpty() && r.n.isEmpty() && !r.warning);
    if (r.warning)
        FUZZ_CHECK(r.n.isEmpty() && r.chiSquare.isEmpty());
    // No judgment without its statistic; nothing of a count that cannot be held.
    FUZZ_CHECK(r.judgment.isEmpty() == r.chiSquare.isEmpty());
    FUZZ_CHECK(!outOfRange || r.judgment.isEmpty());
    FUZZ_CHECK(r.details.items.size() == 2);
    FUZZ_CHECK(pOrEmpty(r.details.text(u"RxCP")) && displayOrEmpty(r.details.text(u"CramerV")));
    FUZZ_CHECK(r.details.text(u"RxCP").isEmpty() == r.details.text(u"CramerV").isEmpty());
    if (negative || outOfRange || r.degreesOfFreedom < 2)
        FUZZ_CHECK(allEmpty(r.details));
    if (!r.chiSquare.isEmpty())
        FUZZ_CHECK(!r.details.text(u"RxCP").isEmpty());
}

void checkGraded(const GradedTexts &cells) {
    bool negative = false, outOfRange = false;
    for (const QString &c : cells) {
        negative = negative || leadingNumber(c) < 0.0;
        outOfRange = outOfRange || !leadingCount(c);
    }
    const GradedResult r = gradedAnalysis(cells);
    FUZZ_CHECK(plainOrEmpty(r.testTotal) && plainOrEmpty(r.controlTotal));
    for (const QString &s : r.gradeTotals)
        FUZZ_CHECK(plainOrEmpty(s));
    FUZZ_CHECK(plainOrEmpty(r.grandTotal));
    FUZZ_CHECK(displayOrEmpty(r.rankSumZ) && displayOrEmpty(r.riditZ));
    FUZZ_CHECK(label(r.rankSumJudgment) && label(r.riditJudgment));
    // Both analyses are shown together or not at all.
    FUZZ_CHECK(r.rankSumZ.isEmpty() == r.riditZ.isEmpty());
    FUZZ_CHECK(r.rankSumZ.isEmpty() == r.rankSumJudgment.isEmpty());
    FUZZ_CHECK(r.riditZ.isEmpty() == r.riditJudgment.isEmpty());
    // A count that cannot be held is never read as 0: nothing is tested.
    if (negative || outOfRange)
        FUZZ_CHECK(r.rankSumZ.isEmpty() && allEmpty(r.details));
    const Details &d = r.details;
    FUZZ_CHECK(d.items.size() == 8);
    FUZZ_CHECK(pOrEmpty(d.text(u"RankSumP")) && pOrEmpty(d.text(u"RiditP")));
    FUZZ_CHECK(r.rankSumZ.isEmpty() || !d.text(u"RankSumP").isEmpty());
    FUZZ_CHECK(r.riditZ.isEmpty() || !d.text(u"RiditP").isEmpty());
    for (const DetailItem &item : d.items) {
        if (item.name.startsWith(u"RiditMean")) {
            FUZZ_CHECK(displayOrEmpty(item.text));
            FUZZ_CHECK(item.text.isEmpty() == d.text(u"RiditP").isEmpty());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QStringList lines = quarbel::fuzz::linesOf(data, size);
    checkFourFold(cellsOf<4>(lines));
    checkRxC(cellsOf<12>(lines));
    checkGraded(cellsOf<8>(lines));
    return 0;
}
