#pragma once

#include "core/report/report.h"
#include "core/samplesize/sample_size.h"

namespace quarbel {

// The sample size calculation's report: the inputs the design uses, the results as a
// three-line table, and the protocol paragraph in Chinese and English, ready to paste. No
// result: no result rows, so the report says there is nothing to report.
ReportContent sampleSizeReport(const SampleSizeInput &input, const SampleSizeResult &result);

} // namespace quarbel
