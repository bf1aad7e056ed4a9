#pragma once

#include "core/entry/details.h"
#include "core/report/report.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quarbel {

// The two grid columns of the ROC analysis as the lists hold them: parsed ticks
// (ColumnList::Missing where a cell is empty or not a complete number) and the texts, which
// tell an empty row from an unusable one. Columns may differ in length; a row past a column's
// end is empty there.
struct RocColumns {
    std::span<const std::int64_t> value;
    std::span<const std::int64_t> status;
    std::span<const QString> valueText;
    std::span<const QString> statusText;
};

// One cut-off c, an observed value: "value ≥ c" is positive ("value ≤ c" when lower values
// indicate disease).
struct RocCoordinate {
    std::int64_t cutoff{0};       // ticks, as typed
    std::int64_t truePositive{0}; // cases called positive
    std::int64_t trueNegative{0}; // controls called negative
    friend bool operator==(const RocCoordinate &, const RocCoordinate &) = default;
};

struct RocResult {
    bool lowerPositive{false};
    std::int64_t cases{0};    // status 1
    std::int64_t controls{0}; // status 0
    std::int64_t unusable{0}; // rows with some text that do not count
    // RocNPos … RocYouden in the details boxes' forms; the note is what Note10 shows.
    Details details;
    // Every cut-off in ascending order of the value; empty without both classes.
    std::vector<RocCoordinate> coordinates;
    std::ptrdiff_t best{-1}; // index of the best cut-off in `coordinates`
    friend bool operator==(const RocResult &, const RocResult &) = default;
};

// Every item of the details in display order, all empty: the layout of the results box.
Details rocLayout();

// The AUC with DeLong's standard error and interval (as pROC's ci.auc with method "delong",
// clipped to [0, 1]), its two-sided P against 0.5, and the best cut-off by Youden's index,
// compared exactly; on a tie the cut-off with the highest sensitivity. One sort of each class
// and linear passes. Never throws.
RocResult analyseRoc(const RocColumns &columns, bool lowerPositive);

// A row of the coordinates table: cut-off, Se, Sp, Youden in the display form.
QStringList rocCoordinateTexts(const RocResult &result, const RocCoordinate &row);
QStringList rocCoordinateHeader();

// The curve for the picture: (1 − Sp, Se) from (0, 0) to (1, 1), the diagonal left to the
// picture.
struct RocPoint {
    double falsePositive{0};
    double sensitivity{0};
    friend bool operator==(const RocPoint &, const RocPoint &) = default;
};
struct RocCurve {
    std::vector<RocPoint> points; // empty without both classes
    std::ptrdiff_t best{-1};      // index of the best cut-off's point
    QString caption;              // "AUC = 0.8523（95% CI 0.7912 ~ 0.9134）"
    friend bool operator==(const RocCurve &, const RocCurve &) = default;
};
RocCurve rocCurve(const RocResult &result);

// The report: the classes as counted, the AUC with its interval and P, the best cut-off with
// its Se and Sp, and the sentences. Nothing to report without both classes.
ReportContent rocReport(const RocResult &result);

} // namespace quarbel
