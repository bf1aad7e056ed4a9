#pragma once

#include <QString>

namespace quarbel {

// Chi-square judgments read back the statistic as it is shown (four decimals), so a value just
// below a critical value that displays as reaching it counts as reaching it.
QString judgeShownChiSquare(const QString &shown, double critical05, double critical01);

} // namespace quarbel
