#include "core/tables/rxc.h"

#include "core/entry/number_rules.h"
#include "core/tables/chi_square.h"

#include <boost/math/distributions/chi_squared.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quarbel {
namespace {

constexpr int Rows = 3;
constexpr int Columns = 4;

struct Critical {
    int df;
    double p05;
    double p01;
};
constexpr std::array<Critical, 4> criticalValues{{
    {2, 5.99, 9.21},
    {3, 7.81, 11.34},
    {4, 9.49, 13.28},
    {6, 12.59, 16.81},
}};

// Totals and theoretical counts are taken back from their shown text, as a reader would.
double asShown(double value) {
    return leadingNumber(plainForm(value));
}

// The one list of the method's details, in display order.
Details rxcDetails(const QString &p = {}, const QString &v = {}, const QString &note = {}) {
    return {{{QStringLiteral("RxCP"), QStringLiteral("P值"), p},
             {QStringLiteral("CramerV"), QStringLiteral("Cramér V"), v}},
            note};
}

namespace notes {
const QString OutOfRange = QStringLiteral("有计数过大，无法精确计算，不作检验。");
const QString Negative = QStringLiteral("有计数为负数，不作检验。");
const QString FourFold = QStringLiteral("只有两行两列有计数：四格表请用“计数资料卡方检验”。");
const QString TooFew = QStringLiteral("至少需要两行和两列有计数。");
const QString SmallExpected =
    QStringLiteral("理论数太小，χ²检验的P值不可靠：请合并相邻的行或列，或改用确切概率法。");
const QString Fractional = QStringLiteral("有非整数的计数：χ²检验要求频数为整数，请核对。");
const QString NoStatistic = QStringLiteral("计数过大，χ²无法计算。");
} // namespace notes

struct Counts {
    std::array<double, 12> cells{};
    bool anyNegative{false}, outOfRange{false}, fractional{false}, anyCount{false};
};

Counts readCounts(const RxCTexts &texts) {
    Counts counts;
    for (std::size_t k = 0; k < counts.cells.size(); ++k) {
        const std::optional<double> count = leadingCount(texts[k]);
        // A count that cannot be held leaves every total it enters empty.
        double &cell = counts.cells[k];
        cell = count.value_or(std::numeric_limits<double>::quiet_NaN());
        counts.outOfRange = counts.outOfRange || !count;
        counts.anyNegative = counts.anyNegative || cell < 0.0;
        counts.fractional = counts.fractional || (count && *count != std::floor(*count));
        counts.anyCount = counts.anyCount || cell != 0.0;
    }
    return counts;
}

struct Margins {
    std::array<double, Rows> rows{};
    std::array<double, Columns> columns{};
    double grand{0.0};
};

Margins marginsOf(const std::array<double, 12> &cells) {
    Margins m;
    for (int c = 0; c < Columns; ++c)
        m.columns[c] = cells[c] + cells[4 + c] + cells[8 + c];
    for (int r = 0; r < Rows; ++r)
        m.rows[r] = cells[4 * r] + cells[4 * r + 1] + cells[4 * r + 2] + cells[4 * r + 3];
    for (double v : cells)
        m.grand += v;
    return m;
}

// The margins as read back from their shown text.
Margins shownMargins(Margins m) {
    for (double &v : m.columns)
        v = asShown(v);
    for (double &v : m.rows)
        v = asShown(v);
    m.grand = asShown(m.grand);
    return m;
}

struct Statistic {
    double chi{0.0};
    int usedRows{0}; // rows and columns that hold counts
    int usedColumns{0};
};

Statistic chiSquareOf(const std::array<double, 12> &cells, const Margins &m) {
    Statistic s;
    for (int r = 0; r < Rows; ++r) {
        s.usedRows += m.rows[r] > 0.0 ? 1 : 0;
        for (int c = 0; c < Columns; ++c) {
            if (m.rows[r] * m.columns[c] == 0.0)
                continue;
            const double e = m.rows[r] * m.columns[c] / m.grand;
            const double o = cells[4 * r + c];
            s.chi += (o - e) * (o - e) / e;
        }
    }
    for (double v : m.columns)
        s.usedColumns += v > 0.0 ? 1 : 0;
    return s;
}

// Stores the theoretical counts' texts in the result and gives them as read back; all zero
// (and nothing stored) when the grand total is 0.
std::array<double, 12> putExpected(RxCResult &result, const Margins &m) {
    std::array<double, 12> expected{};
    if (m.grand == 0.0)
        return expected;
    std::array<QString, 12> store;
    for (int k = 0; k < 12; ++k) {
        store[k] = plainForm(m.rows[k / Columns] * m.columns[k % Columns] / m.grand);
        expected[k] = leadingNumber(store[k]);
    }
    result.expected = store;
    return expected;
}

bool expectedTooSmall(const std::array<double, 12> &expected, int df) {
    int small = 0;
    bool tiny = false;
    for (double t : expected) {
        tiny = tiny || (t > 0.0 && t < 1.0);
        small += (t >= 1.0 && t < 5.0) ? 1 : 0;
    }
    return tiny || (df < 6 && small >= 2) || (df == 6 && small >= 3);
}

void putJudgment(RxCResult &result, double chi, int df) {
    for (const Critical &row : criticalValues) {
        if (row.df != df)
            continue;
        result.critical05 = plainForm(row.p05);
        result.critical01 = plainForm(row.p01);
        result.n = result.grandTotal;
        result.chiSquare = displayForm(chi);
        result.judgment = judgeShownChiSquare(result.chiSquare, row.p05, row.p01);
    }
}

} // namespace

