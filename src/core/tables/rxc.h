#pragma once

#include "core/entry/details.h"

#include <QString>

#include <array>
#include <optional>

namespace quarbel {

// The twelve cells of the 3×4 grid as typed, row by row: row r, column c is item 4·r + c.
using RxCTexts = std::array<QString, 12>;

struct RxCResult {
    std::array<QString, 4> columnTotals; // empty while the table has fewer than 2 df
    std::array<QString, 3> rowTotals;
    QString grandTotal;
    // The theoretical count of each cell (plain decimal form); none when the grand total is 0,
    // in which case the store keeps what it held.
    std::optional<std::array<QString, 12>> expected;
    int degreesOfFreedom{0};
    QString n;
    QString chiSquare;
    QString critical05;
    QString critical01;
    QString judgment;
    bool warning{false}; // theoretical counts too small for the test
    // Exact P of the statistic on the table's df and Cramér's V; shown also under the warning,
    // whose reason the note gives.
    Details details;
    friend bool operator==(const RxCResult &, const RxCResult &) = default;
};

inline const QString RxCWarning = QStringLiteral("提示：某行列中的理论数太小，不宜应用本法！");

// Chi-square test of the rows and columns of the grid that hold counts; empty rows and
// columns are left out of the degrees of freedom. A count too large to be held exactly, like a
// negative one, leaves the statistic and its details empty.
RxCResult rxcChiSquare(const RxCTexts &texts);

} // namespace quarbel
