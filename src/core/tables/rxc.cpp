#include "core/tables/rxc.h"

#include "core/entry/number_rules.h"
#include "core/tables/chi_square.h"

#include <cmath>

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

} // namespace

RxCResult rxcChiSquare(const RxCTexts &texts) {
    std::array<double, 12> cells{};
    bool anyNegative = false;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        cells[k] = leadingNumber(texts[k]);
        anyNegative = anyNegative || cells[k] < 0.0;
    }

    std::array<double, Rows> rows{};
    std::array<double, Columns> columns{};
    double grand = 0.0;
    for (int c = 0; c < Columns; ++c)
        columns[c] = cells[c] + cells[4 + c] + cells[8 + c];
    for (int r = 0; r < Rows; ++r)
        rows[r] = cells[4 * r] + cells[4 * r + 1] + cells[4 * r + 2] + cells[4 * r + 3];
    for (double v : cells)
        grand += v;

    RxCResult result;
    for (int c = 0; c < Columns; ++c)
        result.columnTotals[c] = plainForm(columns[c]);
    for (int r = 0; r < Rows; ++r)
        result.rowTotals[r] = plainForm(rows[r]);
    result.grandTotal = plainForm(grand);

    for (double &v : columns)
        v = asShown(v);
    for (double &v : rows)
        v = asShown(v);
    grand = asShown(grand);

    double chi = 0.0;
    int usedRows = 0, usedColumns = 0;
    for (int r = 0; r < Rows; ++r) {
        usedRows += rows[r] > 0.0 ? 1 : 0;
        for (int c = 0; c < Columns; ++c) {
            if (rows[r] * columns[c] == 0.0)
                continue;
            const double e = rows[r] * columns[c] / grand;
            const double o = cells[4 * r + c];
            chi += (o - e) * (o - e) / e;
        }
    }
    for (double v : columns)
        usedColumns += v > 0.0 ? 1 : 0;
    result.degreesOfFreedom = (usedRows - 1) * (usedColumns - 1);

    std::array<double, 12> expected{};
    if (grand != 0.0) {
        std::array<QString, 12> store;
        for (int k = 0; k < 12; ++k) {
            store[k] = plainForm(rows[k / Columns] * columns[k % Columns] / grand);
            expected[k] = leadingNumber(store[k]);
        }
        result.expected = store;
    }

    const int df = result.degreesOfFreedom;
    if (df < 2) {
        // A 2×2 table or less: nothing is shown, not even the totals.
        result.columnTotals = {};
        result.rowTotals = {};
        result.grandTotal.clear();
        return result;
    }
    if (anyNegative) {
        result.n = result.grandTotal; // a chi-square of negative counts means nothing
        return result;
    }

    int small = 0;
    bool tiny = false;
    for (double t : expected) {
        tiny = tiny || (t > 0.0 && t < 1.0);
        small += (t >= 1.0 && t < 5.0) ? 1 : 0;
    }
    if (tiny || (df < 6 && small >= 2) || (df == 6 && small >= 3)) {
        result.warning = true;
        return result;
    }

    for (const Critical &row : criticalValues) {
        if (row.df != df)
            continue;
        result.critical05 = plainForm(row.p05);
        result.critical01 = plainForm(row.p01);
        result.n = result.grandTotal;
        result.chiSquare = displayForm(chi);
        result.judgment = judgeShownChiSquare(result.chiSquare, row.p05, row.p01);
    }
    return result;
}

} // namespace quarbel
