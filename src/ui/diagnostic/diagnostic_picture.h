#pragma once

#include "core/diagnostic/roc.h"
#include "core/tables/four_fold.h"

namespace quarbel {

class PlotView;

// The test's results within each reference class: stacked bars of test positives and
// negatives, in percent of the diseased and of the non-diseased.
void drawDiagnostic(PlotView &view, const FourFoldTexts &counts);

// The ROC curve (1 − specificity across, sensitivity up), the diagonal, the best cut-off
// marked, and the AUC with its interval in the caption.
void drawRoc(PlotView &view, const RocCurve &curve);

} // namespace quarbel