RxCResult rxcChiSquare(const RxCTexts &texts) {
    const Counts counts = readCounts(texts);
    const Margins totals = marginsOf(counts.cells);
    RxCResult result;
    for (int c = 0; c < Columns; ++c)
        result.columnTotals[c] = plainForm(totals.columns[c]);
    for (int r = 0; r < Rows; ++r)
        result.rowTotals[r] = plainForm(totals.rows[r]);
    result.grandTotal = plainForm(totals.grand);

    const Margins shown = shownMargins(totals);
    const Statistic s = chiSquareOf(counts.cells, shown);
    const double chi = s.chi;
    result.degreesOfFreedom = (s.usedRows - 1) * (s.usedColumns - 1);
    const std::array<double, 12> expected = putExpected(result, shown);

    const int df = result.degreesOfFreedom;
    const QString unusable = counts.outOfRange    ? notes::OutOfRange
                             : counts.anyNegative ? notes::Negative
                                                  : QString();
    if (df < 2) {
        // A 2×2 table or less: nothing is shown, not even the totals.
        result.columnTotals = {};
        result.rowTotals = {};
        result.grandTotal.clear();
        const QString shape =
            s.usedRows == 2 && s.usedColumns == 2 ? notes::FourFold : notes::TooFew;
        result.details = rxcDetails({}, {},
                                    !unusable.isEmpty() ? unusable
                                    : counts.anyCount   ? shape
                                                        : QString());
        return result;
    }
    if (!unusable.isEmpty()) {
        result.n = result.grandTotal; // a chi-square of such counts means nothing
        result.details = rxcDetails({}, {}, unusable);
        return result;
    }

    // The details stand beside the panel's own test, so they are of the same statistic.
    QString p, v;
    if (std::isfinite(chi)) {
        const boost::math::chi_squared_distribution<double> distribution(df);
        p = pValueForm(boost::math::cdf(boost::math::complement(distribution, chi)));
        const int k = std::min(s.usedRows, s.usedColumns);
        v = displayForm(std::sqrt(chi / (shown.grand * (k - 1))));
    }
    if (expectedTooSmall(expected, df)) {
        result.warning = true;
        result.details = rxcDetails(p, v, notes::SmallExpected);
        return result;
    }
    // A judgment needs its statistic: with none, the critical values and n go too.
    if (!std::isfinite(chi)) {
        result.details = rxcDetails({}, {}, notes::NoStatistic);
        return result;
    }
    putJudgment(result, chi, df);
    result.details = rxcDetails(p, v, counts.fractional ? notes::Fractional : QString());
    return result;
}

} // namespace quarbel
