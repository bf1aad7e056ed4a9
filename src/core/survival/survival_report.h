#pragma once

#include "core/report/report.h"
#include "core/survival/survival.h"

namespace quarbel {

// The survival analysis's report from its result: each group's n and events, a table of the
// medians, S(t*), the log-rank test and the hazard ratios, and the sentences to paste. No
// usable group: no result rows, so the report says there is nothing to report.
// `rateTime` is the t* the rates are for, as typed.
ReportContent survivalReport(const SurvivalResult &result, const QString &rateTime);

} // namespace quarbel
