#pragma once

#include "core/plots/qq_plot.h"

namespace quarbel {

class PlotView;

// Normal Q–Q plots of a method's groups on one frame, a colour and a quartile line each.
void drawQq(PlotView &view, const std::vector<QqSeries> &series);

} // namespace quarbel
